#include "housekeeping/Trash.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QUrl>

namespace Trash {

namespace {

// A trashed file has its record of origin beside it: <trash>/info/<name>.trashinfo next to
// <trash>/files/<name>. Empty when the file lies in no trash.
QString trashInfoOf(const QString &trashed)
{
    const QFileInfo file(trashed);
    const QDir filesFolder = file.absoluteDir();
    const QString info = filesFolder.absoluteFilePath(QStringLiteral("../info/") + file.fileName()
                                                      + QStringLiteral(".trashinfo"));
    return filesFolder.dirName() == QLatin1String("files") && QFileInfo::exists(info) ? QDir::cleanPath(info)
                                                                                    : QString();
}

// The record's Path is percent-encoded as in a URL, "/" kept; file managers decode it to
// restore the file. Qt writes it as it is, so "50%25 ü.tmp" would come back as "50% ü.tmp".
// A record that holds the name already encoded is left alone.
void encodeOrigin(const QString &infoPath, const QString &fileName)
{
    QFile info(infoPath);
    if (!info.open(QIODevice::ReadOnly))
        return;
    QList<QByteArray> lines = info.readAll().split('\n');
    info.close();
    const QByteArray plainName = fileName.toUtf8();
    const QByteArray encodedName = QUrl::toPercentEncoding(fileName);
    if (plainName == encodedName)
        return;
    bool changed = false;
    for (QByteArray &line : lines) {
        if (!line.startsWith("Path=") || !line.endsWith(plainName))
            continue;
        line = "Path=" + QUrl::toPercentEncoding(QString::fromUtf8(line.mid(5)), "/");
        changed = true;
    }
    if (!changed)
        return;
    QSaveFile rewritten(infoPath);
    if (rewritten.open(QIODevice::WriteOnly)) {
        rewritten.write(lines.join('\n'));
        rewritten.commit();
    }
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
    if (const QString info = trashInfoOf(file.fileName()); !info.isEmpty()) {
        encodeOrigin(info, QFileInfo(path).fileName());
        return {};
    }
    // Somewhere that is no trash: put it back.
    const QString misplaced = file.fileName();
    if (QFile::rename(misplaced, path))
        return QStringLiteral("The trash cannot take it; the file is left in place.");
    return QStringLiteral("The trash cannot take it, and the file was moved to %1 instead.")
        .arg(QDir::toNativeSeparators(misplaced));
}

} // namespace Trash
