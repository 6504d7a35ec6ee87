#pragma once

#include <QString>
#include <QStringList>

class ChoreProgress;
class QDate;
class QLocale;

// What a backup reads of the project and the settings, taken when it starts.
struct BackupSettings
{
    QString projectName;
    QString projectFolder;
    QString backupFolder;
    bool includeSubfolders = false;
    // How many finished backups the backup folder keeps; 0 keeps all.
    int keep = 0;
    // Where the project is kept: relative folders are taken from its folder (see ChoreReach).
    QString projectFile = {};
};

// The settings with both folders as the backup takes them: relative ones resolved against the
// project file's folder.
BackupSettings resolvedFolders(const BackupSettings &settings);

// The date in the locale's short format with every "." removed (8 December 2024 in dd.MM.yyyy
// gives 08122024); "/", "\\" and ":", which cannot stand in a folder name, become "-".
QString backupDateStamp(const QDate &date, const QLocale &locale);

// The folder a backup made with this date stamp goes to: the stamp inside the backup folder.
QString backupTarget(const BackupSettings &settings, const QString &dateStamp);

// The files backupProject copies, read from disk now; writes nothing. Throws Error for a
// backup folder that is empty or cannot be resolved, for a project folder that no chore may
// take as its source (see ChoreReach) or that does not exist; a folder that cannot be read is
// reported to the progress.
QStringList backupFiles(const BackupSettings &settings, ChoreProgress &progress);

// The finished backups a backup with this stamp would remove to keep the settings' number.
QStringList backupsToRemove(const BackupSettings &settings, const QString &dateStamp);

// Backs the project folder's files up, with its subfolders when the settings say so, into the
// dated folder: /dev/proj/src/main.c goes to /bak/08122024/src/main.c. Earlier backups inside
// the project folder are left out, so backups do not copy each other.
//
// The dated folder is a snapshot: every file is in it, but a file whose size and modification
// time equal those of the same file in the newest earlier finished backup is a hard link to
// that file, so an unchanged project costs no space. Other files are copied under a temporary
// name and renamed, so no earlier backup ever changes; where links are not possible the files
// are copied, and that is noted once. A second backup on the same day replaces only the files
// that changed. Once every file is in, the folder is marked finished, and the oldest finished
// backups beyond the number to keep are removed.
//
// A file that cannot be copied, and a folder that cannot be read or created, is reported to the
// progress and the backup goes on; the folder is then left unmarked, noted as incomplete, and
// nothing is removed. So is a cancelled backup, with how many files were backed up. Settings that
// cannot work stop the chore before anything is written (Error).
void backupProject(const BackupSettings &settings, const QString &dateStamp, ChoreProgress &progress);
