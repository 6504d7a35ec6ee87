#pragma once

#include <QByteArray>
#include <QString>

// How the zip archive writer turns paths into entry names. Paths use the platform's separator;
// entry names use "/" between folders, as the zip format wants.
namespace ZipNames {

// Names compare the way the file system compares them: exactly on Linux, so A.TXT and a.txt
// in one folder are two entries there, ignoring letter case on Windows and macOS.
#if defined(Q_OS_WIN) || defined(Q_OS_MACOS)
inline constexpr Qt::CaseSensitivity fileNameCase = Qt::CaseInsensitive;
#else
inline constexpr Qt::CaseSensitivity fileNameCase = Qt::CaseSensitive;
#endif

// The path with root and then one leading separator removed when it begins with root;
// otherwise (and always for an empty root) the path unchanged.
QString relativeName(const QString &path, const QString &root);

// The entry name of a name or path: "/" between folders, no file-system root, drive or network
// prefix in front, and runs of separators (such as the doubled one after a folder given with
// a trailing separator) collapsed to one.
QString zipName(const QString &name);

// zipName with the platform's separators, the form in which a name is split into its folders.
QString dosName(const QString &name);

// The bytes of an entry name as the archive stores it: UTF-8, which is ASCII for the names
// that all readers agree on (see ZipEntry::flags); a file name that is not UTF-8 keeps its bytes
// (see FileNameBytes).
QByteArray entryBytes(const QString &zipName);

// Equal for two stored names exactly when they are the same entry name.
QByteArray entryKey(const QByteArray &storedName);

} // namespace ZipNames
