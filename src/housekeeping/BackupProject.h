#pragma once

#include <QString>

class ChoreProgress;
class QDate;
class QLocale;

// What a backup reads of the project, taken when it starts.
struct BackupSettings
{
    QString projectFolder;
    QString backupFolder;
    bool includeSubfolders = false;
};

// The date in the locale's short format with every "." removed (8 December 2024 in dd.MM.yyyy
// gives 08122024); "/", "\\" and ":", which cannot stand in a folder name, become "-".
QString backupDateStamp(const QDate &date, const QLocale &locale);

// The folder a backup made with this date stamp goes to: the backup folder immediately
// followed by the stamp.
QString backupTarget(const BackupSettings &settings, const QString &dateStamp);

// The files backupProject copies, read from disk now; writes nothing. Throws Error for a
// backup folder that is empty or not a full path; a folder that cannot be read is reported
// to the progress.
QStringList backupFiles(const BackupSettings &settings, ChoreProgress &progress);

// Copies the project folder's files, with its subfolders when the settings say so, to the
// backup folder immediately followed by the date stamp and then each file's path below the
// project folder: /dev/proj/src/main.c goes to /bak/08122024/src/main.c with the backup folder
// "/bak/", to /bak08122024/src/main.c with "/bak". Existing copies are replaced. Earlier
// backups inside the project folder are left out, so backups do not copy each other.
//
// A file that cannot be copied, and a folder that cannot be read, is reported to the progress
// and the backup goes on. A backup folder that is empty or not a full path stops the chore
// before anything is written, and a folder that cannot be created stops it where it happens.
void backupProject(const BackupSettings &settings, const QString &dateStamp, ChoreProgress &progress);
