#include "app/ui/DesktopColours.h"

#include <QApplication>
#include <QStyle>

#ifdef TROVAS_DBUS
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusVariant>
#endif

namespace {

const QString kPortal = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPortalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kSettings = QStringLiteral("org.freedesktop.portal.Settings");
const QString kAppearance = QStringLiteral("org.freedesktop.appearance");
const QString kColourScheme = QStringLiteral("color-scheme");
constexpr uint kPrefersDark = 1;
// The portal answers at once when it runs; the window does not wait longer for it.
constexpr int kReadTimeoutMs = 500;

#ifdef TROVAS_DBUS
// The value inside the variants the portal wraps it in (Read wraps it twice).
QVariant unwrapped(QVariant value)
{
    while (value.canConvert<QDBusVariant>())
        value = qvariant_cast<QDBusVariant>(value).variant();
    return value;
}
#endif

} // namespace

DesktopColours::DesktopColours(QObject *parent) : QObject(parent), m_lightPalette(QApplication::palette())
{
#ifdef TROVAS_DBUS
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    // D-Bus looks the slot's argument types up by name, and QDBusVariant's name is known only
    // once the type is registered, which nothing may have done yet: the connection would fail.
    qRegisterMetaType<QDBusVariant>();
    // By the portal's name, so the signal is heard also from a portal that starts later.
    if (!bus.connect(kPortal, kPortalPath, kSettings, QStringLiteral("SettingChanged"), this,
                     SLOT(settingChanged(QString,QString,QDBusVariant))))
        qWarning("The desktop's colour changes cannot be followed: %s", qPrintable(bus.lastError().message()));
    readScheme();
#endif
}

void DesktopColours::readScheme()
{
#ifdef TROVAS_DBUS
    QDBusConnection bus = QDBusConnection::sessionBus();
    // A portal that does not run yet is not started for this: the colours stay as they are.
    if (!bus.interface() || !bus.interface()->isServiceRegistered(kPortal))
        return;
    // ReadOne is the portal's newer method; older portals only have Read.
    for (const QString &method : {QStringLiteral("ReadOne"), QStringLiteral("Read")}) {
        QDBusMessage call = QDBusMessage::createMethodCall(kPortal, kPortalPath, kSettings, method);
        call << kAppearance << kColourScheme;
        const QDBusMessage reply = bus.call(call, QDBus::Block, kReadTimeoutMs);
        if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()) {
            applyScheme(unwrapped(reply.arguments().constFirst()).toUInt());
            return;
        }
    }
#endif
}

void DesktopColours::settingChanged(const QString &group, const QString &key, const QDBusVariant &value)
{
#ifdef TROVAS_DBUS
    if (group == kAppearance && key == kColourScheme)
        applyScheme(unwrapped(value.variant()).toUInt());
#else
    Q_UNUSED(group);
    Q_UNUSED(key);
    Q_UNUSED(value);
#endif
}

void DesktopColours::applyScheme(uint scheme)
{
    const bool dark = scheme == kPrefersDark;
    if (dark == m_dark)
        return;
    m_dark = dark;
    QApplication::setPalette(dark ? darkPalette() : m_lightPalette);
    Q_EMIT darkChanged(dark);
}

QPalette DesktopColours::darkPalette()
{
    const QColor window(0x2d, 0x30, 0x34);
    const QColor base(0x23, 0x25, 0x28);
    const QColor text(0xe6, 0xe8, 0xeb);
    const QColor disabledText(0x80, 0x85, 0x8c);
    const QColor highlight(0x3d, 0x7a, 0xd6);
    QPalette palette(window);
    palette.setColor(QPalette::Window, window);
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Base, base);
    palette.setColor(QPalette::AlternateBase, window);
    palette.setColor(QPalette::ToolTipBase, base);
    palette.setColor(QPalette::ToolTipText, text);
    palette.setColor(QPalette::PlaceholderText, disabledText);
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::Button, QColor(0x37, 0x3a, 0x3f));
    palette.setColor(QPalette::ButtonText, text);
    palette.setColor(QPalette::BrightText, Qt::white);
    palette.setColor(QPalette::Light, QColor(0x4a, 0x4e, 0x54));
    palette.setColor(QPalette::Midlight, QColor(0x40, 0x44, 0x4a));
    palette.setColor(QPalette::Mid, QColor(0x26, 0x28, 0x2b));
    palette.setColor(QPalette::Dark, QColor(0x1b, 0x1d, 0x1f));
    palette.setColor(QPalette::Shadow, QColor(0x10, 0x11, 0x12));
    palette.setColor(QPalette::Highlight, highlight);
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::Link, QColor(0x7a, 0xb4, 0xff));
    palette.setColor(QPalette::LinkVisited, QColor(0xb8, 0x9c, 0xff));
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(QPalette::Disabled, role, disabledText);
    palette.setColor(QPalette::Disabled, QPalette::Highlight, QColor(0x50, 0x54, 0x5a));
    return palette;
}
