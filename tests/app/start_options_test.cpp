#include "app/StartOptions.h"

#include <QDir>
#include <QProcess>
#include <QtTest>

Q_DECLARE_METATYPE(StartOptions::Action)

class StartOptionsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void parse_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<StartOptions::Action>("action");
        QTest::addColumn<QString>("project");
        using A = StartOptions::Action;
        const QString absolute = QDir::toNativeSeparators(QDir::current().absoluteFilePath(QStringLiteral("sub/perf.dev")));
        QTest::newRow("nothing") << QStringList() << A::OpenWindow << "";
        QTest::newRow("a project, made absolute") << QStringList{"sub/perf.dev"} << A::OpenWindow << absolute;
        QTest::newRow("a project beside the window system's options")
            << QStringList{"-platform", "offscreen", "sub/perf.dev", "-reverse"} << A::OpenWindow << absolute;
        QTest::newRow("help") << QStringList{"--help"} << A::ShowHelp << "";
        QTest::newRow("version before a project") << QStringList{"--version", "a.dev"} << A::ShowVersion << "";
        QTest::newRow("two projects") << QStringList{"a.dev", "b.dev"} << A::UsageError << "";
        QTest::newRow("an unknown option") << QStringList{"--bogus"} << A::UsageError << "";
    }

    void parse()
    {
        QFETCH(QStringList, arguments);
        QFETCH(StartOptions::Action, action);
        QFETCH(QString, project);
        const StartOptions options = StartOptions::parse(QStringList{QStringLiteral("trovas")} + arguments);
        QCOMPARE(options.action, action);
        QCOMPARE(options.project, project);
        if (action == StartOptions::Action::UsageError)
            QVERIFY(!options.text.isEmpty());
    }

    // Answered without a display: the window system is never loaded for them.
    void helpAndVersion_needNoDisplay_data()
    {
        QTest::addColumn<QString>("argument");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("output");
        QTest::newRow("version") << "--version" << 0 << QStringLiteral("trovas " TROVAS_VERSION "\n");
        QTest::newRow("help") << "--help" << 0 << "[PROJECT.dev]";
        QTest::newRow("unknown option") << "--bogus" << 2 << "";
    }

    void helpAndVersion_needNoDisplay()
    {
        QFETCH(QString, argument);
        QFETCH(int, exitCode);
        QFETCH(QString, output);
        QProcess trovas;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(QLatin1String(name));
        trovas.setProcessEnvironment(environment);
        trovas.start(QStringLiteral(TROVAS_GUI), {argument});
        QVERIFY(trovas.waitForFinished(30'000));
        QCOMPARE(trovas.exitStatus(), QProcess::NormalExit);
        QCOMPARE(trovas.exitCode(), exitCode);
        const QString printed = QString::fromUtf8(trovas.readAllStandardOutput());
        QVERIFY2(printed.contains(output), qPrintable(printed));
        if (exitCode != 0)
            QVERIFY(trovas.readAllStandardError().contains("bogus"));
    }
};

QTEST_GUILESS_MAIN(StartOptionsTest)
#include "start_options_test.moc"
