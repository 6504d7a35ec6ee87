#pragma once

#include "chores/ChoreProgress.h"

// The message at the end of a chore: "Finished" when nothing failed; otherwise how many files
// and folders could not be `handled` ("copied", "backed up"), the first ones with the reason
// the system gave, and how many more there were.
QString choreEndMessage(const QList<ChoreFailure> &failures, const QString &handled);
