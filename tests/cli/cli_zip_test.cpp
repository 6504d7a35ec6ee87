#include "cli/CliRun.h"
#include "housekeeping/FileCopier.h"
#include "support/TestSupport.h"
#include "zip/BigFiles.h"
#include "zip/ZipArchiveChecks.h"

#include <QCryptographicHash>
#include <QtTest>

#include <csignal>

class CliZipTest : public QObject
{
    Q_OBJECT

private:
    IsolatedHome m_home;
    QTemporaryDir m_dir;

    QString path(const QString &relative) const { return m_dir.filePath(relative); }

    // Runs trovas-cli with these variables added to the environment.
    static CliResult runCliWith(const QStringList &arguments, const QMap<QString, QString> &variables)
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (auto variable = variables.cbegin(); variable != variables.cend(); ++variable)
            environment.insert(variable.key(), variable.value());
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(TROVAS_CLI), arguments);
        if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit)
            qFatal("trovas-cli did not end");
        return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
    }

    // A project that zips the folders given, with folder names.
    QString zipProject(const QString &name, const QStringList &folders)
    {
        ProjectData data;
        data.projectFolder = path(name);
        data.zipWithFolderNames = true;
        data.zipFolders = folders;
        return writeProject(path(name + QStringLiteral(".dev")), data);
    }

private Q_SLOTS:
    // Interrupted while it compresses one large file, the command line stops there, says so and
    // fails; the archive of the run before stays and no temporary archive is left.
    void interruptInsideALargeFile_keepsThePreviousArchive_data()
    {
        QTest::addColumn<QString>("command");
        QTest::newRow("zip") << "zip";
        QTest::newRow("release") << "release";
    }

    void interruptInsideALargeFile_keepsThePreviousArchive()
    {
        QFETCH(QString, command);
        const QString folder = path(command + QStringLiteral("/out"));
        QVERIFY(writeRandomFile(folder + QStringLiteral("/large.bin"), qint64(256) << 20));
        const QString archive = folder + QStringLiteral(".zip");
        const QByteArray previous = "the previous archive";
        writeFile(archive, previous);
        const QString part = temporaryNameFor(archive);

        QProcess cli;
        cli.start(QStringLiteral(TROVAS_CLI), {zipProject(command, {folder}), command});
        QVERIFY(cli.waitForStarted());
        // Some of the large file is in the temporary archive: the zip is inside it.
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(part).size() > (1 << 20), 60000);
        QCOMPARE(::kill(pid_t(cli.processId()), SIGINT), 0);
        QVERIFY(cli.waitForFinished(60000));

        QCOMPARE(cli.exitStatus(), QProcess::NormalExit);
        QCOMPARE(cli.exitCode(), 1);
        QVERIFY2(cli.readAllStandardError().contains("Cancelled"), "no word of the cancel");
        QCOMPARE(readFile(archive), previous);
        QVERIFY(!QFile::exists(part));
    }

    // With SOURCE_DATE_EPOCH, the same tree gives the same bytes in another time zone and with
    // other file times: entries in byte order of their names, every time held to that moment.
    void sourceDateEpoch_makesTheArchiveReproducible()
    {
        const QString folder = path(QStringLiteral("repro/out"));
        // Made in an order that is not the byte order of the names.
        for (const char *name : {"b.txt", "a/z.txt", "B.txt", "a.txt", "a/b/c.txt"})
            writeFile(folder + QLatin1Char('/') + QLatin1String(name), name);
        const QString project = zipProject(QStringLiteral("repro"), {folder});
        const QString archive = folder + QStringLiteral(".zip");
        const qint64 epoch = 1700000000; // 2023-11-14 22:13:20 UTC
        const auto zipAt = [&](const QDateTime &fileTime, const QString &zone) {
            QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
            while (it.hasNext()) {
                QFile file(it.next());
                if (QFileInfo(file).isFile())
                    QVERIFY(file.open(QIODevice::ReadWrite) && file.setFileTime(fileTime, QFileDevice::FileModificationTime));
            }
            const CliResult result = runCliWith({project, QStringLiteral("zip")},
                                                {{QStringLiteral("TZ"), zone},
                                                 {QStringLiteral("SOURCE_DATE_EPOCH"), QString::number(epoch)}});
            QCOMPARE(result.status, 0);
        };
        zipAt(QDateTime::currentDateTime(), QStringLiteral("XST5"));
        const QByteArray first = readFile(archive);
        zipAt(QDateTime::currentDateTime().addDays(3), QStringLiteral("YST-9"));
        QVERIFY(readFile(archive) == first);

        QList<ArchiveEntry> entries;
        QCOMPARE(ZipArchiveChecks::parse(first, entries), QString());
        QCOMPARE(ZipArchiveChecks::validate(archive), QString());
        QStringList names;
        const QDateTime utc = QDateTime::fromSecsSinceEpoch(epoch, Qt::UTC);
        for (const ArchiveEntry &entry : entries) {
            names.append(QString::fromUtf8(entry.name));
            QCOMPARE(entry.dosTime, ZipArchiveChecks::dosTime(utc));
            QCOMPARE(entry.dosDate, ZipArchiveChecks::dosDate(utc));
        }
        QCOMPARE(names, (QStringList{"B.txt", "a.txt", "a/", "a/b/", "a/b/c.txt", "a/z.txt", "b.txt"}));
    }

    void sourceDateEpoch_thatIsNoNumber_isRefused()
    {
        const QString folder = path(QStringLiteral("bad-epoch/out"));
        writeFile(folder + QStringLiteral("/a.txt"), "a");
        const CliResult result = runCliWith({zipProject(QStringLiteral("bad-epoch"), {folder}), QStringLiteral("zip")},
                                            {{QStringLiteral("SOURCE_DATE_EPOCH"), QStringLiteral("yesterday")}});
        QCOMPARE(result.status, 1);
        QVERIFY2(result.err.contains("SOURCE_DATE_EPOCH must be a number of seconds since 1970, not \"yesterday\"."),
                 result.err.constData());
        QVERIFY(!QFile::exists(folder + QStringLiteral(".zip")));
    }

    // SHA256SUMS goes beside the archives, one in each folder that holds some; sha256sum -c
    // checks them there. A line of another file stays; an old line of an archive is replaced.
    void checksums_areWrittenForSha256sum()
    {
        const QString root = path(QStringLiteral("sums"));
        const QStringList folders{root + QStringLiteral("/a/out"), root + QStringLiteral("/a/doc"),
                                  root + QStringLiteral("/b/x y")};
        for (const QString &folder : folders)
            writeFile(folder + QStringLiteral("/f.txt"), folder.toUtf8());
        writeFile(root + QStringLiteral("/a/notes.txt"), "notes");
        const QByteArray notesSum = QCryptographicHash::hash("notes", QCryptographicHash::Sha256).toHex();
        writeFile(root + QStringLiteral("/a/SHA256SUMS"), QByteArray(64, '0') + "  out.zip\n" + notesSum + "  notes.txt\n");

        const CliResult result = runCli({zipProject(QStringLiteral("sums"), folders), QStringLiteral("zip"),
                                         QStringLiteral("--checksums")});
        QCOMPARE(result.status, 0);
        QCOMPARE(result.out, (root + QStringLiteral("/a/SHA256SUMS\n") + root + QStringLiteral("/b/SHA256SUMS\n")).toUtf8());
        for (const QString &folder : {root + QStringLiteral("/a"), root + QStringLiteral("/b")}) {
            QProcess check;
            check.setWorkingDirectory(folder);
            check.setProcessChannelMode(QProcess::MergedChannels);
            check.start(QStringLiteral("sha256sum"), {QStringLiteral("-c"), QStringLiteral("--strict"), QStringLiteral("SHA256SUMS")});
            QVERIFY(check.waitForFinished());
            QVERIFY2(check.exitCode() == 0, check.readAll().constData());
        }
        const QList<QByteArray> lines = readFile(root + QStringLiteral("/a/SHA256SUMS")).split('\n');
        QCOMPARE(lines.size(), 4); // notes.txt, doc.zip, out.zip and the end of the last line
        QVERIFY(lines.at(0).endsWith("  notes.txt"));
    }
};

QTEST_GUILESS_MAIN(CliZipTest)
#include "cli_zip_test.moc"
