#pragma once

#include <QString>

// The user's setting of how many finished backups a backup folder keeps (0 keeps all), in
// "backup.dat" in the settings folder: one line with the number.
namespace BackupsToKeep {

// 0 when the file is not there. Throws Error for a file that cannot be read or holds no number.
int load(const QString &settingsFolder);
// Throws Error naming the file and the reason.
void save(const QString &settingsFolder, int keep);

} // namespace BackupsToKeep
