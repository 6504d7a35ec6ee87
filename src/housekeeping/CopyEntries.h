#pragma once

#include "project/Records.h"

class ChoreProgress;

// One pair as found on disk: the files it copies, each with its target.
struct CopyPlan
{
    QString target;
    QList<std::pair<QString, QString>> files;
};

// What copyEntries would copy, pair by pair, read from disk now; writes nothing. A source
// folder that cannot be read is reported to the progress; a target that is not a full path
// throws Error.
QList<CopyPlan> planCopies(const QList<CopyEntry> &copies, ChoreProgress &progress);

// Carries out the copy pairs in order. A pair whose source is a file copies it to the target
// path; one whose source is a folder copies the folder's files, not its subfolders, to the
// target followed by each file's name; one whose source is missing copies nothing. Each pair's
// target folder is created first, also when its source is missing. Existing files are replaced.
//
// A file that cannot be copied, and a source folder that cannot be read, is reported to the
// progress and the copying goes on. A target that is not a full path stops the chore before
// anything is copied, and a folder that cannot be created stops it where it happens (Error).
void copyEntries(const QList<CopyEntry> &copies, ChoreProgress &progress);
