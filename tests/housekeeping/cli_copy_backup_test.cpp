#include "cli/CliRun.h"
#include "housekeeping/BackupFolders.h"
#include "housekeeping/BackupProject.h"
#include "housekeeping/SpoiledCopies.h"
#include "support/TestSupport.h"
#include "zip/ZipArchiveChecks.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QtTest>

#include <csignal>

// The copy, release and backup commands of trovas-cli: what they report and how they exit.
class CliCopyBackupTest : public QObject
{
    Q_OBJECT

private:
    IsolatedHome m_home;
    std::unique_ptr<QTemporaryDir> m_dir;

    QString path(const QString &relative) const { return m_dir->filePath(relative); }

    // A project of two files and the given copy pairs, backed up into bak/.
    QString project(const QList<CopyEntry> &copies, const QStringList &zipFolders = {})
    {
        writeFile(path("proj/a.txt"), "a");
        writeFile(path("proj/src/main.c"), "int main() {}");
        ProjectData data;
        data.name = QStringLiteral("Demo");
        data.projectFolder = path("proj");
        data.backupFolder = path("bak");
        data.includeSubfolders = true;
        data.zipWithFolderNames = true;
        data.copies = copies;
        data.zipFolders = zipFolders;
        return writeProject(path("demo.dev"), data);
    }

    QString dated() const { return path("bak/") + backupDateStamp(QDate::currentDate(), QLocale::system()); }

private Q_SLOTS:
    void init() { m_dir = std::make_unique<QTemporaryDir>(); }

    // The end report of each failure on standard error, with exit status 1; what could be done
    // is done. A dry run predicts the failures it can see.
    void chores_reportWhatWasNotDone_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("spoil");
        QTest::addColumn<QStringList>("errors");
        QTest::newRow("missing source") << "copy" << "missing source"
                                        << QStringList{"<dir>/proj/gone.txt: source does not exist"};
        QTest::newRow("missing source, dry run") << "copy --dry-run" << "missing source"
                                                 << QStringList{"<dir>/proj/gone.txt: source does not exist"};
        QTest::newRow("folder that cannot be created")
            << "copy" << "blocked folder" << QStringList{"<dir>/plain/sub/: cannot be created: Not a directory"};
        QTest::newRow("folder that cannot be created, dry run")
            << "copy --dry-run" << "blocked folder"
            << QStringList{"<dir>/plain/sub/: cannot be created: Not a directory"};
        QTest::newRow("zip step skipped")
            << "release" << "empty target"
            << QStringList{"The copy target on line 2 is empty: it names no folder or file to work on. Nothing was "
                           "copied.",
                           "The folders were not zipped, since the copy stopped."};
    }

    void chores_reportWhatWasNotDone()
    {
        QFETCH(QString, command);
        QFETCH(QString, spoil);
        QFETCH(QStringList, errors);
        errors.replaceInStrings("<dir>", m_dir->path());
        writeFile(path("plain"), "a file where a folder would go");
        const QString file = path("proj/a.txt");
        const QList<CopyEntry> copies = spoiledCopies(*m_dir, file, spoil);
        const bool dryRun = command.endsWith("--dry-run");

        QStringList arguments{project(copies, {path("out/")}), command.section(' ', 0, 0)};
        if (dryRun)
            arguments.append("--dry-run");
        const CliResult result = runCli(arguments);

        QCOMPARE(result.status, 1);
        QCOMPARE(QString::fromUtf8(result.err).split('\n', Qt::SkipEmptyParts), errors);
        const bool copied = !dryRun && spoil != "empty target";
        QCOMPARE(QFile::exists(path("out/last.txt")), copied);
        QVERIFY(!QFile::exists(path("out.zip")));
        if (spoil == "missing source")
            QCOMPARE(QFileInfo(path("out/gone")).isDir(), !dryRun);
    }

    // Interrupted within a large file, the backup says how far it got and that its folder is no
    // finished backup, and leaves it without a half file or a marker.
    void backup_interrupted_saysTheFolderIsIncomplete()
    {
        const QString projectFile = project({});
        // Below the level of src/main.c, so it comes last.
        QVERIFY(writeAllocatedFile(path("proj/zz/deeper/huge.bin"), qint64(1) << 30));

        QProcess process;
        process.start(QStringLiteral(TROVAS_CLI), {projectFile, QStringLiteral("backup")});
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(dated() + "/zz/deeper/huge.bin").size() > 1024 * 1024, 20000);
        ::kill(pid_t(process.processId()), SIGINT);
        QVERIFY(process.waitForFinished(10000));

        QCOMPARE(process.exitCode(), 1);
        QCOMPARE(QString::fromUtf8(process.readAllStandardError()).split('\n', Qt::SkipEmptyParts),
                 (QStringList{"Cancelled", "2 of 3 files were backed up. The folder \"" + dated()
                                               + "\" is incomplete: it does not count as a finished backup."}));
        QCOMPARE(QDir(dated() + "/zz/deeper").entryList(QDir::Files | QDir::Hidden), QStringList());
        QVERIFY(!QFile::exists(dated() + "/.trovas-backup"));
    }

    // The dry run lists the backups --keep would remove and touches nothing; the backup then
    // removes exactly those.
    void backup_keepsTheNewestAsTheDryRunSaid()
    {
        const QString projectFile = project({});
        const QDateTime start(QDate(2025, 1, 1), QTime(0, 0), Qt::UTC);
        for (int day = 1; day <= 3; ++day) {
            const QString folder = path(QStringLiteral("bak/old%1").arg(day));
            writeFile(folder + "/a.txt", "a");
            BackupFolders::markFinished(folder, "Demo", start.addDays(day));
        }
        const auto before = treeState(m_dir->path());

        const CliResult plan = runCli({projectFile, "backup", "--keep", "2", "--dry-run", "--json"});
        QCOMPARE(plan.status, 0);
        QCOMPARE(treeState(m_dir->path()), before);
        const QJsonObject object = QJsonDocument::fromJson(plan.out).object();
        QCOMPARE(object.value("target").toString(), dated());
        QCOMPARE(object.value("remove").toArray().toVariantList(),
                 (QVariantList{path("bak/old2"), path("bak/old1")}));

        const CliResult result = runCli({projectFile, "backup", "--keep", "2"});
        QCOMPARE(result.status, 0);
        QCOMPARE(QDir(path("bak")).entryList(QDir::Dirs | QDir::NoDotAndDotDot),
                 (QStringList{QFileInfo(dated()).fileName(), "old3"}));
        QVERIFY2(result.err.contains("Removed the old backup"), result.err.constData());
        QCOMPARE(runCli({projectFile, "backup", "--keep", "-1"}).status, 2);
    }
};

QTEST_GUILESS_MAIN(CliCopyBackupTest)
#include "cli_copy_backup_test.moc"
