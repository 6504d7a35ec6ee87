#include "housekeeping/TempFiles.h"

#include "chores/ChoreRunner.h"
#include "housekeeping/ListFiles.h"
#include "housekeeping/Trash.h"
#include "platform/Prompts.h"
#include "project/Error.h"
#include "project/ListRows.h"
#include "project/Project.h"
#include "project/ProjectCommands.h"
#include "project/TextFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// One line: "T" when temporary files are deleted permanently.
const QString kDisposalFile = QStringLiteral("TempFiles.dat");

struct Listing
{
    QStringList found;
    qsizetype listed = 0;
};

} // namespace

TempFiles::TempFiles(Project &project, ProjectCommands &commands, Prompts &prompts, QObject *parent)
    : QObject(parent), m_project(project), m_prompts(prompts), m_listing(new ChoreRunner(this))
{
    connect(&project, &Project::projectFolderChanged, this, &TempFiles::scan);
    connect(&project, &Project::includeSubfoldersChanged, this, &TempFiles::scan);
    connect(&commands, &ProjectCommands::loaded, this, &TempFiles::scan);
}

QStringList TempFiles::foundAt(const QList<int> &rows) const
{
    QStringList paths;
    for (int row : rows)
        if (row >= 0 && row < m_found.size())
            paths.append(m_found.at(row));
    return paths;
}

QString TempFiles::countText() const
{
    return QStringLiteral("Contains %1 files with %2 temp. files").arg(m_listed).arg(m_found.size());
}

bool TempFiles::isListing() const
{
    return m_listing->isRunning();
}

void TempFiles::scan()
{
    const ProjectData &data = m_project.data();
    m_folder = data.projectFolder;
    m_found.clear();
    m_listed = 0;
    Q_EMIT listingStarted();

    auto listing = std::make_shared<Listing>();
    auto work = [listing, folder = data.projectFolder, withSubfolders = data.includeSubfolders,
                 extensions = data.tempExtensions](ChoreProgress &progress) {
        const QStringList files = listFiles(folder, withSubfolders, &progress);
        listing->found = temporaryAmong(files, extensions);
        listing->listed = files.size();
    };
    m_listing->start(QStringLiteral("Listing"), std::move(work), [this, listing](const ChoreReport &) {
        m_found = std::move(listing->found);
        m_listed = listing->listed;
        Q_EMIT scanned();
    });
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

TempFiles::Disposal TempFiles::loadDisposal(const QString &folder)
{
    const QString path = folder + kDisposalFile;
    if (!QFileInfo::exists(path))
        return Disposal::Trash;
    const QStringList lines = TextFile::readLines(path);
    return !lines.isEmpty() && lines.first() == QLatin1String("T") ? Disposal::Delete : Disposal::Trash;
}

void TempFiles::saveDisposal(const QString &folder, Disposal disposal)
{
    TextFile::writeLines(folder + kDisposalFile,
                         {disposal == Disposal::Delete ? QStringLiteral("T") : QStringLiteral("F")});
}

void TempFiles::addExtensionsOf(const QStringList &paths)
{
    QStringList extensions = m_project.data().tempExtensions;
    for (const QString &path : paths) {
        const QString extension = extensionOf(path).toString();
        if (!extension.isEmpty() && !extensions.contains(extension, Qt::CaseInsensitive) && QFileInfo(path).isFile())
            extensions.append(extension);
    }
    if (extensions.size() != m_project.data().tempExtensions.size())
        m_project.setTempExtensions(std::move(extensions));
    scan();
}

bool TempFiles::confirmDeletion(const QStringList &paths) const
{
    if (isListing())
        throw Error(QStringLiteral("The project folder is still being listed; delete when the listing is done."));
    if (paths.isEmpty())
        return true;
    if (const QString reason = refusalReason(m_folder); !reason.isEmpty())
        throw Error(reason);
    const QString files = paths.size() == 1 ? QStringLiteral("1 temporary file")
                                            : QStringLiteral("%1 temporary files").arg(paths.size());
    const QString folder = QDir::toNativeSeparators(m_folder);
    return m_prompts.question(m_disposal == Disposal::Trash
                                  ? QStringLiteral("Move %1 in %2 to the trash?").arg(files, folder)
                                  : QStringLiteral("Delete %1 in %2?").arg(files, folder));
}

void TempFiles::deleteFiles(const QStringList &paths, Disposal disposal, ChoreProgress &progress)
{
    const QString doing = disposal == Disposal::Trash ? QStringLiteral("Moving to the trash: ")
                                                      : QStringLiteral("Deleting: ");
    progress.setTotal(paths.size());
    for (const QString &path : paths) {
        progress.checkCancelled();
        progress.setStatus(doing + QFileInfo(path).fileName());
        if (QFileInfo(path).isFile()) {
            QFile file(path);
            const QString failure = disposal == Disposal::Trash ? Trash::moveFile(path)
                                    : file.remove()             ? QString()
                                                                : file.errorString();
            if (!failure.isEmpty())
                progress.addFailure(path, failure);
        }
        progress.addDone();
    }
}

QString TempFiles::handledWord(Disposal disposal)
{
    return disposal == Disposal::Trash ? QStringLiteral("moved to the trash") : QStringLiteral("deleted");
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

QString TempFiles::refusalReason(const QString &folder)
{
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    if (canonical.isEmpty())
        return {};
    if (QDir(canonical).isRoot())
        return QStringLiteral("The project folder %1 is the root of the file system. Its temporary files are those "
                              "of the whole system; choose the folder of the project itself.")
            .arg(QDir::toNativeSeparators(folder));
    if (canonical == QDir(QDir::homePath()).canonicalPath())
        return QStringLiteral("The project folder %1 is your home folder. Its temporary files belong to all your "
                              "programs and projects; choose the folder of the project itself.")
            .arg(QDir::toNativeSeparators(folder));
    return {};
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
