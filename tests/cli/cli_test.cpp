#include "workspace/Workspace.h"
#include "cli/CliRun.h"
#include "project/TextFile.h"
#include "support/TestSupport.h"
#include "todolist/Changelog.h"
#include "todolist/ChangelogTemplates.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

namespace {

TodoItem todo(int status, int kind, int official, const QString &version, const QString &title)
{
    TodoItem item;
    item.status = status;
    item.kind = kind;
    item.official = official;
    item.version = version;
    item.title = title;
    item.description = QStringLiteral("about ") + title + QStringLiteral(" & more");
    return item;
}

// Written out of order, so the tests see the order a load gives: status, then version.
ProjectData todoProject()
{
    ProjectData data;
    data.name = QStringLiteral("Demo");
    data.version = QStringLiteral("2.0");
    data.projectFolder = QStringLiteral("/nowhere/demo");
    data.tempExtensions = {QStringLiteral(".tmp"), QStringLiteral(".bak")};
    data.developers = {DeveloperEntry::fromFields({QStringLiteral("Ann"), QStringLiteral("ann@example.org"), {}, {}, {}, {}})};
    data.todos = {todo(11, 1, -1, QStringLiteral("1.10"), QStringLiteral("Later")),
                  todo(10, 1, -1, QStringLiteral("2.0"), QStringLiteral("Working")),
                  todo(8, 0, -1, QStringLiteral("1.10"), QStringLiteral("Crash fixed")),
                  todo(8, 2, 7, QStringLiteral("1.0"), QStringLiteral("Hidden")),
                  todo(8, 3, -1, QStringLiteral("1.0"), QStringLiteral("A\u00f1adir <export>"))};
    data.todos[1].priority = 4;
    data.todos[3].priority = 6;
    return data;
}

QStringList outLines(const CliResult &result)
{
    return QString::fromUtf8(result.out).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QJsonObject outJson(const CliResult &result)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(result.out, &error);
    if (error.error != QJsonParseError::NoError)
        qWarning("not JSON: %s", result.out.constData());
    return document.object();
}

} // namespace

class CliTest : public QObject
{
    Q_OBJECT

private:
    IsolatedHome m_home;
    QTemporaryDir m_dir;
    QString m_project;

    QString settingsFolder() const { return AppDataFolder::path(); }

private Q_SLOTS:
    void initTestCase()
    {
        m_project = writeProject(m_dir.filePath(QStringLiteral("demo.dev")), todoProject());
        // The user's templates: a head without a final line break; Finished and At work ticked.
        writeFile(settingsFolder() + QStringLiteral("Head.txt"), "<h2>[%Version%]</h2>");
        writeFile(settingsFolder() + QStringLiteral("settings.dat"), "T\r\nF\r\nT\r\nF\r\nF\r\n");
    }

    void usageErrors_exitWithTwo_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("nothing") << QStringList();
        QTest::newRow("no command") << QStringList{QStringLiteral("x.dev")};
        QTest::newRow("unknown command") << QStringList{QStringLiteral("x.dev"), QStringLiteral("explode")};
        QTest::newRow("unknown option") << QStringList{QStringLiteral("x.dev"), QStringLiteral("info"), QStringLiteral("--fast")};
        QTest::newRow("option of another command")
            << QStringList{QStringLiteral("x.dev"), QStringLiteral("info"), QStringLiteral("--dry-run")};
        QTest::newRow("unknown status")
            << QStringList{QStringLiteral("x.dev"), QStringLiteral("todo"), QStringLiteral("--status"), QStringLiteral("done")};
        QTest::newRow("unknown format")
            << QStringList{QStringLiteral("x.dev"), QStringLiteral("changelog"), QStringLiteral("--format=pdf")};
        QTest::newRow("trash and delete")
            << QStringList{QStringLiteral("x.dev"), QStringLiteral("clean"), QStringLiteral("--trash"), QStringLiteral("--delete")};
        QTest::newRow("delete for another command")
            << QStringList{QStringLiteral("x.dev"), QStringLiteral("copy"), QStringLiteral("--delete")};
        QTest::newRow("extra argument") << QStringList{QStringLiteral("x.dev"), QStringLiteral("info"), QStringLiteral("y")};
    }

    void usageErrors_exitWithTwo()
    {
        QFETCH(QStringList, arguments);
        const CliResult result = runCli(arguments);
        QCOMPARE(result.status, 2);
        QVERIFY(result.out.isEmpty());
        QVERIFY(result.err.contains("--help"));
    }

    void commandBeforeTheProject_suggestsTheOrder()
    {
        const CliResult result = runCli({QStringLiteral("info"), m_project});
        QCOMPARE(result.status, 2);
        QVERIFY2(result.err.contains(QStringLiteral("The project file comes first: trovas-cli %1 info").arg(m_project).toUtf8()),
                 result.err.constData());
    }

    void help_forTheToolAndEveryCommand_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("usage");
        QTest::newRow("tool") << QStringList{QStringLiteral("--help")} << "Usage: trovas-cli PROJECT.dev COMMAND";
        QTest::newRow("command alone") << QStringList{QStringLiteral("todo"), QStringLiteral("-h")}
                                       << "Usage: trovas-cli PROJECT.dev todo [options]";
        QTest::newRow("after the project")
            << QStringList{QStringLiteral("x.dev"), QStringLiteral("changelog"), QStringLiteral("--help")}
            << "Usage: trovas-cli PROJECT.dev changelog [options]";
    }

    void help_forTheToolAndEveryCommand()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, usage);
        const CliResult result = runCli(arguments);
        QCOMPARE(result.status, 0);
        QVERIFY2(result.out.startsWith(usage.toUtf8()), result.out.constData());
    }

    void projectThatDoesNotLoad_exitsWithTwoAndTheLoadMessage_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("message");
        QByteArray badCount = TextFile::joinLines(ProjectFile::serialize(todoProject()));
        badCount.replace("\r\n1\r\n2\r\n0\r\n", "\r\n1\r\nx\r\n0\r\n");
        QTest::newRow("count not a number") << badCount << "line 10: the count \"x\" is not a number";
        QTest::newRow("cut short") << QByteArray("a\r\nb\r\n")
                                   << "the file ends at line 2, but the header announces more lines";
    }

    void projectThatDoesNotLoad_exitsWithTwoAndTheLoadMessage()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        const QString path = writeFile(m_dir.filePath(QStringLiteral("bad.dev")), bytes);
        const CliResult result = runCli({path, QStringLiteral("info")});
        QCOMPARE(result.status, 2);
        QVERIFY(result.out.isEmpty());
        QCOMPARE(QString::fromUtf8(result.err).trimmed(), QStringLiteral("Cannot load %1: %2").arg(path, message));
    }

    void info_showsSettingsCountsAndOpenTasks()
    {
        const CliResult text = runCli({m_project, QStringLiteral("info")});
        QCOMPARE(text.status, 0);
        QVERIFY(text.err.isEmpty());
        const QStringList lines = outLines(text);
        QVERIFY(lines.contains(QStringLiteral("Name: Demo")));
        QVERIFY(lines.contains(QStringLiteral("To-do items: 5")));
        QVERIFY(lines.contains(QStringLiteral("Open tasks: 2")));

        const QJsonObject json = outJson(runCli({m_project, QStringLiteral("info"), QStringLiteral("--json")}));
        QCOMPARE(json.value(QStringLiteral("version")).toString(), QStringLiteral("2.0"));
        QCOMPARE(json.value(QStringLiteral("projectFolder")).toString(), QStringLiteral("/nowhere/demo"));
        QCOMPARE(json.value(QStringLiteral("openTasks")).toInt(), 2);
        const QJsonObject counts = json.value(QStringLiteral("counts")).toObject();
        QCOMPARE(counts.value(QStringLiteral("tempExtensions")).toInt(), 2);
        QCOMPARE(counts.value(QStringLiteral("developers")).toInt(), 1);
        QCOMPARE(counts.value(QStringLiteral("todos")).toInt(), 5);
    }

    void todo_listsInLoadedOrderAndFiltersByStatus()
    {
        const CliResult all = runCli({m_project, QStringLiteral("todo")});
        QCOMPARE(all.status, 0);
        QCOMPARE(outLines(all),
                 (QStringList{QStringLiteral("finished\tlow\tremoved\tunofficial\t1.0\tHidden"),
                              QStringLiteral("finished\tnormal\tnew\tofficial\t1.0\tA\u00f1adir <export>"),
                              QStringLiteral("finished\tnormal\tbug\tofficial\t1.10\tCrash fixed"),
                              QStringLiteral("at-work\thigh\tchanged\tofficial\t2.0\tWorking"),
                              QStringLiteral("todo\tnormal\tchanged\tofficial\t1.10\tLater")}));

        const QJsonObject json = outJson(runCli({m_project, QStringLiteral("todo"), QStringLiteral("--json"),
                                                 QStringLiteral("--status"), QStringLiteral("todo"),
                                                 QStringLiteral("--status"), QStringLiteral("at-work")}));
        const QJsonArray items = json.value(QStringLiteral("todos")).toArray();
        QCOMPARE(items.size(), 2);
        QCOMPARE(items[0].toObject().value(QStringLiteral("title")).toString(), QStringLiteral("Working"));
        QCOMPARE(items[0].toObject().value(QStringLiteral("priority")).toString(), QStringLiteral("high"));
        QCOMPARE(items[1].toObject().value(QStringLiteral("priority")).toString(), QStringLiteral("normal"));
        QCOMPARE(items[1].toObject().value(QStringLiteral("description")).toString(),
                 QStringLiteral("about Later & more"));
    }

    void changelogHtml_isTheWindowsTempHtml()
    {
        // The window: load the project, read the templates at start, create the changelog.
        ScriptedPrompts prompts;
        Workspace window(m_dir.filePath(QStringLiteral("window/")), prompts);
        QDir().mkpath(window.appDataFolder);
        window.commands.load(m_project);
        ChangelogTemplates templates;
        templates.load(settingsFolder());
        const QString tempHtml = Changelog::writePage(
            window.appDataFolder, Changelog::generate(window.project.data().todos, templates).html);

        const QString output = m_dir.filePath(QStringLiteral("changelog.html"));
        const CliResult result = runCli({m_project, QStringLiteral("changelog"), QStringLiteral("-o"), output});
        QCOMPARE(result.status, 0);
        QVERIFY(result.out.isEmpty());
        const QByteArray html = readFile(output);
        QCOMPARE(html, readFile(tempHtml));
        // The user's head template and the escaped title in the Western code page.
        QVERIFY(html.contains("<h2>1.10</h2>\r\n"));
        QVERIFY(html.contains("<li>A\xf1" "adir &lt;export&gt;: about A\xf1" "adir &lt;export&gt; &amp; more</li>"));
    }

    void changelogThatCannotBeWritten_exitsWithOneNamingTheFile()
    {
        const QString output = m_dir.filePath(QStringLiteral("missing/folder/changelog.md"));
        const CliResult result =
            runCli({m_project, QStringLiteral("changelog"), QStringLiteral("--format=markdown"), QStringLiteral("-o"), output});
        QCOMPARE(result.status, 1);
        QVERIFY2(result.err.contains(output.toUtf8()), result.err.constData());
        QVERIFY(!QFile::exists(output));
    }

    void changelogPlainAndMarkdown_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain, the templates' statuses")
            << QStringList{QStringLiteral("--format"), QStringLiteral("plain")}
            << QStringLiteral("1.0:\r\n\r\nA\u00f1adir <export>\r\n\r\n1.10:\r\n\r\nCrash fixed\r\n\r\n"
                              "2.0:\r\n\r\nWorking\r\n\r\n");
        QTest::newRow("plain, one status")
            << QStringList{QStringLiteral("--format"), QStringLiteral("plain"), QStringLiteral("--status"),
                           QStringLiteral("todo")}
            << QStringLiteral("1.10:\r\n\r\nLater\r\n\r\n");
        QTest::newRow("markdown, newest first, by kind")
            << QStringList{QStringLiteral("--format"), QStringLiteral("markdown"), QStringLiteral("--status"),
                           QStringLiteral("finished"), QStringLiteral("--status"), QStringLiteral("todo")}
            << QStringLiteral("# Changelog\n\n## [1.10]\n\n### Changed\n\n- Later\n\n### Fixed\n\n- Crash fixed\n\n"
                              "## [1.0]\n\n### Added\n\n- A\u00f1adir \\<export\\>\n");
    }

    void changelogPlainAndMarkdown()
    {
        QFETCH(QStringList, options);
        QFETCH(QString, expected);
        const CliResult result = runCli(QStringList{m_project, QStringLiteral("changelog")} + options);
        QCOMPARE(result.status, 0);
        QCOMPARE(QString::fromUtf8(result.out), expected);

        // In a file, the same UTF-8 bytes.
        const QString output = m_dir.filePath(QStringLiteral("changelog.txt"));
        QCOMPARE(runCli(QStringList{m_project, QStringLiteral("changelog"), QStringLiteral("-o"), output} + options).status, 0);
        QCOMPARE(readFile(output), result.out);
    }
};

QTEST_GUILESS_MAIN(CliTest)
#include "cli_test.moc"
