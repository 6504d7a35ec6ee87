#pragma once

#include "chores/ChoreEndMessage.h"
#include "project/Records.h"
#include "upload/MirrorPlan.h"
#include "upload/UploadDestination.h"
#include "upload/UploadTransport.h"

#include <QList>
#include <QString>

#include <optional>

class ChoreProgress;
struct ChoreReport;

// Stores every file of `uploads` on its server, one entry after the other, each over the
// protocol its target's scheme names.
// The transport's status lines and the run's own go to the progress log; its status says which
// entry of how many runs, and over which protocol; its done and total follow the bytes of the
// current file. An entry that fails is reported as a failure of its file with the reason, and
// the next entry runs. An entry whose target or port cannot be used throws Error and stops the
// run. Cancelling ends the current transfer and the run with ChoreCancelled, after "Cancelled"
// was logged; a file cut off on its way is reported as a failure that says what the server
// may still hold.
void runUploads(const QList<UploadEntry> &uploads, ChoreProgress &progress, const UploadServices &services = {});

// An entry whose source is a folder deploys the folder (FolderDeploy). Its target may ask it
// to remove what earlier deploys put there and is gone here: the URL carries that as its
// fragment, "#remove-stale", so the entry keeps its five lines.
QString targetWithRemoveStale(const QString &target, bool removeStale);
bool targetRemovesStale(const QString &target);

// What a run would do with one entry: where it goes and, for a folder, what it would upload,
// skip and remove.
struct UploadPreview
{
    UploadEntry entry;
    UploadDestination destination;
    std::optional<MirrorPlan> plan;
};

// What a run of `uploads` would do, without moving anything; a folder entry's plan needs its
// server. An entry that cannot be previewed is the progress's failure; one whose target or port
// cannot be used throws Error, as in a run.
QList<UploadPreview> previewUploads(const QList<UploadEntry> &uploads, ChoreProgress &progress,
                                    const UploadServices &services = {});
// "source -> sftp://user@host:port/folder", never with the password.
QString previewHeadline(const UploadPreview &preview);

// How a run of `uploads` entries words its end: "Finished, but 2 of 5 uploads failed:" above
// the failed entries; after a cancel, "2 of 5 uploads failed:", as the entry cut off is one.
ChoreEndWording uploadEndWording(const ChoreReport &report, qsizetype uploads);
