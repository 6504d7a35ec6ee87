#include "housekeeping/CopyAndZipLists.h"

#include "chores/ChoreReach.h"
#include "platform/Prompts.h"
#include "project/Error.h"
#include "project/ListRows.h"
#include "project/Project.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace {

const QString allFiles = QStringLiteral("All (*)");

// The folder the user picked, with a trailing separator; empty when none was. One that no chore
// may take throws Error saying why, before it is added.
QString pickFolder(Prompts &prompts, const QString &title, const ChoreReach &reach, bool asSource)
{
    const QString folder = prompts.pickFolder(title);
    if (folder.isEmpty())
        return {};
    const QString what = QStringLiteral("The folder");
    if (const std::optional<QString> refusal =
            asSource ? reach.sourceRefusal(folder, what) : reach.targetRefusal(folder, what))
        throw Error(*refusal + QStringLiteral(" It was not added."));
    return folder.endsWith(QDir::separator()) ? folder : folder + QDir::separator();
}

QString withSeparator(const QString &folder)
{
    const QString native = QDir::toNativeSeparators(QDir::cleanPath(folder));
    return native.endsWith(QDir::separator()) ? native : native + QDir::separator();
}

// A list never takes what it holds already: what was new stays added, the rest is named.
void refuseDuplicates(const QStringList &shown)
{
    if (!shown.isEmpty())
        throw Error(QStringLiteral("The list holds this already:\n") + shown.join(QLatin1Char('\n')));
}

QString shownPair(const CopyEntry &pair)
{
    return pair.source + QStringLiteral(" \u2192 ") + pair.target;
}

// Appends each pair the list does not hold yet; refuses the others.
void addPairs(Project &project, const QList<CopyEntry> &pairs)
{
    QList<CopyEntry> copies = project.data().copies;
    QStringList refused;
    for (const CopyEntry &pair : pairs) {
        const bool held = std::any_of(copies.cbegin(), copies.cend(), [&pair](const CopyEntry &copy) {
            return copy.source == pair.source && copy.target == pair.target;
        });
        if (held)
            refused.append(shownPair(pair));
        else
            copies.append(pair);
    }
    if (copies.size() != project.data().copies.size())
        project.setCopies(std::move(copies));
    refuseDuplicates(refused);
}

// Adds each folder the list does not hold yet, with or without its trailing separator.
void addFolders(Project &project, const QStringList &added)
{
    QStringList folders = project.data().zipFolders;
    QStringList refused;
    for (const QString &folder : added) {
        const bool held = std::any_of(folders.cbegin(), folders.cend(), [&folder](const QString &listed) {
            return withSeparator(listed) == withSeparator(folder);
        });
        if (held)
            refused.append(folder);
        else
            folders.append(folder);
    }
    if (folders.size() != project.data().zipFolders.size())
        project.setZipFolders(std::move(folders));
    refuseDuplicates(refused);
}

// "a.txt, b.txt and 3 more": the dropped files, named in the question where they go.
QString namesOf(const QStringList &paths)
{
    constexpr int named = 3;
    QStringList names;
    for (const QString &path : paths.first(std::min<qsizetype>(paths.size(), named)))
        names.append(QFileInfo(path).fileName());
    const QString listed = names.join(QStringLiteral(", "));
    if (paths.size() > named)
        return QStringLiteral("%1 and %2 more").arg(listed).arg(paths.size() - named);
    return listed;
}

} // namespace

CopyAndZipLists::CopyAndZipLists(Project &project, Prompts &prompts) : m_project(project), m_prompts(prompts)
{
}

void CopyAndZipLists::newFilePair()
{
    const std::optional<QString> source = m_prompts.openFile(allFiles);
    if (!source)
        return;
    const std::optional<QString> target = m_prompts.saveFile(allFiles);
    if (!target)
        return;
    addPairs(m_project, {{*source, *target}});
}

void CopyAndZipLists::newFolderPair()
{
    const ChoreReach reach(m_project.data().path);
    const QString source = pickFolder(m_prompts, QStringLiteral("From:"), reach, true);
    if (source.isEmpty())
        return;
    const QString target = pickFolder(m_prompts, QStringLiteral("To:"), reach, false);
    if (target.isEmpty())
        return;
    addPairs(m_project, {{source, target}});
}

void CopyAndZipLists::deleteCopies(const QList<int> &rows)
{
    m_project.setCopies(withoutRows(m_project.data().copies, rows));
}

void CopyAndZipLists::newZipFolder()
{
    const QString folder = pickFolder(m_prompts, QStringLiteral("Zip folder"), ChoreReach(m_project.data().path), true);
    if (!folder.isEmpty())
        addFolders(m_project, {folder});
}

void CopyAndZipLists::deleteZipFolders(const QList<int> &rows)
{
    m_project.setZipFolders(withoutRows(m_project.data().zipFolders, rows));
}

void CopyAndZipLists::addCopiesOf(const QStringList &paths)
{
    // One question for all of them: the folder they are copied into, each under its own name.
    const QString folder = m_prompts.pickFolder(QStringLiteral("Copy %1 to:").arg(namesOf(paths)));
    if (folder.isEmpty())
        return;
    QList<CopyEntry> pairs;
    for (const QString &path : paths) {
        const QString target = withSeparator(folder) + QFileInfo(path).fileName();
        if (QFileInfo(path).isDir())
            pairs.append({withSeparator(path), withSeparator(target)});
        else
            pairs.append({path, target});
    }
    addPairs(m_project, pairs);
}

void CopyAndZipLists::addZipFolders(const QStringList &paths)
{
    QStringList folders;
    for (const QString &path : paths)
        if (QFileInfo(path).isDir())
            folders.append(withSeparator(path));
    addFolders(m_project, folders);
}
