#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// File names are bytes on Linux, and not all of them are UTF-8 ("bad\xff.tmp"). Qt's own
// conversion turns such bytes into U+FFFD and cannot give them back, so a chore that met such a
// file could neither read nor remove it. Here each byte that is no part of valid UTF-8 becomes
// one of the code units U+DC80 to U+DCFF, which valid UTF-8 never yields, and goes back to
// that very byte: a name makes the trip from the file system through a QString and back byte
// for byte. Only the system calls of the chores take such names; Qt's file classes do not.
namespace FileNameBytes {

// The name or path as the file system gives it.
QString decode(QByteArrayView bytes);
// The bytes decode() was given; valid text becomes UTF-8. On Windows, whose names are UTF-16,
// the local 8-bit form.
QByteArray encode(const QString &name);
// Whether the name holds bytes that are not UTF-8, which only the chores' system calls can
// reach (Qt's file classes and the trash cannot).
bool hasRawBytes(const QString &name);

} // namespace FileNameBytes
