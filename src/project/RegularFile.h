#pragma once

#include <QString>

class QFile;

// Opening a named pipe for reading the usual way waits until a writer comes, forever when none
// does; a device may wait as well. Files the program reads whole are opened through here,
// which opens regular files only and never waits.
namespace RegularFile {

enum class Opened { Yes, NotRegular, Failed };

// Opens the file that `file` names read-only. On Failed, reason holds the system's reason.
Opened openForReading(QFile &file, QString &reason);

} // namespace RegularFile
