#pragma once

#include <QString>

// The desktop's notification service (org.freedesktop.Notifications on the session bus).
namespace DesktopNotifier {

// Shows a notification from the program; does nothing, and returns false, when no
// notification service runs. Never waits for the service's answer.
bool notify(const QString &summary, const QString &body);

} // namespace DesktopNotifier
