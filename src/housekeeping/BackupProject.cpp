#include "housekeeping/BackupProject.h"

#include "chores/ChoreProgress.h"
#include "chores/ChoreReach.h"
#include "housekeeping/BackupFolders.h"
#include "housekeeping/FileCopier.h"
#include "housekeeping/ListFiles.h"
#include "project/Error.h"
#include "project/FileNameBytes.h"
#include "zip/ZipNames.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QLocale>

#include <optional>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#else
#include <filesystem>
#endif

namespace {

// What tells an unchanged file: its size and modification time, to the nanosecond.
struct FileStamp
{
    qint64 size;
    qint64 modified;

    bool operator==(const FileStamp &) const = default;
};

std::optional<FileStamp> stampOf(const QString &path)
{
#ifdef Q_OS_UNIX
    struct stat info;
    if (::stat(FileNameBytes::encode(path).constData(), &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    return FileStamp{info.st_size, info.st_mtim.tv_sec * 1'000'000'000 + info.st_mtim.tv_nsec};
#else
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path native(path.toStdWString());
    const auto size = fs::file_size(native, error);
    const auto modified = fs::last_write_time(native, error);
    if (error)
        return std::nullopt;
    return FileStamp{qint64(size), qint64(modified.time_since_epoch().count())};
#endif
}

// Puts the project's files into the dated folder: an unchanged file as a link to the newest
// earlier backup's, any other as a copy.
class SnapshotWriter
{
public:
    SnapshotWriter(ChoreProgress &progress, const QString &target, const QString &earlier)
        : m_progress(progress), m_copier(progress), m_target(target), m_earlier(earlier),
          m_targetIsNew(!QFileInfo::exists(target))
    {
    }

    // True when the file is in the dated folder; a failure is reported to the progress.
    bool put(const QString &source, const QString &tail)
    {
        const QString target = m_target + tail;
        if (!m_copier.createFolderFor(target))
            return false;
        // With nothing to compare with, the copy is all there is to do.
        if (m_targetIsNew && m_earlier.isEmpty())
            return copy(source, target);
        const std::optional<FileStamp> stamp = stampOf(source);
        if (!stamp)
            return copy(source, target); // which says why it cannot
        // Backed up earlier today and unchanged since.
        if (!m_targetIsNew && stampOf(target) == stamp)
            return true;
        if (!m_earlier.isEmpty() && stampOf(m_earlier + tail) == stamp) {
            const std::optional<QString> failure = m_copier.link(m_earlier + tail, target);
            if (!failure)
                return true;
            m_earlier.clear();
            m_progress.addNote(QStringLiteral("Hard links to the earlier backup were not possible here (%1), "
                                              "so unchanged files were copied.")
                                   .arg(*failure));
        }
        return copy(source, target);
    }

private:
    // A dated folder this backup made is marked finished only at the end, so its copies need
    // no temporary name. In one an earlier backup of today filled, a copy that fails leaves
    // that backup's file in place.
    bool copy(const QString &source, const QString &target)
    {
        return m_targetIsNew ? m_copier.copyIntoUnfinished(source, target) : m_copier.copy(source, target);
    }

    ChoreProgress &m_progress;
    FileCopier m_copier;
    QString m_target;
    QString m_earlier; // empty once links do not work
    bool m_targetIsNew;
};

QString withoutSeparator(QString folder)
{
    if (folder.endsWith(QDir::separator()))
        folder.chop(1);
    return folder;
}

QString incomplete(const QString &folder)
{
    return QStringLiteral("The folder \"%1\" is incomplete: it does not count as a finished backup.").arg(folder);
}

} // namespace

QString backupDateStamp(const QDate &date, const QLocale &locale)
{
    QString stamp = locale.toString(date, QLocale::ShortFormat);
    stamp.remove(QLatin1Char('.'));
    for (const QChar unfit : {u'/', u'\\', u':'})
        stamp.replace(unfit, QLatin1Char('-'));
    return stamp;
}

BackupSettings resolvedFolders(const BackupSettings &settings)
{
    const ChoreReach reach(settings.projectFile);
    BackupSettings resolved = settings;
    resolved.projectFolder = reach.resolved(settings.projectFolder);
    resolved.backupFolder = reach.resolved(settings.backupFolder);
    return resolved;
}

QString backupTarget(const BackupSettings &settings, const QString &dateStamp)
{
    return BackupFolders::withSeparator(resolvedFolders(settings).backupFolder) + dateStamp;
}

QStringList backupFiles(const BackupSettings &given, ChoreProgress &progress)
{
    if (given.backupFolder.isEmpty())
        throw Error(QStringLiteral("No backup folder is set, so no backup was made. Choose one on the Project page."));
    const ChoreReach reach(given.projectFile);
    try {
        reach.target(given.backupFolder, QStringLiteral("The backup folder"));
        reach.source(given.projectFolder, QStringLiteral("The project folder"));
    } catch (const Error &refusal) {
        throw Error(refusal.message() + QStringLiteral(" No backup was made."));
    }
    const BackupSettings settings = resolvedFolders(given);
    // An empty backup of a folder that is gone (a drive not mounted) would count as finished.
    if (!QFileInfo(settings.projectFolder).isDir())
        throw Error(QStringLiteral("The project folder \"%1\" does not exist, so no backup was made.")
                        .arg(settings.projectFolder));
    QList<ChoreFailure> passedOver;
    QStringList files = listFiles(settings.projectFolder, settings.includeSubfolders, &progress, &passedOver);
    notePassedOver(passedOver, progress);
    const QString backups = BackupFolders::withSeparator(settings.backupFolder);
    files.removeIf([&](const QString &path) { return path.startsWith(backups, ZipNames::fileNameCase); });
    return files;
}

QStringList backupsToRemove(const BackupSettings &given, const QString &dateStamp)
{
    const BackupSettings settings = resolvedFolders(given);
    return BackupFolders::beyondKeep(BackupFolders::finishedIn(settings.backupFolder), settings.keep,
                                     backupTarget(settings, dateStamp));
}

void backupProject(const BackupSettings &given, const QString &dateStamp, ChoreProgress &progress)
{
    const QStringList files = backupFiles(given, progress);
    const BackupSettings settings = resolvedFolders(given);
    progress.setTotal(files.size());
    const QString root = withoutSeparator(settings.projectFolder);
    const QString target = backupTarget(settings, dateStamp);
    BackupFolders::unmark(target);
    const QList<BackupFolders::Finished> earlier = BackupFolders::finishedIn(settings.backupFolder);
    SnapshotWriter writer(progress, target, earlier.isEmpty() ? QString() : earlier.first().folder);
    qsizetype written = 0;
    try {
        for (const QString &path : files) {
            progress.checkCancelled();
            const QString tail = path.mid(root.size());
            progress.setStatus(QStringLiteral("Backing up: ") + QDir::toNativeSeparators(tail));
            written += writer.put(path, tail);
            progress.addDone();
        }
    } catch (const ChoreCancelled &) {
        progress.addNote(QStringLiteral("%1 of %2 files were backed up. ").arg(written).arg(files.size())
                         + incomplete(target));
        throw;
    }
    if (!progress.failures().isEmpty())
        return progress.addNote(incomplete(target));
    BackupFolders::markFinished(target, settings.projectName, QDateTime::currentDateTimeUtc());
    BackupFolders::remove(backupsToRemove(settings, dateStamp), progress);
}
