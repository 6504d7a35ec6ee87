#include "housekeeping/CopyAndZipLists.h"

#include "platform/Prompts.h"
#include "project/ListRows.h"
#include "project/Project.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QString allFiles = QStringLiteral("All (*)");

QString pickFolder(Prompts &prompts, const QString &title)
{
    return prompts.pickFolder(title) + QDir::separator();
}

QString withSeparator(const QString &folder)
{
    const QString native = QDir::toNativeSeparators(QDir::cleanPath(folder));
    return native.endsWith(QDir::separator()) ? native : native + QDir::separator();
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
    QList<CopyEntry> copies = m_project.data().copies;
    copies.append({*source, *target});
    m_project.setCopies(std::move(copies));
}

void CopyAndZipLists::newFolderPair()
{
    const QString source = pickFolder(m_prompts, QStringLiteral("From:"));
    const QString target = pickFolder(m_prompts, QStringLiteral("To:"));
    QList<CopyEntry> copies = m_project.data().copies;
    copies.append({source, target});
    m_project.setCopies(std::move(copies));
}

void CopyAndZipLists::deleteCopies(const QList<int> &rows)
{
    m_project.setCopies(withoutRows(m_project.data().copies, rows));
}

void CopyAndZipLists::newZipFolder()
{
    QStringList folders = m_project.data().zipFolders;
    folders.append(pickFolder(m_prompts, QStringLiteral("Zip folder")));
    m_project.setZipFolders(std::move(folders));
}

void CopyAndZipLists::deleteZipFolders(const QList<int> &rows)
{
    m_project.setZipFolders(withoutRows(m_project.data().zipFolders, rows));
}

void CopyAndZipLists::addCopiesOf(const QStringList &paths)
{
    QList<CopyEntry> copies = m_project.data().copies;
    for (const QString &path : paths) {
        if (QFileInfo(path).isDir()) {
            const QString target = m_prompts.pickFolder(QStringLiteral("To:"));
            if (!target.isEmpty())
                copies.append({withSeparator(path), withSeparator(target)});
        } else if (const std::optional<QString> target = m_prompts.saveFile(allFiles)) {
            copies.append({path, *target});
        }
    }
    m_project.setCopies(std::move(copies));
}

void CopyAndZipLists::addZipFolders(const QStringList &paths)
{
    QStringList folders = m_project.data().zipFolders;
    for (const QString &path : paths)
        if (QFileInfo(path).isDir())
            folders.append(withSeparator(path));
    m_project.setZipFolders(std::move(folders));
}
