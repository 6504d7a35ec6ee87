#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// A file of a folder entry's tree, by its path below the folder ("docs/index.html", always with
// "/"), its size and the SHA-256 of its content.
struct MirrorFile
{
    QString path;
    qint64 size = 0;
    QByteArray sha256;

    bool operator==(const MirrorFile &) const = default;
};

// A file the server's listing shows, by its path below the target folder.
struct RemoteFile
{
    QString path;
    qint64 size = 0;

    bool operator==(const RemoteFile &) const = default;
};

enum class MirrorAction { Upload, Skip, Remove };

struct MirrorStep
{
    MirrorAction action = MirrorAction::Upload;
    QString path;
    qint64 size = 0; // the local file's, or for a removal the size the state recorded

    bool operator==(const MirrorStep &) const = default;
};

// What a deploy of a folder does, in the order of the paths.
struct MirrorPlan
{
    QList<MirrorStep> steps;

    QList<MirrorStep> stepsOf(MirrorAction action) const;
    qint64 bytesOf(MirrorAction action) const;
};

// Decides per file what a deploy does. With the server's state (what earlier runs uploaded) a
// local file is skipped when the state holds it with the same size and SHA-256; without one,
// when the listing shows a file of that path and size. Everything else is uploaded. With
// `removeStale`, files the state lists and the local tree no longer has are removed; nothing
// outside the state is ever removed, so without a state nothing is.
MirrorPlan planMirror(const QList<MirrorFile> &local, const std::optional<QList<MirrorFile>> &state,
                      const QList<RemoteFile> &listing, bool removeStale);
