#include "team/DeveloperCommands.h"

#include "platform/Launcher.h"
#include "project/ListRows.h"
#include "project/Project.h"

#include <algorithm>

DeveloperCommands::DeveloperCommands(Project &project, Launcher &launcher) : m_project(project), m_launcher(launcher)
{
}

void DeveloperCommands::save(quint64 uid, const DeveloperEntry &entry)
{
    m_project.setDevelopers(withRecordSaved(m_project.data().developers, uid, entry));
}

void DeveloperCommands::remove(const QList<int> &rows)
{
    m_project.setDevelopers(withoutRows(m_project.data().developers, rows));
}

void DeveloperCommands::writeEmail(const QList<int> &rows)
{
    for (const QString &target : mailtoTargets(m_project.data().developers, rows))
        m_launcher.open(target);
}

QStringList DeveloperCommands::mailtoTargets(const QList<DeveloperEntry> &developers, const QList<int> &rows)
{
    QList<int> ordered = rows;
    std::sort(ordered.begin(), ordered.end());
    QStringList targets;
    for (int row : std::as_const(ordered))
        if (row >= 0 && row < developers.size())
            targets.append(QStringLiteral("mailto:") + developers.at(row).email);
    return targets;
}
