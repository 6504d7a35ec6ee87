#include "housekeeping/Trash.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace Trash {

namespace {

// A trashed file has its record of origin beside it: <trash>/info/<name>.trashinfo next to
// <trash>/files/<name>.
bool hasTrashInfo(const QString &trashed)
{
    const QFileInfo file(trashed);
    const QDir filesFolder = file.absoluteDir();
    return filesFolder.dirName() == QLatin1String("files")
           && QFileInfo::exists(filesFolder.absoluteFilePath(QStringLiteral("../info/") + file.fileName()
                                                             + QStringLiteral(".trashinfo")));
}

} // namespace

QString moveFile(const QString &path)
{
    // Qt makes the user's trash folder, but not the data folder it lives in; without that
    // folder it takes the working folder for the trash and calls the move a success.
    const QString dataFolder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (dataFolder.isEmpty() || !QDir().mkpath(dataFolder))
        return QStringLiteral("There is no folder for the trash (%1 cannot be made); the file is left in place.")
            .arg(QDir::toNativeSeparators(dataFolder));
    QFile file(path);
    if (!file.moveToTrash())
        return QStringLiteral("The trash cannot take it (%1); the file is left in place.").arg(file.errorString());
    if (hasTrashInfo(file.fileName()))
        return {};
    // Somewhere that is no trash: put it back.
    const QString misplaced = file.fileName();
    if (QFile::rename(misplaced, path))
        return QStringLiteral("The trash cannot take it; the file is left in place.");
    return QStringLiteral("The trash cannot take it, and the file was moved to %1 instead.")
        .arg(QDir::toNativeSeparators(misplaced));
}

} // namespace Trash
