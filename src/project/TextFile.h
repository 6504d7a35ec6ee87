#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Text files as lists of lines. Read accepting CR LF, LF or CR; written with CR LF after
// every line. Windows-1252 by default so files from Windows round-trip byte for byte; a file
// that is valid UTF-8 with multi-byte sequences is read as UTF-8, and text that Windows-1252
// cannot hold, or whose Windows-1252 bytes would read as UTF-8, is written as UTF-8.
namespace TextFile {

QString decode(const QByteArray &bytes);
QByteArray encode(const QString &text);
// Windows-1252 bytes of a text, or nullopt-like empty result flagged by ok=false.
QByteArray toWindows1252(const QString &text, bool *ok = nullptr);
QString fromWindows1252(const QByteArray &bytes);

QStringList splitLines(const QString &text);
// The text as one line: each line break becomes a space, a final one is dropped. A one-line
// field still takes a pasted break, and a value of a line-based file must never hold one.
QString oneLine(const QString &text);
// The lines with CR LF after each, as text and as the bytes written to a file.
QString joinedText(const QStringList &lines);
QByteArray joinLines(const QStringList &lines);

// Throw Error naming the file and the reason.
QStringList readLines(const QString &path);
void writeLines(const QString &path, const QStringList &lines);
void writeBytes(const QString &path, const QByteArray &bytes);

} // namespace TextFile
