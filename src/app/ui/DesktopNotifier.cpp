#include "app/ui/DesktopNotifier.h"

#ifdef TROVAS_DBUS
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QVariantMap>
#endif

namespace DesktopNotifier {

bool notify(const QString &summary, const QString &body)
{
#ifdef TROVAS_DBUS
    static const QString service = QStringLiteral("org.freedesktop.Notifications");
    QDBusConnection bus = QDBusConnection::sessionBus();
    // Asking the bus is quick; a call to a service that is not there would wait for a timeout.
    if (!bus.isConnected() || !bus.interface() || !bus.interface()->isServiceRegistered(service))
        return false;
    QDBusMessage call = QDBusMessage::createMethodCall(service, QStringLiteral("/org/freedesktop/Notifications"),
                                                       service, QStringLiteral("Notify"));
    const QVariantMap hints = {{QStringLiteral("desktop-entry"), QStringLiteral("trovas")}};
    // Application, replaces id, icon, summary, body, actions, hints, timeout (-1: the server's).
    call << QStringLiteral("Trovas") << 0u << QStringLiteral("trovas") << summary << body << QStringList() << hints
         << -1;
    return bus.send(call);
#else
    Q_UNUSED(summary);
    Q_UNUSED(body);
    return false;
#endif
}

} // namespace DesktopNotifier
