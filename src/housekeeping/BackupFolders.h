#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

class ChoreProgress;

// The dated folders that backups write into the backup folder. A folder counts as a finished
// backup only while it holds the marker, which a backup writes last, once every file is in.
namespace BackupFolders {

inline constexpr QLatin1StringView markerName{".trovas-backup"};

// The folder with a trailing separator, to which the dated folders' names are joined.
QString withSeparator(const QString &folder);

struct Finished
{
    QString folder; // without a trailing separator
    QDateTime time; // when it was finished

    bool operator==(const Finished &) const = default;
};

// Writes the marker, naming the project and the time. Throws Error naming the reason.
void markFinished(const QString &folder, const QString &projectName, const QDateTime &time);
// Takes the marker away before a folder is written into again. Throws Error naming the reason.
void unmark(const QString &folder);
// The finished backups directly in the backup folder, the newest first.
QList<Finished> finishedIn(const QString &backupFolder);

// The backups to remove so that `keep` are left, counting `newest` (written or being written
// now) as the newest of them: the oldest finished ones beyond that number, never `newest`.
// None when `keep` is 0.
QStringList beyondKeep(const QList<Finished> &finished, int keep, const QString &newest);
// Removes those folders, each after its marker, so a folder that is half removed never counts
// as a backup. Each one removed is noted; one that could not be removed is a problem of the chore.
void remove(const QStringList &folders, ChoreProgress &progress);

} // namespace BackupFolders
