#pragma once

#include <QString>
#include <QStringList>

// What the program was started with: `trovas [PROJECT.dev]`, `--help` or `--version`. Read
// before the window system loads, so the answers need no display.
struct StartOptions
{
    enum class Action { OpenWindow, ShowHelp, ShowVersion, UsageError };

    Action action = Action::OpenWindow;
    // The project to open, as an absolute native path; empty for none.
    QString project;
    // The help text, or what was wrong with the arguments.
    QString text;

    // `arguments` as main() gets them, the program's name first. The window system's own options
    // (-platform, -style, ...) are let through for it.
    static StartOptions parse(const QStringList &arguments);
};
