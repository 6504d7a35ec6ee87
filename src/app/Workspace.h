#pragma once

#include "project/Project.h"
#include "project/ProjectCommands.h"
#include "project/RecentProjects.h"

// The program's state outside the windows: the open project, the recent projects and the
// commands on the whole project, sharing one settings folder.
struct Workspace
{
    Workspace(const QString &settingsFolder, Prompts &prompts)
        : appDataFolder(settingsFolder), recent(settingsFolder), commands(project, recent, prompts)
    {
    }

    QString appDataFolder;
    Project project;
    RecentProjects recent;
    ProjectCommands commands;
};
