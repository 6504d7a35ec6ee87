#include "app/ui/DesktopLauncher.h"

#include "project/Error.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

namespace {

// Started on its own, in this program's working folder; nothing waits for it.
bool startDetached(const QFileInfo &file)
{
    QProcess process;
    process.setProgram(file.absoluteFilePath());
#ifdef Q_OS_WIN
    // What the shell's "open" has always handed a started program on Windows.
    process.setNativeArguments(QStringLiteral("shell32.dll, OpenAs_RunDLL "));
#endif
    return process.startDetached();
}

// A target is a file unless it carries a URL scheme ("mailto:", "https:"). A missing file
// still goes to the file handler, which says so, rather than to a web browser that would
// take its name for a web address.
QUrl urlOf(const QString &target, const QFileInfo &file)
{
    const QUrl url(target);
    if (!url.scheme().isEmpty() && !file.exists() && !QDir::isAbsolutePath(target))
        return url;
    return QUrl::fromLocalFile(file.absoluteFilePath());
}

} // namespace

void DesktopLauncher::open(const QString &target)
{
    if (target.isEmpty())
        return; // names nothing to open
    const QFileInfo file(target);
    // A document that merely carries the executable flag (common on shared and Windows
    // drives) cannot be started; it opens like any other document.
    if (file.isFile() && file.isExecutable() && startDetached(file))
        return;
    if (!QDesktopServices::openUrl(urlOf(target, file)))
        throw Error(QStringLiteral("Cannot open %1: no program is set up to open it.").arg(target));
}
