#include "cli/CliRun.h"
#include "support/TestSupport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

class CliChoresTest : public QObject
{
    Q_OBJECT

private:
    IsolatedHome m_home;
    QTemporaryDir m_dir;

    // A project folder with temporary files at the top, in a subfolder and hidden.
    QString cleanFixture(const QString &name)
    {
        const QString folder = m_dir.filePath(name);
        for (const char *file : {"a.tmp", "keep.txt", "sub/B.TMP", "sub/c.txt", "sub/deeper/.hidden.tmp", "x.bak"})
            writeFile(folder + QLatin1Char('/') + QLatin1String(file), file);
        return folder;
    }

    QString cleanProject(const QString &folder)
    {
        ProjectData data;
        data.projectFolder = folder;
        data.includeSubfolders = true;
        data.tempExtensions = {QStringLiteral(".tmp")};
        return writeProject(m_dir.filePath(QFileInfo(folder).fileName() + QStringLiteral(".dev")), data);
    }

private Q_SLOTS:
    void cleanDryRun_listsAndTouchesNothing()
    {
        const QString folder = cleanFixture(QStringLiteral("dry"));
        const QString project = cleanProject(folder);
        const auto before = treeState(folder);
        const QStringList expected = {folder + QStringLiteral("/a.tmp"), folder + QStringLiteral("/sub/B.TMP"),
                                      folder + QStringLiteral("/sub/deeper/.hidden.tmp")};

        const CliResult text = runCli({project, QStringLiteral("clean"), QStringLiteral("--dry-run")});
        QCOMPARE(text.status, 0);
        QVERIFY(text.err.isEmpty());
        QCOMPARE(QString::fromUtf8(text.out).split(QLatin1Char('\n'), Qt::SkipEmptyParts), expected);

        const CliResult json = runCli({project, QStringLiteral("clean"), QStringLiteral("--dry-run"), QStringLiteral("--json")});
        QCOMPARE(json.status, 0);
        const QJsonObject object = QJsonDocument::fromJson(json.out).object();
        QCOMPARE(object.value(QStringLiteral("delete")).toArray().toVariantList(), QVariant(expected).toList());
        QCOMPARE(treeState(folder), before);
    }

    void clean_deletesTheTemporaryFilesOnly()
    {
        const QString folder = cleanFixture(QStringLiteral("real"));
        const CliResult result = runCli({cleanProject(folder), QStringLiteral("clean")});
        QCOMPARE(result.status, 0);
        QVERIFY(result.err.isEmpty());
        QCOMPARE(QString::fromUtf8(result.out).count(QLatin1Char('\n')), 3);
        QStringList left = treeState(folder).keys();
        left.replaceInStrings(folder + QLatin1Char('/'), QString());
        QCOMPARE(left, (QStringList{QStringLiteral("keep.txt"), QStringLiteral("sub"), QStringLiteral("sub/c.txt"),
                                    QStringLiteral("sub/deeper"), QStringLiteral("x.bak")}));
    }

    void progressBar_onlyOnATerminal()
    {
        const QString script = QStandardPaths::findExecutable(QStringLiteral("script"));
        if (script.isEmpty())
            QSKIP("script(1) is needed to give trovas-cli a terminal");
        const QString project = cleanProject(cleanFixture(QStringLiteral("terminal")));
        QProcess process;
        process.start(script, {QStringLiteral("-qec"),
                               QStringLiteral("%1 %2 clean --dry-run").arg(QStringLiteral(TROVAS_CLI), project),
                               QStringLiteral("/dev/null")});
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitCode(), 0);
        // The bar redraws its line and clears it at the end.
        QVERIFY(process.readAllStandardOutput().contains("\r\x1b[K"));
    }

    // Dry runs as well: "/" must never be listed for deleting, let alone deleted.
    void clean_refusesTheRootAndTheHomeFolder_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QStringList>("options");
        QTest::newRow("root") << QStringLiteral("/") << QStringList{QStringLiteral("--dry-run")};
        QTest::newRow("home") << m_home.path() << QStringList();
        QTest::newRow("home with a trailing separator") << m_home.path() + QLatin1Char('/') << QStringList();
    }

    void clean_refusesTheRootAndTheHomeFolder()
    {
        QFETCH(QString, folder);
        QFETCH(QStringList, options);
        const QString bait = writeFile(m_home.path() + QStringLiteral("/bait.tmp"), "keep me");
        const CliResult result = runCli(QStringList{cleanProject(folder), QStringLiteral("clean")} + options);
        QCOMPARE(result.status, 1);
        QVERIFY(result.out.isEmpty());
        QVERIFY2(result.err.contains("not deleted"), result.err.constData());
        QVERIFY(QFile::exists(bait));
    }
};

QTEST_GUILESS_MAIN(CliChoresTest)
#include "cli_chores_test.moc"
