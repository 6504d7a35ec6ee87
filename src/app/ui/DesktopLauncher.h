#pragma once

#include "app/Launcher.h"

// Starts executables detached, in their own process with no arguments; hands everything
// else (documents, URLs, "mailto:") to the desktop's default handler.
class DesktopLauncher : public Launcher
{
public:
    void open(const QString &target) override;
};
