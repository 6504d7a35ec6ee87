#pragma once

#include "project/Records.h"

#include <QList>
#include <QSet>
#include <QString>

#include <memory>
#include <optional>

class ChoreProgress;
class PasswordSource;
class Project;
class ProjectCommands;
class Prompts;

// The window's side of upload passwords: asking for the ones a run lacks, keeping passwords in
// the system keyring when the project is saved, and moving the project file's passwords there.
class PasswordCommands
{
public:
    PasswordCommands(Project &project, ProjectCommands &commands, Prompts &prompts);

    // Where a run on `progress`'s worker finds passwords; a missing or refused one is asked
    // for in the window, and kept in the keyring if the user says so and the server takes it.
    std::unique_ptr<PasswordSource> sourceFor(const ChoreProgress &progress);
    // The password of the entry `uid` goes into the keyring when the project is saved, and
    // the file keeps none; discarded with the project's changes, it never gets there.
    void keepAtSave(quint64 uid, bool keep);
    bool keptAtSave(quint64 uid) const { return m_keepAtSave.contains(uid); }
    // File > "Move passwords to the keyring": after a confirmation, every password of the
    // project goes into the keyring, and the project is saved without the ones it took.
    void moveToKeyring();

private:
    void keep(const QString &key, const QString &password);
    void storeBeforeSave();

    Project &m_project;
    ProjectCommands &m_commands;
    Prompts &m_prompts;
    QSet<quint64> m_keepAtSave;
};
