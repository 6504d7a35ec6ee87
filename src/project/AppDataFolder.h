#pragma once

#include <QString>

// The per-user settings folder, ending in a separator:
// Linux $XDG_CONFIG_HOME/Trovas/, Windows %APPDATA%\Trovas\, macOS ~/Library/Application Support/Trovas/.
namespace AppDataFolder {

QString path();
// Creates the folder with its parents; throws Error when it cannot.
QString ensure();

} // namespace AppDataFolder
