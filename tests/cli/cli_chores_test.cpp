#include "cli/CliRun.h"
#include "support/TestSupport.h"
#include "upload/RealFtpServer.h"
#include "zip/ZipArchiveChecks.h"

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

    // A release tree: the project folder with a file and a source folder (with a subfolder),
    // the folder copies go to, and the backup folder; one of each list's entries.
    struct ReleaseFixture
    {
        QString root, project, file;
    };

    ReleaseFixture releaseFixture(const QString &name, const QString &uploadTarget = QStringLiteral("ftp://127.0.0.1:1/up"))
    {
        const QString root = m_dir.filePath(name);
        const QString folder = root + QStringLiteral("/proj");
        writeFile(folder + QStringLiteral("/readme.txt"), "read me");
        writeFile(folder + QStringLiteral("/src/main.c"), "int main() {}");
        writeFile(folder + QStringLiteral("/src/lib/util.h"), "#pragma once");
        QDir().mkpath(root + QStringLiteral("/bak"));
        ProjectData data;
        data.projectFolder = folder;
        data.backupFolder = root + QStringLiteral("/bak/");
        data.includeSubfolders = true;
        data.zipWithFolderNames = true;
        data.copies = {CopyEntry::fromFields({folder + QStringLiteral("/readme.txt"), root + QStringLiteral("/out/doc/README")}),
                       CopyEntry::fromFields({folder + QStringLiteral("/src/"), root + QStringLiteral("/out/src/")})};
        data.zipFolders = {folder + QStringLiteral("/src/")};
        data.uploads = {UploadEntry::fromFields({folder + QStringLiteral("/readme.txt"), uploadTarget,
                                                 QString::fromLatin1(RealFtpServer::SystemUser),
                                                 QString::fromLatin1(RealFtpServer::Password), QStringLiteral("21")})};
        return {root, writeProject(root + QStringLiteral(".dev"), data), folder + QStringLiteral("/readme.txt")};
    }

private Q_SLOTS:
    // Every chore's dry run on the same tree: what it lists, and nothing on disk changed.
    void choreDryRuns_listWhatWouldBeDoneAndTouchNothing_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("copy") << "copy"
                              << QStringList{"/proj/readme.txt -> /out/doc/README", "/proj/src/main.c -> /out/src/main.c"};
        // src.zip holds main.c, lib/ and lib/util.h.
        QTest::newRow("zip") << "zip" << QStringList{"/proj/src.zip: 3 entries"};
        QTest::newRow("release") << "release"
                                 << QStringList{"/proj/readme.txt -> /out/doc/README",
                                                "/proj/src/main.c -> /out/src/main.c", "/proj/src.zip: 3 entries"};
        QTest::newRow("upload") << "upload"
                                << QStringList{"/proj/readme.txt -> ftp://trovasftp@127.0.0.1:1/up"};
    }

    void choreDryRuns_listWhatWouldBeDoneAndTouchNothing()
    {
        QFETCH(QString, command);
        QFETCH(QStringList, expected);
        const ReleaseFixture fixture = releaseFixture(QStringLiteral("dry-") + command);
        const auto before = treeState(fixture.root);
        const CliResult result = runCli({fixture.project, command, QStringLiteral("--dry-run")});
        QCOMPARE(result.status, 0);
        QVERIFY2(result.err.isEmpty(), result.err.constData());
        QStringList lines = QString::fromUtf8(result.out).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        lines.replaceInStrings(fixture.root, QString());
        QCOMPARE(lines, expected);
        QVERIFY(!result.out.contains(RealFtpServer::Password));

        const CliResult json = runCli({fixture.project, command, QStringLiteral("--dry-run"), QStringLiteral("--json")});
        QCOMPARE(json.status, 0);
        QCOMPARE(QJsonDocument::fromJson(json.out).object().value(QStringLiteral("command")).toString(), command);
        QVERIFY(!json.out.contains(RealFtpServer::Password));
        QCOMPARE(treeState(fixture.root), before);
    }

    void backupDryRun_namesTheTargetAndCount_thenTheBackupMatches()
    {
        const ReleaseFixture fixture = releaseFixture(QStringLiteral("backup"));
        const auto before = treeState(fixture.root);
        const QJsonObject plan = QJsonDocument::fromJson(
            runCli({fixture.project, QStringLiteral("backup"), QStringLiteral("--dry-run"), QStringLiteral("--json")}).out).object();
        QCOMPARE(treeState(fixture.root), before);
        const QString target = plan.value(QStringLiteral("target")).toString();
        QVERIFY2(target.startsWith(fixture.root + QStringLiteral("/bak/")), qPrintable(target));
        QCOMPARE(plan.value(QStringLiteral("files")).toInt(), 3);

        const CliResult result = runCli({fixture.project, QStringLiteral("backup")});
        QCOMPARE(result.status, 0);
        QCOMPARE(readFile(target + QStringLiteral("/src/lib/util.h")), QByteArray("#pragma once"));
        QCOMPARE(treeState(target).size(), 6); // three files, the folders src and src/lib, and the marker
    }

    void release_copiesThenZipsAsTheDryRunSaid()
    {
        const ReleaseFixture fixture = releaseFixture(QStringLiteral("release"));
        const CliResult result = runCli({fixture.project, QStringLiteral("release")});
        QCOMPARE(result.status, 0);
        QVERIFY2(result.err.isEmpty(), result.err.constData());
        QCOMPARE(readFile(fixture.root + QStringLiteral("/out/doc/README")), QByteArray("read me"));
        QCOMPARE(readFile(fixture.root + QStringLiteral("/out/src/main.c")), QByteArray("int main() {}"));
        QVERIFY(!QFile::exists(fixture.root + QStringLiteral("/out/src/lib")));
        const QString archive = fixture.root + QStringLiteral("/proj/src.zip");
        QCOMPARE(ZipArchiveChecks::validate(archive), QString());
        QList<ArchiveEntry> entries;
        QCOMPARE(ZipArchiveChecks::parse(readFile(archive), entries), QString());
        QStringList names;
        for (const ArchiveEntry &entry : entries)
            names.append(QString::fromUtf8(entry.name));
        names.sort();
        QCOMPARE(names, (QStringList{"lib/", "lib/util.h", "main.c"}));
    }

    // Without folder names the entries carry whole paths, with an entry for every folder on
    // the way: the dry run must count what the archive then holds.
    void zipDryRun_countsTheEntriesTheArchiveGets_data()
    {
        QTest::addColumn<bool>("withFolderNames");
        QTest::newRow("with folder names") << true;
        QTest::newRow("whole paths") << false;
    }

    void zipDryRun_countsTheEntriesTheArchiveGets()
    {
        QFETCH(bool, withFolderNames);
        const ReleaseFixture fixture = releaseFixture(QStringLiteral("zip-") + QString::number(withFolderNames));
        ProjectData data = ProjectFile::read(fixture.project);
        data.zipWithFolderNames = withFolderNames;
        ProjectFile::write(fixture.project, data);

        const QJsonObject plan = QJsonDocument::fromJson(
            runCli({fixture.project, QStringLiteral("zip"), QStringLiteral("--dry-run"), QStringLiteral("--json")}).out).object();
        const QJsonObject archive = plan.value(QStringLiteral("archives")).toArray().first().toObject();
        QCOMPARE(runCli({fixture.project, QStringLiteral("zip")}).status, 0);
        QList<ArchiveEntry> entries;
        QCOMPARE(ZipArchiveChecks::parse(readFile(archive.value(QStringLiteral("archive")).toString()), entries), QString());
        QCOMPARE(archive.value(QStringLiteral("entries")).toInt(), entries.size());
    }

    void upload_storesTheFileOnARealServer()
    {
        RealFtpServer server(RealFtpServer::Kind::Pyftpdlib);
        const QString failure = server.start();
        if (!failure.isEmpty())
            QSKIP(qPrintable(failure));
        server.makeFolder(QStringLiteral("up"));
        const ReleaseFixture fixture =
            releaseFixture(QStringLiteral("upload"), QStringLiteral("ftp://127.0.0.1/up"));
        // The port is the entry's own: point it at the server.
        ProjectData data = ProjectFile::read(fixture.project);
        data.uploads[0].port = QString::number(server.port());
        ProjectFile::write(fixture.project, data);

        const CliResult result = runCli({fixture.project, QStringLiteral("upload")});
        QCOMPARE(result.status, 0);
        QVERIFY2(result.err.isEmpty(), result.err.constData());
        QCOMPARE(readFile(server.root() + QStringLiteral("/up/readme.txt")), QByteArray("read me"));
    }

    // Each failure on standard error with its reason; exit status 1.
    void choreFailures_exitWithOne_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("spoil");
        QTest::addColumn<QString>("reason");
        QTest::newRow("upload of a file that is gone")
            << "upload" << "/proj/readme.txt" << "Finished, but 1 of 1 uploads failed:\n{root}/proj/readme.txt: File does not exist\n";
        QTest::newRow("upload refused by the server")
            << "upload" << "" << "Finished, but 1 of 1 uploads failed:\n{root}/proj/readme.txt: Cannot connect to 127.0.0.1 port 1: Socket Error # 111: Connection refused\n";
        QTest::newRow("zip of a folder that is gone") << "zip" << "/proj/src" << "No such folder";
    }

    void choreFailures_exitWithOne()
    {
        QFETCH(QString, command);
        QFETCH(QString, spoil);
        QFETCH(QString, reason);
        const ReleaseFixture fixture = releaseFixture(QStringLiteral("fail-") + QString::number(qHash(QTest::currentDataTag())));
        if (!spoil.isEmpty())
            QVERIFY(QFileInfo(fixture.root + spoil).isDir() ? QDir(fixture.root + spoil).removeRecursively()
                                                            : QFile::remove(fixture.root + spoil));
        const CliResult result = runCli({fixture.project, command});
        QCOMPARE(result.status, 1);
        QVERIFY2(result.err.contains(reason.replace(QLatin1String("{root}"), fixture.root).toUtf8()), result.err.constData());
        QVERIFY(!result.err.contains(RealFtpServer::Password));
    }

    // A real run tells in JSON what it did and what failed, with the reasons; exit status as
    // without --json.
    void realRunJson_saysWhatWasDoneAndWhatFailed()
    {
        const QString folder = cleanFixture(QStringLiteral("json"));
        const CliResult clean = runCli({cleanProject(folder), QStringLiteral("clean"), QStringLiteral("--delete"), QStringLiteral("--json")});
        QCOMPARE(clean.status, 0);
        const QJsonObject cleaned = QJsonDocument::fromJson(clean.out).object();
        QCOMPARE(cleaned.value(QStringLiteral("command")).toString(), QStringLiteral("clean"));
        QCOMPARE(cleaned.value(QStringLiteral("dryRun")).toBool(true), false);
        QCOMPARE(cleaned.value(QStringLiteral("succeeded")).toBool(), true);
        QCOMPARE(cleaned.value(QStringLiteral("failures")).toArray().size(), 0);
        QCOMPARE(cleaned.value(QStringLiteral("deleted")).toArray().size(), 3);
        QVERIFY(!QFile::exists(folder + QStringLiteral("/a.tmp")));

        const ReleaseFixture fixture = releaseFixture(QStringLiteral("json-zip"));
        QVERIFY(QDir(fixture.root + QStringLiteral("/proj/src")).removeRecursively());
        const CliResult zip = runCli({fixture.project, QStringLiteral("zip"), QStringLiteral("--json")});
        QCOMPARE(zip.status, 1);
        const QJsonObject zipped = QJsonDocument::fromJson(zip.out).object();
        QCOMPARE(zipped.value(QStringLiteral("succeeded")).toBool(true), false);
        const QJsonArray failures = zipped.value(QStringLiteral("failures")).toArray();
        QCOMPARE(failures.size(), 1);
        QVERIFY(failures[0].toObject().value(QStringLiteral("item")).toString().contains(QStringLiteral("/proj/src")));
        QVERIFY(failures[0].toObject().value(QStringLiteral("reason")).toString().contains(QStringLiteral("No such folder")));
    }

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

    void clean_removesTheTemporaryFilesOnly_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<bool>("toTrash");
        QTest::newRow("to the trash by default") << QStringList() << true;
        QTest::newRow("--trash") << QStringList{QStringLiteral("--trash")} << true;
        QTest::newRow("--delete") << QStringList{QStringLiteral("--delete")} << false;
    }

    void clean_removesTheTemporaryFilesOnly()
    {
        QFETCH(QStringList, options);
        QFETCH(bool, toTrash);
        const QString folder = cleanFixture(QString::fromLatin1(QTest::currentDataTag()).remove(QLatin1Char('-')));
        const QString trash = m_home.path() + QStringLiteral("/data/Trash/");
        QDir(trash).removeRecursively();
        const CliResult result = runCli(QStringList{cleanProject(folder), QStringLiteral("clean")} + options);
        QCOMPARE(result.status, 0);
        QVERIFY2(result.err.isEmpty(), result.err.constData());
        QStringList left = treeState(folder).keys();
        left.replaceInStrings(folder + QLatin1Char('/'), QString());
        QCOMPARE(left, (QStringList{QStringLiteral("keep.txt"), QStringLiteral("sub"), QStringLiteral("sub/c.txt"),
                                    QStringLiteral("sub/deeper"), QStringLiteral("x.bak")}));
        for (const char *name : {"a.tmp", "B.TMP", ".hidden.tmp"}) {
            QCOMPARE(QFile::exists(trash + QStringLiteral("files/") + QLatin1String(name)), toTrash);
            QCOMPARE(QFile::exists(trash + QStringLiteral("info/") + QLatin1String(name) + QStringLiteral(".trashinfo")), toTrash);
        }
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
        QVERIFY2(result.err.contains("choose the folder of the project itself"), result.err.constData());
        QVERIFY(QFile::exists(bait));
    }
};

QTEST_GUILESS_MAIN(CliChoresTest)
#include "cli_chores_test.moc"
