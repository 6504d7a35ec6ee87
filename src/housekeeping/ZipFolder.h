#pragma once

#include "chores/ChoreReach.h"

#include <QStringList>

#include <optional>

class ChoreProgress;

// The archive of a folder: beside it, named after it, "/dev/release/" gives "/dev/release.zip".
QString zipArchiveName(const QString &folder);

// Writes the folder and everything below it into its archive, replacing an earlier one. With
// folder names the entries are named by their paths below the folder; without, by their whole
// paths without the file-system root.
//
// The archive is written under a temporary name beside it and takes the archive's name only
// when every entry is in it. A cancel, an error or a crash leaves the earlier archive as it was
// and (but for a crash) no temporary archive.
//
// With SOURCE_DATE_EPOCH set (seconds since 1970), the archive is reproducible: entries in byte
// order of their names, no time later than that moment, times in UTC. Returns whether the
// archive was written (false for a folder that is not there). A folder that is missing or cannot
// be read is reported to the progress; an error of the writer ends the chore (Error).
bool zipFolder(const QString &folder, bool withFolderNames, ChoreProgress &progress);

// The entry names zipFolder would write into the folder's archive, read from disk now; writes
// nothing. A folder that is missing (nullopt: no archive) or cannot be read is reported to the
// progress.
std::optional<QStringList> zipFolderEntries(const QString &folder, bool withFolderNames, ChoreProgress &progress);

// The folders of the zip list as zipFolder takes them: each resolved by `reach`. A line that
// `reach` refuses (empty, a root, a system folder) is told to the progress as a problem that
// names it, and left out.
QStringList zipListFolders(const QStringList &folders, const ChoreReach &reach, ChoreProgress &progress);

// zipFolder for each folder of the zip list in order (see zipListFolders); returns the archives
// written. A folder whose archive cannot be written (a file in it that cannot be read) keeps
// its earlier archive and is told to the progress as a problem, with the reason; the other
// folders are zipped all the same.
QStringList zipFolders(const QStringList &folders, bool withFolderNames, ChoreProgress &progress,
                       const ChoreReach &reach = ChoreReach());
