#pragma once

#include "project/Records.h"

// Everything a project file holds, in memory. `path` is where it came from or goes to.
struct ProjectData
{
    QString name, version, projectFolder, backupFolder, mainFile;
    bool includeSubfolders = false;
    bool zipWithFolderNames = false;
    QString path;

    QList<DeveloperEntry> developers;
    QStringList tempExtensions;
    QList<CopyEntry> copies;
    QStringList zipFolders;
    QList<UploadEntry> uploads;
    QStringList tools;
    QStringList description;
    QList<TodoItem> todos;
    QStringList license;
    QStringList notes;
};
