#include "app/ui/DesktopLauncher.h"

#include "project/Error.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
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

#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
// What xdg-open's exit status says went wrong; empty for success.
QString xdgOpenFailure(int exitCode)
{
    switch (exitCode) {
    case 0:
        return {};
    case 2:
        return QStringLiteral("it does not exist.");
    case 3:
        return QStringLiteral("no program is set up to open it.");
    default: // 4, the action failed: what the large desktops answer when nothing opens it
        return QStringLiteral("the desktop could not open it.");
    }
}
#endif

} // namespace

DesktopLauncher::DesktopLauncher(std::function<void(const Error &)> reportLater) : m_reportLater(std::move(reportLater))
{
}

// False when xdg-open is not there or cannot start. Its answer comes when it ends, which in a
// session without a desktop is when the program it started ends.
bool DesktopLauncher::handToXdgOpen(const QUrl &url, const QString &target)
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    const QString xdgOpen = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (!m_reportLater || xdgOpen.isEmpty())
        return false;
    auto *process = new QProcess(&m_handOvers);
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    process->setStandardInputFile(QProcess::nullDevice());
    QObject::connect(process, &QProcess::finished, process, [this, process, target](int code, QProcess::ExitStatus status) {
        process->deleteLater();
        const QString failure = xdgOpenFailure(code);
        if (status == QProcess::NormalExit && !failure.isEmpty())
            m_reportLater(Error(QStringLiteral("Cannot open %1: %2").arg(target, failure)));
    });
    process->start(xdgOpen, {url.isLocalFile() ? url.toLocalFile() : url.toString(QUrl::FullyEncoded)});
    if (process->waitForStarted())
        return true;
    delete process;
#else
    Q_UNUSED(url)
    Q_UNUSED(target)
#endif
    return false;
}

void DesktopLauncher::open(const QString &target)
{
    if (target.isEmpty())
        return; // names nothing to open
    const QFileInfo file(target);
    // A document that merely carries the executable flag (common on shared and Windows
    // drives) cannot be started; it opens like any other document.
    if (file.isFile() && file.isExecutable() && startDetached(file))
        return;
    const QUrl url = urlOf(target, file);
    if (handToXdgOpen(url, target))
        return;
    if (!QDesktopServices::openUrl(url))
        throw Error(QStringLiteral("Cannot open %1: no program is set up to open it.").arg(target));
}
