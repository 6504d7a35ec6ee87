#pragma once

#include <QString>

// Opens a file, program or URL the way the desktop does; nothing waits and nothing is reported.
class Launcher
{
public:
    virtual ~Launcher() = default;
    virtual void open(const QString &target) = 0;
};
