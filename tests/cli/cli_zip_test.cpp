#include "cli/CliRun.h"
#include "support/TestSupport.h"
#include "zip/BigFiles.h"
#include "zip/ZipArchiveChecks.h"

#include <QtTest>

#include <csignal>

class CliZipTest : public QObject
{
    Q_OBJECT

private:
    IsolatedHome m_home;
    QTemporaryDir m_dir;

    QString path(const QString &relative) const { return m_dir.filePath(relative); }

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
        const QString part = archive + QStringLiteral(".trovas-part");

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
};

QTEST_GUILESS_MAIN(CliZipTest)
#include "cli_zip_test.moc"
