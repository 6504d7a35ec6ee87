#include "housekeeping/BackupFolders.h"

#include "chores/ChoreProgress.h"
#include "project/Error.h"
#include "project/TextFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <filesystem>

namespace BackupFolders {

namespace {

const QString timeKey = QStringLiteral("Time: ");

QString markerOf(const QString &folder)
{
    return folder + QDir::separator() + markerName;
}

// When the folder's backup was finished; invalid when the folder is no finished backup.
QDateTime finishedTime(const QString &folder)
{
    const QFileInfo marker(markerOf(folder));
    if (!marker.isFile() || marker.isSymLink() || marker.size() > 4096)
        return {};
    try {
        for (const QString &line : TextFile::readLines(marker.filePath())) {
            if (line.startsWith(timeKey))
                return QDateTime::fromString(line.mid(timeKey.size()), Qt::ISODateWithMs);
        }
    } catch (const Error &) {
        // A marker that cannot be read does not make a backup.
    }
    return {};
}

// Why the folder could not be removed; empty when it was.
QString removalFailure(const QString &folder)
{
    if (QFile marker(markerOf(folder)); !marker.remove())
        return marker.errorString();
    std::error_code error;
    std::filesystem::remove_all(std::filesystem::path(folder.toStdU16String()), error);
    return error ? QString::fromLocal8Bit(error.message()) : QString();
}

} // namespace

QString withSeparator(const QString &folder)
{
    return folder.endsWith(QDir::separator()) ? folder : folder + QDir::separator();
}

void markFinished(const QString &folder, const QString &projectName, const QDateTime &time)
{
    QDir().mkpath(folder);
    TextFile::writeLines(markerOf(folder),
                         {QStringLiteral("Trovas backup"), QStringLiteral("Project: ") + projectName,
                          timeKey + time.toUTC().toString(Qt::ISODateWithMs)});
}

void unmark(const QString &folder)
{
    QFile marker(markerOf(folder));
    if (marker.exists() && !marker.remove())
        throw Error(QStringLiteral("Cannot write into the backup \"%1\": its marker cannot be removed (%2).")
                        .arg(QDir::toNativeSeparators(folder), marker.errorString()));
}

QList<Finished> finishedIn(const QString &backupFolder)
{
    QList<Finished> finished;
    const QDir dir(backupFolder);
    const QStringList names = dir.entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot | QDir::NoSymLinks);
    for (const QString &name : names) {
        const QString folder = withSeparator(backupFolder) + name;
        if (const QDateTime time = finishedTime(folder); time.isValid())
            finished.append({folder, time});
    }
    std::sort(finished.begin(), finished.end(), [](const Finished &a, const Finished &b) {
        return a.time != b.time ? a.time > b.time : a.folder > b.folder;
    });
    return finished;
}

QStringList beyondKeep(const QList<Finished> &finished, int keep, const QString &newest)
{
    QStringList older;
    for (const Finished &backup : finished) {
        if (backup.folder != newest)
            older.append(backup.folder);
    }
    if (keep <= 0)
        return {};
    return older.mid(keep - 1);
}

void remove(const QStringList &folders, ChoreProgress &progress)
{
    for (const QString &folder : folders) {
        if (const QString failure = removalFailure(folder); !failure.isEmpty())
            progress.addProblem(QStringLiteral("The old backup \"%1\" could not be removed: %2").arg(folder, failure));
        else
            progress.addNote(QStringLiteral("Removed the old backup \"%1\".").arg(folder));
    }
}

} // namespace BackupFolders
