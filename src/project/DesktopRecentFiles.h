#pragma once

#include <QDateTime>
#include <QString>

// The desktop's list of recently used files, which file choosers and launchers show: an XBEL
// file of bookmarks, one per file, each naming the applications that opened it.
namespace DesktopRecentFiles {

// recently-used.xbel in the user's data folder.
QString listPath();

// Records that this program used the file `path` (of MIME type `mimeType`) at `now`: its
// bookmark is added, or refreshed with this program's count raised. Every other bookmark and
// every other program's record of the same file stay as they were. The list is replaced in one
// step; a list that is not well-formed is left alone. Throws Error.
void add(const QString &listFile, const QString &path, const QString &mimeType, const QDateTime &now);

// The same, transforming the list's bytes; for an empty list, a new one.
QByteArray added(const QByteArray &list, const QString &path, const QString &mimeType, const QDateTime &now);

} // namespace DesktopRecentFiles
