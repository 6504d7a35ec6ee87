#include "housekeeping/BackupsToKeep.h"

#include "project/Error.h"
#include "project/TextFile.h"

#include <QDir>
#include <QFileInfo>

namespace BackupsToKeep {

namespace {

QString fileIn(const QString &settingsFolder)
{
    return QDir(settingsFolder).filePath(QStringLiteral("backup.dat"));
}

} // namespace

int load(const QString &settingsFolder)
{
    const QString path = fileIn(settingsFolder);
    if (!QFileInfo::exists(path))
        return 0;
    const QStringList lines = TextFile::readLines(path);
    bool ok = false;
    const int keep = lines.isEmpty() ? 0 : lines.first().trimmed().toInt(&ok);
    if (!ok || keep < 0)
        throw Error(QStringLiteral("\"%1\" does not hold a number of backups to keep: set it again in the options window.")
                        .arg(QDir::toNativeSeparators(path)));
    return keep;
}

void save(const QString &settingsFolder, int keep)
{
    TextFile::writeLines(fileIn(settingsFolder), {QString::number(keep)});
}

} // namespace BackupsToKeep
