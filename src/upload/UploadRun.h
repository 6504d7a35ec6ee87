#pragma once

#include "chores/ChoreEndMessage.h"
#include "project/Records.h"
#include "upload/UploadDestination.h"
#include "upload/UploadTransport.h"

#include <QList>
#include <QString>

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

// How a run of `uploads` entries words its end: "Finished, but 2 of 5 uploads failed:" above
// the failed entries; after a cancel, "2 of 5 uploads failed:", as the entry cut off is one.
ChoreEndWording uploadEndWording(const ChoreReport &report, qsizetype uploads);
