#include "app/ui/DesktopColours.h"
#include "widgets/Icons.h"
#include "support/PrivateSessionBus.h"
#include "support/TestSupport.h"
#include "support/WindowFixture.h"

#include <QApplication>
#include <QDBusMessage>
#include <QtTest>

// The window takes the desktop's light or dark preference from the XDG desktop portal, mocked
// on a private session bus.
class DesktopColoursTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void palette_followsThePortal();

private:
    static bool looksDark() { return QApplication::palette().color(QPalette::Window).lightness() < 128; }
    // The mean lightness of an icon's visible pixels.
    static int inkLightness(const QIcon &icon);
    // The desktop's preference changes as in its settings: 1 dark, 2 light.
    void setDesktopScheme(uint scheme);

    IsolatedHome m_home;
    PrivateSessionBus m_bus;
};

void DesktopColoursTest::initTestCase()
{
    QVERIFY2(m_bus.failure().isEmpty(), qPrintable(m_bus.failure()));
    const QString failure = m_bus.startMock(QStringLiteral("org.freedesktop.portal.Desktop"),
                                            {QStringLiteral("--template"), QFINDTESTDATA("support/portal_settings.py"),
                                             QStringLiteral("--parameters"), QStringLiteral("{\"color-scheme\": 1}")});
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
}

int DesktopColoursTest::inkLightness(const QIcon &icon)
{
    const QImage image = icon.pixmap(QSize(32, 32)).toImage();
    qint64 sum = 0, count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (const QColor colour = image.pixelColor(x, y); colour.alpha() > 200) {
                sum += colour.lightness();
                ++count;
            }
    return count ? int(sum / count) : -1;
}

void DesktopColoursTest::palette_followsThePortal()
{
    QVERIFY(!looksDark());
    // A to-do icon drawn in dark inks on a light window.
    const int lightInk = inkLightness(Icons::todo(0));
    QTemporaryDir dir;
    WindowFixture fixture(dir.filePath(QStringLiteral("settings")));
    const MainWindow &window = fixture.window;

    // The desktop prefers dark from the start.
    QVERIFY(looksDark());
    QTRY_COMPARE(window.palette().color(QPalette::Base), DesktopColours::darkPalette().color(QPalette::Base));
    QVERIFY2(inkLightness(Icons::todo(0)) > lightInk + 30, "the icon's inks stay dark on a dark window");

    // The desktop turns light, then dark again, while the window runs.
    const QPalette dark = QApplication::palette();
    setDesktopScheme(2);
    QTRY_VERIFY(!looksDark());
    QCOMPARE(inkLightness(Icons::todo(0)), lightInk);
    setDesktopScheme(1);
    QTRY_VERIFY(looksDark());
    QCOMPARE(QApplication::palette().color(QPalette::Window), dark.color(QPalette::Window));
    QVERIFY(inkLightness(Icons::todo(0)) > lightInk + 30);
}

void DesktopColoursTest::setDesktopScheme(uint scheme)
{
    QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.portal.Desktop"),
                                                       QStringLiteral("/org/freedesktop/portal/desktop"),
                                                       QStringLiteral("org.freedesktop.DBus.Mock"),
                                                       QStringLiteral("SetColorScheme"));
    call << scheme;
    const QDBusMessage reply = m_bus.connection().call(call);
    QVERIFY2(reply.type() == QDBusMessage::ReplyMessage, qPrintable(reply.errorMessage()));
}

QTEST_MAIN(DesktopColoursTest)
#include "desktop_colours_gui_test.moc"
