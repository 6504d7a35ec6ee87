#pragma once

#include <QString>

// Opens a file, program or URL the way the desktop does; nothing waits for it.
class Launcher
{
public:
    virtual ~Launcher() = default;
    // Throws Error, naming the target, when no program is set up to open it.
    virtual void open(const QString &target) = 0;
};
