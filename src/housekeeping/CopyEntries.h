#pragma once

#include "chores/ChoreReach.h"
#include "project/Records.h"

class ChoreProgress;

// One pair as found on disk: the files it copies, each with its target.
struct CopyPlan
{
    QString target;
    QList<std::pair<QString, QString>> files;
};

// What copyEntries would copy, pair by pair, read from disk now; writes nothing. A source that
// does not exist and a source folder that cannot be read are reported to the progress; a pair
// that `reach` refuses throws Error.
QList<CopyPlan> planCopies(const QList<CopyEntry> &copies, ChoreProgress &progress, const ChoreReach &reach = ChoreReach());

// Reports to the progress the target folders that cannot be created for what stands in their
// way now (a file where a folder has to go), as copyEntries would report them.
void reportBlockedTargets(const QList<CopyPlan> &plans, ChoreProgress &progress);

// Carries out the copy pairs in order. A pair whose source is a file copies it to the target
// path; one whose source is a folder copies the folder's files, not its subfolders, to the
// target followed by each file's name. Each pair's target folder is created first, also when
// its source is missing. Existing files are replaced.
//
// Relative sources and targets are taken from the project file's folder (`reach`). A pair whose
// source or target `reach` refuses (empty, a root, a system folder as the source) stops the
// chore before anything is copied (Error). A source that does not exist, a file that cannot be
// copied, a source folder that cannot be read and a target folder that cannot be created are
// reported to the progress, and the copying goes on with the next. A cancel says how many files
// were copied.
void copyEntries(const QList<CopyEntry> &copies, ChoreProgress &progress, const ChoreReach &reach = ChoreReach());

// The copy of "First copy then zip": copyEntries, but a copy that stops (Error) is told to the
// progress together with the zipping it skips; false then, and the folders are not to be zipped.
bool copyBeforeZip(const QList<CopyEntry> &copies, ChoreProgress &progress, const ChoreReach &reach = ChoreReach());
