#include "project/RecentProjects.h"

#include "project/Project.h"
#include "project/TextFile.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

RecentProjects::RecentProjects(QString folder, QObject *parent)
    : QObject(parent), m_folder(std::move(folder))
{
}

QString RecentProjects::filePath() const
{
    return m_folder + QStringLiteral("LastOpen.dat");
}

void RecentProjects::removeDuplicates(QStringList &lines)
{
    QSet<QString> seen;
    QStringList kept;
    for (const QString &line : std::as_const(lines))
        if (!seen.contains(line)) {
            seen.insert(line);
            kept.append(line);
        }
    lines = kept;
}

void RecentProjects::remember(const QString &path)
{
    QStringList lines;
    if (QFileInfo::exists(filePath()))
        lines = TextFile::readLines(filePath());
    const QString lowered = path.toLower();
    const bool known = std::any_of(lines.begin(), lines.end(),
                                   [&](const QString &line) { return line.toLower() == lowered; });
    if (!known)
        lines.append(path);
    removeDuplicates(lines);
    Project::sortIgnoringCase(lines);
    TextFile::writeLines(filePath(), lines);
    Q_EMIT changed();
}

std::optional<QStringList> RecentProjects::menuEntries() const
{
    if (!QFileInfo::exists(filePath()))
        return std::nullopt;
    QStringList lines = TextFile::readLines(filePath());
    removeDuplicates(lines);
    Project::sortIgnoringCase(lines);
    QStringList existing;
    for (const QString &line : std::as_const(lines))
        if (QFileInfo(line).isFile())
            existing.append(line);
    return existing;
}
