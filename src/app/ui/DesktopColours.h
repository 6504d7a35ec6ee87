#pragma once

#include <QObject>
#include <QPalette>

#ifdef TROVAS_DBUS
// Complete for the slot below: D-Bus matches a signal's arguments by their registered types.
#include <QDBusVariant>
#else
class QDBusVariant;
#endif

// Follows the desktop's light or dark preference, which the XDG desktop portal keeps as the
// setting color-scheme of org.freedesktop.appearance (0 no preference, 1 dark, 2 light), and
// gives the application the matching palette: at once, and again whenever the desktop's
// preference changes. Without a portal the palette stays the style's.
class DesktopColours : public QObject
{
    Q_OBJECT

public:
    explicit DesktopColours(QObject *parent = nullptr);

    bool isDark() const { return m_dark; }
    // The palette the window uses in the dark.
    static QPalette darkPalette();

Q_SIGNALS:
    void darkChanged(bool dark);

private Q_SLOTS:
    // The portal's signal; a slot by name, as D-Bus signals are connected.
    void settingChanged(const QString &group, const QString &key, const QDBusVariant &value);

private:
    void readScheme();
    void applyScheme(uint scheme);

    QPalette m_lightPalette;
    bool m_dark = false;
};
