#pragma once

#include "project/ProjectData.h"

#include <QObject>

class ChoreProgress;
class Project;
class Prompts;
class RecentProjects;

// New, load and save of the whole project.
class ProjectCommands : public QObject
{
    Q_OBJECT

public:
    ProjectCommands(Project &project, RecentProjects &recent, Prompts &prompts, QObject *parent = nullptr);

    void newProject();
    // Remembers the path first, even when reading then fails; a failed read leaves the
    // open project untouched. Throws Error.
    void load(const QString &path);
    // The same in three steps, so the reading can run on a worker while the window goes on:
    // beginLoad() and finishLoad() on the project's thread, readForLoad() on any.
    void beginLoad(const QString &path);
    // The file's data in the order a loaded project shows. Throws Error, or ChoreCancelled.
    ProjectData readForLoad(const QString &path, ChoreProgress *progress = nullptr) const;
    void finishLoad(ProjectData data);
    // Writes to the project's path, asking for one when it has none. False when the user
    // cancels the file name. Throws Error.
    bool save();
    // Always asks for a file name.
    bool saveAs();
    // Before the project is replaced or the program ends: asks "Save changes to NAME?" when
    // there are unsaved changes and saves when told to. False when the user cancels, also by
    // cancelling the file name; then nothing may be replaced. Throws Error when saving fails.
    bool settleUnsavedChanges();

Q_SIGNALS:
    // After a successful load, with the lists sorted: listing, tools menu and status panel follow.
    void loaded();
    void documentReplaced();
    // Before the project is written: what is kept outside the file leaves the project now.
    void aboutToSave();
    void saved();

private:
    Project &m_project;
    RecentProjects &m_recent;
    Prompts &m_prompts;
};
