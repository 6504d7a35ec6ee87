#pragma once

#include "platform/Launcher.h"

// Starts executable files detached, in their own process with no arguments (on Windows
// with the shell's usual parameter text); hands everything else (documents, files that
// fail to start, URLs, "mailto:") to the desktop's default handler.
class DesktopLauncher : public Launcher
{
public:
    void open(const QString &target) override;
};
