#include "housekeeping/TempFiles.h"

#include "app/Prompts.h"
#include "housekeeping/ListFiles.h"
#include "project/Error.h"
#include "project/ListRows.h"
#include "project/Project.h"
#include "project/ProjectCommands.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

TempFiles::TempFiles(Project &project, ProjectCommands &commands, Prompts &prompts, QObject *parent)
    : QObject(parent), m_project(project), m_prompts(prompts)
{
    connect(&project, &Project::projectFolderChanged, this, &TempFiles::scan);
    connect(&project, &Project::includeSubfoldersChanged, this, &TempFiles::scan);
    connect(&commands, &ProjectCommands::loaded, this, &TempFiles::scan);
}

QString TempFiles::countText() const
{
    return QStringLiteral("Contains %1 files with %2 temp. files").arg(m_listed).arg(m_found.size());
}

void TempFiles::scan()
{
    const ProjectData &data = m_project.data();
    const QStringList files = listFiles(data.projectFolder, data.includeSubfolders);
    m_found = temporaryAmong(files, data.tempExtensions);
    m_listed = files.size();
    Q_EMIT scanned();
}

void TempFiles::newExtension()
{
    if (const std::optional<QString> extension = m_prompts.inputText(QStringLiteral("Extension"),
                                                                     QStringLiteral("Extension:"), QString())) {
        QStringList extensions = m_project.data().tempExtensions;
        extensions.append(*extension);
        m_project.setTempExtensions(std::move(extensions));
    }
    scan();
}

void TempFiles::deleteExtensions(const QList<int> &rows)
{
    m_project.setTempExtensions(withoutRows(m_project.data().tempExtensions, rows));
    scan();
}

void TempFiles::deleteTemporaryFiles()
{
    for (const QString &path : std::as_const(m_found))
        QFile::remove(path);
    scan();
    m_prompts.message(QStringLiteral("Finished"));
}

void TempFiles::deleteFound(const QList<int> &rows)
{
    for (int row : rows) {
        const QString path = m_found.value(row);
        if (QFileInfo(path).isFile())
            QFile::remove(path);
    }
    scan();
}

QStringList TempFiles::temporaryAmong(const QStringList &files, const QStringList &extensions)
{
    QStringList found;
    for (const QString &path : files)
        if (isTemporary(path, extensions))
            found.append(path);
    Project::sortIgnoringCase(found);
    return found;
}

void TempFiles::checkDeletableFolder(const QString &folder)
{
    const QFileInfo info(folder);
    if (folder.isEmpty() || !info.isDir())
        throw Error(QStringLiteral("The project folder \"%1\" is not a folder.").arg(folder));
    const QString canonical = info.canonicalFilePath();
    if (QDir(canonical).isRoot())
        throw Error(QStringLiteral("The project folder \"%1\" is the root of the file system; its temporary files "
                                   "are not deleted.").arg(folder));
    if (canonical == QFileInfo(QDir::homePath()).canonicalFilePath())
        throw Error(QStringLiteral("The project folder \"%1\" is the home folder; its temporary files are not "
                                   "deleted.").arg(folder));
}

QStringView TempFiles::extensionOf(QStringView path)
{
    const qsizetype nameStart = std::max(path.lastIndexOf(u'/'), path.lastIndexOf(QDir::separator())) + 1;
    const qsizetype dot = path.lastIndexOf(u'.');
    return dot >= nameStart ? path.mid(dot) : QStringView();
}

bool TempFiles::isTemporary(QStringView path, const QStringList &extensions)
{
    const QStringView extension = extensionOf(path);
    if (extension.isEmpty())
        return false;
    return std::any_of(extensions.begin(), extensions.end(), [extension](const QString &candidate) {
        return extension.compare(candidate, Qt::CaseInsensitive) == 0;
    });
}
