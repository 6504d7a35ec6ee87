#pragma once

#include "platform/Launcher.h"

#include <QObject>

#include <functional>

class Error;
class QUrl;

// Starts executable files detached, in their own process with no arguments (on Windows
// with the shell's usual parameter text); hands everything else (documents, files that
// fail to start, URLs, "mailto:") to the desktop's default handler.
class DesktopLauncher : public Launcher
{
public:
    // Where the desktop answers only after open() returned (xdg-open on Linux and the other
    // free systems), `reportLater` hears of a target it could not open. Without it, the
    // target goes to Qt's desktop services, which do not wait for that answer.
    explicit DesktopLauncher(std::function<void(const Error &)> reportLater = {});

    void open(const QString &target) override;

private:
    bool handToXdgOpen(const QUrl &url, const QString &target);

    std::function<void(const Error &)> m_reportLater;
    QObject m_handOvers; // owns the running xdg-open processes
};
