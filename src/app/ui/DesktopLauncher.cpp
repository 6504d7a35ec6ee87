#include "app/ui/DesktopLauncher.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

void DesktopLauncher::open(const QString &target)
{
    const QFileInfo file(target);
    if (file.isFile() && file.isExecutable()) {
        QProcess::startDetached(file.absoluteFilePath(), {});
        return;
    }
    const QUrl url = file.exists() ? QUrl::fromLocalFile(file.absoluteFilePath()) : QUrl(target);
    QDesktopServices::openUrl(url);
}
