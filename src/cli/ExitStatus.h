#pragma once

// What trovas-cli tells the shell.
enum ExitStatus {
    ExitDone = 0,
    // Some items failed, or the chore could not be done; each failure is on standard error.
    ExitFailed = 1,
    // A command line that cannot run, or a project file that does not load.
    ExitUsage = 2,
};
