#pragma once

#include <QString>

// The desktop's trash (the freedesktop Trash on Linux), so that what the program removes can
// be restored from the file manager.
namespace Trash {

// Moves the file into the trash of its file system, or into the user's trash. Returns why it
// could not, with the file left where it was; empty when it is in the trash.
QString moveFile(const QString &path);

} // namespace Trash
