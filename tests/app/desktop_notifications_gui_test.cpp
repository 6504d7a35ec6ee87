#include "project/Error.h"
#include "support/PrivateSessionBus.h"
#include "support/TestSupport.h"
#include "support/WindowFixture.h"

#include <QtTest>

// A chore that ends while the user is elsewhere waits with its end box until the user comes back;
// when it ran a while, a desktop notification, sent to a notification service mocked on a private
// session bus, says how it ended.
class DesktopNotificationsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void choreEnd_notifiesOnlyWhenUnwatched_data();
    void choreEnd_notifiesOnlyWhenUnwatched();

private:
    QByteArray notifications() const { return readFile(m_log.filePath(QStringLiteral("calls.log"))); }

    IsolatedHome m_home;
    PrivateSessionBus m_bus;
    QTemporaryDir m_log;
};

void DesktopNotificationsTest::initTestCase()
{
    QVERIFY2(m_bus.failure().isEmpty(), qPrintable(m_bus.failure()));
    const QString failure =
        m_bus.startMock(QStringLiteral("org.freedesktop.Notifications"),
                        {QStringLiteral("--template"), QStringLiteral("notification_daemon"), QStringLiteral("--logfile"),
                         m_log.filePath(QStringLiteral("calls.log"))});
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
}

void DesktopNotificationsTest::choreEnd_notifiesOnlyWhenUnwatched_data()
{
    QTest::addColumn<bool>("active");
    QTest::addColumn<int>("seconds");
    QTest::addColumn<bool>("failed");
    QTest::addColumn<QString>("summary"); // empty: no notification
    QTest::addColumn<QString>("body");

    QTest::newRow("away, long, done") << false << 11 << false << "Copying files: finished" << "Finished";
    // What the window says at the end is the notification's body.
    QTest::newRow("away, long, a failure")
        << false << 60 << true << "Copying files: finished with failures" << "1 file could not be copied";
    QTest::newRow("away, short") << false << 10 << false << "" << "";
    QTest::newRow("watching, long") << true << 3600 << true << "" << "";
}

void DesktopNotificationsTest::choreEnd_notifiesOnlyWhenUnwatched()
{
    QFETCH(bool, active);
    QFETCH(int, seconds);
    QFETCH(bool, failed);
    QFETCH(QString, summary);
    QFETCH(QString, body);
    QTemporaryDir dir;
    WindowFixture fixture(dir.filePath(QStringLiteral("settings")));
    MainWindow &window = fixture.window;
    QDateTime now = QDateTime::currentDateTime();
    window.setClock([&now] { return now; });
    window.show();
    QWidget editor;
    (active ? static_cast<QWidget &>(window) : editor).show();
    (active ? static_cast<QWidget &>(window) : editor).activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(active ? static_cast<QWidget *>(&window) : &editor));
    const qsizetype logged = notifications().size();

    bool ended = false;
    qsizetype boxesWhileAway = -1;
    bool notifiedWhileAway = false;
    window.runChore(
        QStringLiteral("Copying files"),
        [&](ChoreProgress &progress) {
            now = now.addSecs(seconds);
            if (failed)
                progress.addFailure(QStringLiteral("/p/x"), QStringLiteral("Permission denied"));
        },
        [&](const ChoreReport &report) {
            ended = true;
            // The user comes back a while later.
            QTimer::singleShot(1000, &window, [&] {
                boxesWhileAway = fixture.prompts.errors.size();
                notifiedWhileAway = notifications().mid(logged).contains("Notify");
                window.activateWindow();
            });
            if (!report.failures.isEmpty())
                throw Error(QStringLiteral("Finished, but 1 file could not be copied:\n\n/p/x: Permission denied"));
        });
    QTRY_VERIFY(ended);
    QTRY_VERIFY(boxesWhileAway >= 0);
    QCOMPARE(boxesWhileAway, active && failed ? 1 : 0);
    QCOMPARE(notifiedWhileAway, !summary.isEmpty());
    QTRY_COMPARE(fixture.prompts.errors.size(), failed ? 1 : 0);

    if (summary.isEmpty()) {
        // The service answers in order: a later call would be in the log by the time this one is.
        QTest::qWait(300);
        QCOMPARE(notifications().mid(logged), QByteArray());
        return;
    }
    QTRY_VERIFY(notifications().mid(logged).contains("Notify"));
    const QByteArray call = notifications().mid(logged);
    QVERIFY2(call.contains('"' + summary.toUtf8() + '"') && call.contains(body.toUtf8()), call.constData());
    QVERIFY(call.contains("Trovas"));
}

QTEST_MAIN(DesktopNotificationsTest)
#include "desktop_notifications_gui_test.moc"
