#pragma once

#include <QStringList>

class ChoreProgress;

// The name of the checksum file, as release folders commonly have it.
inline constexpr char checksumFileName[] = "SHA256SUMS";

// The checksum files that writeChecksums writes for these files: one in each folder that
// holds some of them.
QStringList checksumFilesFor(const QStringList &files);

// Writes the SHA-256 of each file into the checksum file beside it, a line "HASH  NAME" each,
// in the format "sha256sum -c" reads there. Lines of other files already in it stay; a line
// of one of these files is replaced. Returns the checksum files written. Throws Error when a
// file cannot be read or a checksum file cannot be written (which then stays as it was).
QStringList writeChecksums(const QStringList &files, ChoreProgress &progress);
