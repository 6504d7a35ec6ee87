#include "housekeeping/TempFiles.h"

#include "chores/ChoreReach.h"
#include "chores/ChoreRunner.h"
#include "housekeeping/ListFiles.h"
#include "housekeeping/Trash.h"
#include "platform/Prompts.h"
#include "project/Error.h"
#include "project/ListRows.h"
#include "project/Project.h"
#include "project/FileNameBytes.h"
#include "project/ProjectCommands.h"
#include "project/TextFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <optional>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// One line: "T" when temporary files are deleted permanently.
const QString kDisposalFile = QStringLiteral("TempFiles.dat");

struct Listing
{
    QStringList found;
    qsizetype listed = 0;
};

// Moves the file to the trash or deletes it, unless it is no file any more; why it could not.
// Names that are not UTF-8 are reached byte for byte.
std::optional<QString> removeFile(const QString &path, TempFiles::Disposal disposal)
{
#ifdef Q_OS_UNIX
    const QByteArray native = FileNameBytes::encode(path);
    struct stat info;
    if (::stat(native.constData(), &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    if (disposal == TempFiles::Disposal::Delete)
        return ::unlink(native.constData()) == 0 ? std::nullopt : std::optional(qt_error_string(errno));
    if (FileNameBytes::hasRawBytes(path))
        return QStringLiteral("Its name is not valid UTF-8, which the trash cannot take here; the file is left in "
                              "place. Delete it permanently instead.");
#else
    if (!QFileInfo(path).isFile())
        return std::nullopt;
    if (QFile file(path); disposal == TempFiles::Disposal::Delete)
        return file.remove() ? std::nullopt : std::optional(file.errorString());
#endif
    const QString failure = Trash::moveFile(path);
    return failure.isEmpty() ? std::nullopt : std::optional(failure);
}

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
    m_refusal.clear();
    try {
        // A project without a folder yet has nothing to list, and nothing to refuse.
        if (!m_folder.isEmpty())
            m_folder = projectFolderOf(data);
    } catch (const Error &refusal) {
        m_refusal = refusal.message();
    }
    m_found.clear();
    m_listed = 0;
    Q_EMIT listingStarted();

    auto listing = std::make_shared<Listing>();
    // A folder no chore may take is not even listed: it shows nothing to delete.
    const QString folder = m_refusal.isEmpty() ? m_folder : QString();
    auto work = [listing, folder, withSubfolders = data.includeSubfolders,
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
    if (!m_refusal.isEmpty())
        throw Error(m_refusal);
    if (paths.isEmpty())
        return true;
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
        if (const std::optional<QString> failure = removeFile(path, disposal))
            progress.addFailure(path, *failure);
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

QString TempFiles::projectFolderOf(const ProjectData &data)
{
    return ChoreReach(data.path).source(data.projectFolder, QStringLiteral("The project folder"));
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
