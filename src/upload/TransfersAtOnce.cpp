#include "upload/TransfersAtOnce.h"

#include "project/Error.h"
#include "project/TextFile.h"

#include <QDir>
#include <QFileInfo>

namespace TransfersAtOnce {

namespace {

QString fileIn(const QString &settingsFolder)
{
    return QDir(settingsFolder).filePath(QStringLiteral("transfers.dat"));
}

} // namespace

int load(const QString &settingsFolder)
{
    const QString path = fileIn(settingsFolder);
    if (!QFileInfo::exists(path))
        return Default;
    const QStringList lines = TextFile::readLines(path);
    bool ok = false;
    const int transfers = lines.isEmpty() ? 0 : lines.first().trimmed().toInt(&ok);
    if (!ok || transfers < 1 || transfers > Max)
        throw Error(QStringLiteral("\"%1\" does not hold a number of transfers at once: set it again in the options window.")
                        .arg(QDir::toNativeSeparators(path)));
    return transfers;
}

void save(const QString &settingsFolder, int transfers)
{
    TextFile::writeLines(fileIn(settingsFolder), {QString::number(transfers)});
}

} // namespace TransfersAtOnce
