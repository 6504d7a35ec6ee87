#pragma once

#include "chores/ChoreRunner.h"
#include "cli/ExitStatus.h"
#include "cli/InterruptCancels.h"
#include "cli/ProgressBar.h"

#include <QJsonObject>
#include <QStringList>

class Project;
struct Invocation;

// The chores, run on a worker through the chore runner with the very functions the window
// runs, and a progress bar on a terminal. With --dry-run each lists what it would do, read
// from disk as the chore would read it, and touches nothing.
class ChoreCommands
{
public:
    ChoreCommands(const Invocation &invocation, const Project &project);

    // Each throws Error when the chore cannot start or an error ends it early.
    ExitStatus clean();
    ExitStatus copy();
    ExitStatus zip();
    // Copy, then zip, as "First copy then zip".
    ExitStatus release();
    ExitStatus backup();
    ExitStatus upload();

private:
    // What a chore prints: lines of text, or with --json an object.
    struct Results
    {
        QStringList lines;
        QJsonObject json;
        // Said on standard error before the failures, when there are any.
        std::function<QString(const ChoreReport &)> failuresHeadline;
    };
    using Work = std::function<void(ChoreProgress &, Results &)>;

    // Runs the work, prints its results, lists what it passed over on standard error, and
    // tells the shell how it went.
    ExitStatus run(const QString &command, const QString &description, const Work &work);

    void planCopies(ChoreProgress &progress, Results &results) const;
    void planZips(ChoreProgress &progress, Results &results) const;
    void zipAndSum(ChoreProgress &progress, Results &results) const;

    const Invocation &m_invocation;
    const Project &m_project;
    ChoreRunner m_runner;
    ProgressBar m_progressBar{m_runner};
    InterruptCancels m_interruptCancels{m_runner};
};
