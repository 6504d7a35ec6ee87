#include "app/BrowserSandbox.h"

#include <QtTest>

class BrowserSandboxTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void switchesFor_data()
    {
        QTest::addColumn<QByteArray>("switches");
        QTest::addColumn<bool>("root");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("root, none") << QByteArray() << true << QByteArray("--no-sandbox");
        QTest::newRow("root, blank") << QByteArray(" ") << true << QByteArray("--no-sandbox");
        QTest::newRow("root, others kept") << QByteArray("--disable-gpu") << true
                                           << QByteArray("--disable-gpu --no-sandbox");
        QTest::newRow("root, already there") << QByteArray("--disable-gpu  --no-sandbox") << true
                                             << QByteArray("--disable-gpu  --no-sandbox");
        QTest::newRow("root, a longer switch") << QByteArray("--no-sandbox-x") << true
                                               << QByteArray("--no-sandbox-x --no-sandbox");
        QTest::newRow("user") << QByteArray("--disable-gpu") << false << QByteArray("--disable-gpu");
    }

    void switchesFor()
    {
        QFETCH(QByteArray, switches);
        QFETCH(bool, root);
        QFETCH(QByteArray, expected);
        QCOMPARE(BrowserSandbox::switchesFor(switches, root), expected);
    }
};

QTEST_GUILESS_MAIN(BrowserSandboxTest)
#include "browser_sandbox_test.moc"
