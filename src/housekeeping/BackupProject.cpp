#include "housekeeping/BackupProject.h"

#include "chores/ChoreProgress.h"
#include "housekeeping/FileCopier.h"
#include "housekeeping/ListFiles.h"
#include "project/Error.h"
#include "zip/ZipNames.h"

#include <QDate>
#include <QDir>
#include <QLocale>

#include <algorithm>

namespace {

// Whether `path` lies in a backup: below the backup folder when the dated folders go inside
// it, or below a folder named like the backup folder followed by a date stamp (a name without
// letters) when they go beside it.
bool isBackupCopy(const QString &path, const QString &backupFolder)
{
    const QString separator = QDir::separator();
    if (!path.startsWith(backupFolder, ZipNames::fileNameCase))
        return false;
    if (backupFolder.endsWith(separator))
        return true;
    const QString rest = path.mid(backupFolder.size());
    const qsizetype end = rest.indexOf(separator);
    const QStringView stamp = QStringView(rest).first(std::max<qsizetype>(end, 0));
    return !stamp.isEmpty() && std::none_of(stamp.begin(), stamp.end(), [](QChar c) { return c.isLetter(); });
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

QString backupTarget(const BackupSettings &settings, const QString &dateStamp)
{
    return settings.backupFolder + dateStamp;
}

QStringList backupFiles(const BackupSettings &settings, ChoreProgress &progress)
{
    if (settings.backupFolder.isEmpty())
        throw Error(QStringLiteral("No backup folder is set, so no backup was made. Choose one on the Project page."));
    if (!isFullPath(settings.backupFolder))
        throw Error(QStringLiteral("The backup folder \"%1\" is not a full path, so no backup was made. "
                                   "Give it with its folders from the top.")
                        .arg(settings.backupFolder));
    QStringList files = listFiles(settings.projectFolder, settings.includeSubfolders, &progress);
    files.removeIf([&](const QString &path) { return isBackupCopy(path, settings.backupFolder); });
    return files;
}

void backupProject(const BackupSettings &settings, const QString &dateStamp, ChoreProgress &progress)
{
    const QStringList files = backupFiles(settings, progress);
    progress.setTotal(files.size());
    QString root = settings.projectFolder;
    if (root.endsWith(QDir::separator()))
        root.chop(1);

    const QString target = backupTarget(settings, dateStamp);
    FileCopier copier(progress);
    for (const QString &path : files) {
        progress.checkCancelled();
        const QString tail = path.mid(root.size());
        progress.setStatus(QStringLiteral("Backing up: ") + QDir::toNativeSeparators(tail));
        copier.createFolderFor(target + tail);
        copier.copy(path, target + tail);
        progress.addDone();
    }
}
