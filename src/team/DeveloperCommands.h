#pragma once

#include "project/Records.h"

class Launcher;
class Project;

// The developer list's commands. Rows are positions in the project's developer list.
class DeveloperCommands
{
public:
    DeveloperCommands(Project &project, Launcher &launcher);

    // Replaces the fields of the entry `uid`; appends `entry` when `uid` is 0 or that entry
    // is gone, so a dialog never writes over another developer.
    void save(quint64 uid, const DeveloperEntry &entry);
    void remove(const QList<int> &rows);
    // Starts one new message per developer at `rows`, in list order.
    void writeEmail(const QList<int> &rows);

    // "mailto:" and the address as typed, for each of `rows` in list order.
    static QStringList mailtoTargets(const QList<DeveloperEntry> &developers, const QList<int> &rows);

private:
    Project &m_project;
    Launcher &m_launcher;
};
