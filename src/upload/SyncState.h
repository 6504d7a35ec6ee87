#pragma once

#include "upload/MirrorPlan.h"

#include <QByteArray>
#include <QList>
#include <QSet>
#include <QString>

#include <optional>

// The record a folder deploy keeps in its target folder on the server: path, size and SHA-256
// of every file it put there, so any machine deploying the folder later agrees on what is there.
namespace SyncState {

inline const QString FileName = QStringLiteral(".trovas-sync.json");

QByteArray toJson(const QList<MirrorFile> &files);
// Nothing when the text is no state this program wrote: not JSON, fields missing, or a path
// that could reach outside the target folder. Such a state is not trusted at all.
std::optional<QList<MirrorFile>> fromJson(const QByteArray &json);

// The state after a run: what the server held before, with the local files that arrived (or
// were already there) in their current form, without the files removed. A file that failed
// keeps what the state said about its earlier version, which the server still holds.
QList<MirrorFile> afterRun(const std::optional<QList<MirrorFile>> &before, const QList<MirrorFile> &local,
                           const QSet<QString> &arrived, const QSet<QString> &removed);

// Whether a path below a folder stays below it: relative, "/"-separated, no empty, "." or
// ".." part, no line break or backslash.
bool isSafeRelativePath(const QString &path);

} // namespace SyncState
