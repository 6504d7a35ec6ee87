#include "housekeeping/CopyAndZipLists.h"

#include "platform/Prompts.h"
#include "project/ListRows.h"
#include "project/Project.h"

#include <QDir>

namespace {

const QString allFiles = QStringLiteral("All (*)");

QString pickFolder(Prompts &prompts, const QString &title)
{
    return prompts.pickFolder(title) + QDir::separator();
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
