#pragma once

#include <QString>

// The per-user settings folder, ending in a separator:
// Linux $XDG_CONFIG_HOME/Trovas/, Windows %APPDATA%\Trovas\, macOS ~/Library/Application Support/Trovas/.
namespace AppDataFolder {

QString path();
// The folder as the settings files are named from it: ending in the platform's separator.
QString withSeparator(const QString &folder);
// Creates the folder with its parents; throws Error when it cannot.
QString ensure();

} // namespace AppDataFolder
