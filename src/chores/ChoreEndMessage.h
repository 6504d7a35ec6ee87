#pragma once

#include "chores/ChoreProgress.h"

class Prompts;
struct ChoreReport;

// How a chore words its end.
struct ChoreEndWording
{
    // What a failed item could not be: "copied" gives "Finished, but 2 files could not be copied:".
    QString handled;
    // A headline of the chore's own for its failures, in place of the one `handled` makes:
    // failedOfHeadline() for chores that count what they do ("Finished, but 2 of 5 uploads failed:").
    QString failedHeadline = {};
    // What a chore that went well says.
    QString finished = QStringLiteral("Finished");
};

// The end of a chore as the user is told it: in the window as a message, on the command line
// on standard error with exit status 1 when it is a warning.
struct ChoreEnd
{
    QString text;
    // Something failed, was not done, or the chore was cancelled.
    bool warning = false;
};

// "Finished, but 2 of 5 uploads failed:", for `items` "uploads".
QString failedOfHeadline(qsizetype failed, qsizetype total, const QString &items);

// The chore's end: "Cancelled" when it was; the headline for its failures, then the first of
// them with the reason the system gave and how many more there were; what else went wrong, and
// the notes. A chore that went well says the `finished` text, with its notes below it.
ChoreEnd choreEnd(const ChoreReport &report, const ChoreEndWording &wording);

// Tells the user how a chore ended, as a warning when anything failed or it was cancelled;
// without `sayFinished`, a chore that went well without notes says nothing.
void tellChoreEnd(Prompts &prompts, const ChoreReport &report, const ChoreEndWording &wording,
                  bool sayFinished = true);
