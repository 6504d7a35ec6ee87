#pragma once

#include "chores/ChoreRunner.h"
#include "cli/ExitStatus.h"
#include "cli/InterruptCancels.h"
#include "cli/ProgressBar.h"

class Project;
struct Invocation;

// The chores, run on a worker through the chore runner as the window runs them, with a
// progress bar on a terminal. With --dry-run each lists what it would do and touches nothing.
class ChoreCommands
{
public:
    ChoreCommands(const Invocation &invocation, const Project &project);

    // Throws Error when the chore cannot start or ends early.
    ExitStatus clean();

private:
    // Lists the items passed over on standard error and tells the shell how it went.
    ExitStatus finish(const ChoreReport &report);

    const Invocation &m_invocation;
    const Project &m_project;
    ChoreRunner m_runner;
    ProgressBar m_progressBar{m_runner};
    InterruptCancels m_interruptCancels{m_runner};
};
