#include "app/ui/DesktopLauncher.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

void DesktopLauncher::open(const QString &target)
{
    const QFileInfo file(target);
    if (file.isFile() && file.isExecutable()) {
        // Started on its own, in this program's working folder; nothing waits for it and a
        // failed start is not reported.
        QProcess process;
        process.setProgram(file.absoluteFilePath());
#ifdef Q_OS_WIN
        // What the shell's "open" has always handed a started program on Windows.
        process.setNativeArguments(QStringLiteral("shell32.dll, OpenAs_RunDLL "));
#endif
        process.startDetached();
        return;
    }
    const QUrl url = file.exists() ? QUrl::fromLocalFile(file.absoluteFilePath()) : QUrl(target);
    QDesktopServices::openUrl(url);
}
