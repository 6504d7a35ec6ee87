#pragma once

#include "upload/MirrorPlan.h"

#include <QList>
#include <QString>

class ChoreProgress;

// A file a folder deploy may upload: where it is here and what it is below the folder.
struct LocalFile
{
    QString localPath;
    MirrorFile file;
};

// Every file below `folder` with its size and SHA-256, ordered by path. A link is taken as the
// file it points to, as long as that stays inside the folder; a link that leads out of it, a
// broken link, a link to a folder and a special file (pipe, socket, device) are passed over,
// each with a note in the progress's report. A file named like the deploy state at the top is
// passed over too, since the state takes its place. Throws ChoreCancelled once cancelled, and
// Error when the folder cannot be read at all.
QList<LocalFile> scanLocalTree(const QString &folder, ChoreProgress &progress);
