#pragma once

#include <QByteArray>

// The browser engine refuses to start as root with its sandbox on, and takes the program down
// with it. Run as root (a container, a CI machine), the program switches the sandbox off itself.
namespace BrowserSandbox {

// The engine's switches with "--no-sandbox" added for root, unless they already hold it.
QByteArray switchesFor(const QByteArray &switches, bool root);
// Sets the engine's switches in the environment; call before the engine loads.
void prepareForCurrentUser();

} // namespace BrowserSandbox
