#pragma once

#include "chores/ChoreProgress.h"

#include <QStringList>

// The program's one folder walk: the full paths of all files in `folder` and, with
// subfolders, of all files in every folder below it. Hidden entries are included. The
// folders are visited breadth-first, the given folder first; each folder's files come in
// the order the file system lists them. A trailing separator on `folder` is dropped, so
// every path has a single separator at each join.
//
// A file is a regular file, reached directly or through a link that stays inside `folder`.
// Links to folders are not followed, so a link cycle cannot trap the walk. A folder that does
// not exist gives an empty list; one that cannot be read adds nothing. Names that are not UTF-8
// are carried byte for byte (see FileNameBytes).
//
// On a worker, `progress` lets the walk stop between two folders once it is cancelled
// (ChoreCancelled is thrown), and takes each folder that cannot be read as a failure, with
// the reason the system gave.
//
// What the walk passes over although it is no folder goes to `passedOver`, with the reason: a
// link that leads out of `folder` (never followed, whatever it leads to), a link that leads
// nowhere or in a loop, and what is neither file nor folder (a pipe, a socket, a device).
QStringList listFiles(const QString &folder, bool withSubfolders, ChoreProgress *progress = nullptr,
                      QList<ChoreFailure> *passedOver = nullptr);
