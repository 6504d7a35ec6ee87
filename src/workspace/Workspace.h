#pragma once

#include "housekeeping/TempFiles.h"
#include "i18n/Localisation.h"
#include "project/AppDataFolder.h"
#include "project/Project.h"
#include "project/ProjectCommands.h"
#include "project/RecentProjects.h"
#include "todolist/Todos.h"

// The program's state outside the windows: the open project, the recent projects, the
// commands on the whole project, the temporary files found in its folder and the user's
// language, sharing one settings folder.
struct Workspace
{
    Workspace(const QString &settingsFolder, Prompts &prompts)
        : appDataFolder(AppDataFolder::withSeparator(settingsFolder)), project(&Todos::order), recent(appDataFolder),
          commands(project, recent, prompts), tempFiles(project, commands, prompts), localisation(appDataFolder)
    {
    }

    QString appDataFolder;
    Project project;
    RecentProjects recent;
    ProjectCommands commands;
    TempFiles tempFiles;
    Localisation localisation;
};
