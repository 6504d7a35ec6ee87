#pragma once

#include "chores/ChoreProgress.h"

class Prompts;
struct ChoreReport;

// The message at the end of a chore: "Finished" when nothing failed; otherwise how many files
// and folders could not be `handled` ("copied", "backed up"), the first ones with the reason
// the system gave, and how many more there were.
QString choreEndMessage(const QList<ChoreFailure> &failures, const QString &handled);

// Tells the user how a chore ended: nothing after a cancel, "Finished" when nothing failed
// (unless `sayFinished` is false), else the end message as an error.
void tellChoreEnd(Prompts &prompts, const ChoreReport &report, const QString &handled, bool sayFinished = true);
