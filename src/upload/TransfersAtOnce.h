#pragma once

#include <QString>

// The user's setting of how many connections a folder deploy opens to its server at once, in
// "transfers.dat" in the settings folder: one line with the number.
namespace TransfersAtOnce {

constexpr int Default = 4;
constexpr int Max = 16;

// Default when the file is not there. Throws Error for a file that cannot be read or holds no
// number from 1 to Max.
int load(const QString &settingsFolder);
// Throws Error naming the file and the reason.
void save(const QString &settingsFolder, int transfers);

} // namespace TransfersAtOnce
