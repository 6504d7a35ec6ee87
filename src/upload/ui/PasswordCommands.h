#pragma once

#include "project/Records.h"

#include <QList>
#include <QString>

#include <optional>

class Project;
class ProjectCommands;
class Prompts;
class UploadPasswords;

// The window's side of upload passwords kept in the system keyring: asking for the ones it
// lacks before a run, and moving the project file's passwords into it.
class PasswordCommands
{
public:
    PasswordCommands(Project &project, ProjectCommands &commands, Prompts &prompts);

    // The passwords a run of `uploads` logs in with; one the keyring lacks is asked for, once
    // for each account, and kept in the keyring if the user says so.
    UploadPasswords lookUp(const QList<UploadEntry> &uploads);
    // File > "Move passwords to the keyring": after a confirmation, every password of the
    // project goes into the keyring, and the project is saved without the ones it took.
    void moveToKeyring();

private:
    std::optional<QString> ask(const QString &account, const QString &key);

    Project &m_project;
    ProjectCommands &m_commands;
    Prompts &m_prompts;
};
