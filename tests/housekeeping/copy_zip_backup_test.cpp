#include "zip/ZipArchiveChecks.h"

#include "chores/ChoreProgress.h"
#include "housekeeping/BackupProject.h"
#include "housekeeping/ChoreEndMessage.h"
#include "housekeeping/CopyEntries.h"
#include "housekeeping/FileCopier.h"
#include "housekeeping/ZipFolder.h"
#include "project/Error.h"
#include "support/TestSupport.h"

#include <QDirIterator>
#include <QRandomGenerator>
#include <QtTest>

#include <atomic>
#include <functional>
#include <thread>

#include <csignal>

#include <sys/wait.h>
#include <unistd.h>

using namespace ZipArchiveChecks;

namespace {

const QDateTime oldTime(QDate(2021, 3, 4), QTime(5, 6, 8));

QByteArray randomBytes(quint32 seed, qsizetype size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator generator(seed);
    for (char &byte : bytes)
        byte = char(generator.bounded(256));
    return bytes;
}

void setModified(const QString &path, const QDateTime &time)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite) || !file.setFileTime(time, QFileDevice::FileModificationTime))
        qFatal("cannot set the time of %s", qPrintable(path));
}

// The files and folders below a folder, relative to it, folders with a trailing "/", sorted.
QStringList itemsBelow(const QString &folder)
{
    QStringList items;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        items.append(QDir(folder).relativeFilePath(info.filePath()) + (info.isDir() ? "/" : ""));
    }
    items.sort();
    return items;
}

// The first difference between two trees (names and contents), or an empty text.
QString treeDifference(const QString &expected, const QString &actual)
{
    const QStringList items = itemsBelow(expected);
    if (itemsBelow(actual) != items)
        return QStringLiteral("items differ: ") + itemsBelow(actual).join(u' ');
    for (const QString &item : items) {
        if (!item.endsWith(u'/') && readFile(expected + '/' + item) != readFile(actual + '/' + item))
            return item + QStringLiteral(" differs");
    }
    return {};
}

// Runs the work on a thread of its own and cancels it once `after` files are done; returns the
// progress as it was left.
ChoreProgress::Snapshot cancelMidway(const std::function<void(ChoreProgress &)> &work, qint64 after)
{
    ChoreProgress progress;
    std::atomic<bool> ended = false;
    bool cancelled = false;
    std::thread worker([&] {
        try {
            work(progress);
        } catch (const ChoreCancelled &) {
            cancelled = true;
        }
        ended = true;
    });
    while (progress.snapshot().done < after && !ended)
        std::this_thread::yield();
    progress.cancel();
    worker.join();
    if (!cancelled)
        qWarning("the work ended before it was cancelled");
    return progress.snapshot();
}

// While it lives, folders that deny this user stay closed to it also when it is root, who
// otherwise reads every folder: the process then acts under the id of the user "nobody".
class WithoutPrivileges
{
public:
    WithoutPrivileges()
    {
        if (geteuid() == 0 && seteuid(65534) == 0)
            m_dropped = true;
    }
    ~WithoutPrivileges()
    {
        if (m_dropped && seteuid(0) != 0)
            qFatal("cannot become root again");
    }
    Q_DISABLE_COPY_MOVE(WithoutPrivileges)

private:
    bool m_dropped = false;
};

// A small file system of its own that fills up quickly; empty when it cannot be mounted.
class SmallDisk
{
public:
    explicit SmallDisk(const QString &folder) : m_folder(folder)
    {
        QDir().mkpath(folder);
        QProcess mount;
        mount.start(QStringLiteral("mount"), {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                                               QStringLiteral("size=1m"), QStringLiteral("tmpfs"), folder});
        m_mounted = mount.waitForFinished() && mount.exitStatus() == QProcess::NormalExit && mount.exitCode() == 0;
    }
    ~SmallDisk()
    {
        if (m_mounted)
            QProcess::execute(QStringLiteral("umount"), {QStringLiteral("-l"), m_folder});
    }
    Q_DISABLE_COPY_MOVE(SmallDisk)
    bool isMounted() const { return m_mounted; }

private:
    QString m_folder;
    bool m_mounted = false;
};

// Whether WithoutPrivileges keeps this process out of the folder, which must hold something.
bool isKeptOut(const QString &folder)
{
    const WithoutPrivileges unprivileged;
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty();
}

QStringList partFilesBelow(const QString &folder)
{
    return itemsBelow(folder).filter(QStringLiteral(".trovas-part"));
}

} // namespace

class CopyZipBackupTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;

    QString path(const QString &relative) const { return m_dir->filePath(relative); }

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        // Open to the unprivileged user of WithoutPrivileges.
        QFile::setPermissions(m_dir->path(), QFileDevice::Permissions(0x7777));
    }

    // One run over every shape of pair.
    void copyEntries_carriesOutEveryShapeOfPair()
    {
        const QString file = writeFile(path("src/a.txt"), "fresh");
        setModified(file, oldTime);
        writeFile(path("src/folder/one.txt"), "one");
        writeFile(path("src/folder/sub/deep.txt"), "deep");
        writeFile(path("out/replaced.txt"), "stale and longer");
        const QList<CopyEntry> copies{
            {file, path("out/new/parents/a copy.txt")},
            {file, path("out/replaced.txt")},
            {path("src/missing.txt"), path("out/for missing/x.txt")},
            {path("src/folder/"), path("out/folder/")},
        };
        ChoreProgress progress;
        copyEntries(copies, progress);

        QCOMPARE(readFile(path("out/new/parents/a copy.txt")), "fresh");
        QCOMPARE(QFileInfo(path("out/new/parents/a copy.txt")).lastModified(), oldTime);
        QCOMPARE(readFile(path("out/replaced.txt")), "fresh");
        QVERIFY(QFileInfo(path("out/for missing")).isDir());
        QCOMPARE(itemsBelow(path("out/for missing")), QStringList());
        QCOMPARE(itemsBelow(path("out/folder")), QStringList{"one.txt"});
        QCOMPARE(progress.failures(), QList<ChoreFailure>());
        QCOMPARE(progress.snapshot().done, 3);
        QCOMPARE(progress.snapshot().total, 3);
        QCOMPARE(partFilesBelow(path("out")), QStringList());
    }

    void copyEntries_stopsWithAClearMessage_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("firstCopied");
        QTest::newRow("relative target") << "out/a.txt"
                                         << "The copy target \"out/a.txt\" is not a full path, so nothing was copied."
                                         << false;
        QTest::newRow("folder below a file") << "<dir>/plain/sub/a.txt"
                                             << "Cannot create the folder \"<dir>/plain/sub/\": Not a directory"
                                             << true;
    }

    void copyEntries_stopsWithAClearMessage()
    {
        QFETCH(QString, target);
        QFETCH(QString, message);
        QFETCH(bool, firstCopied);
        target.replace("<dir>", m_dir->path());
        message.replace("<dir>", m_dir->path());
        writeFile(path("plain"), "a file where a folder would go");
        const QString file = writeFile(path("src/a.txt"), "a");

        ChoreProgress progress;
        const QString error = errorOf([&] { copyEntries({{file, path("first/a.txt")}, {file, target}}, progress); });

        QVERIFY2(error.startsWith(message), qPrintable(error));
        QCOMPARE(QFile::exists(path("first/a.txt")), firstCopied);
    }

    // A cancel between two pieces of a large file leaves neither the target nor its half copy.
    void fileCopier_cancelledWithinAFile_leavesNoPartBehind()
    {
        const QString source = writeFile(path("src/big.bin"), randomBytes(7, 3 * 1024 * 1024));
        const QString target = path("dst/big.bin");
        QDir().mkpath(path("dst"));
        ChoreProgress progress;
        progress.cancel();
        FileCopier copier(progress);
        QVERIFY_THROWS_EXCEPTION(ChoreCancelled, copier.copy(source, target));
        QCOMPARE(itemsBelow(path("dst")), QStringList());
    }

    // A file that cannot be written and a folder that cannot be read are named with the
    // system's reason; the other pairs are copied.
    void copyEntries_reportsWhatFailedAndGoesOn()
    {
        const QString file = writeFile(path("src/a.txt"), "a");
        QVERIFY(QDir().mkpath(path("out/taken by a folder")));
        QFile::setPermissions(path("out"), QFileDevice::Permissions(0x7777));
        const QString locked = path("locked/");
        writeFile(locked + "inside.txt", "x");
        QVERIFY(QFile::setPermissions(locked, QFileDevice::Permissions()));
        const bool keptOut = isKeptOut(locked);

        ChoreProgress progress;
        {
            WithoutPrivileges unprivileged;
            copyEntries({{file, path("out/taken by a folder")}, {locked, path("out/locked/")}, {file, path("out/b.txt")}},
                        progress);
        }
        QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

        const QList<ChoreFailure> failures = progress.failures();
        QCOMPARE(failures.last(), (ChoreFailure{path("out/taken by a folder"), QStringLiteral("Is a directory")}));
        if (keptOut)
            QCOMPARE(failures.first(), (ChoreFailure{locked, QStringLiteral("Permission denied")}));
        else
            qInfo("permissions do not keep this user out of a folder");
        QCOMPARE(readFile(path("out/b.txt")), "a");
        QCOMPARE(partFilesBelow(path("out")), QStringList());
        const QString message = choreEndMessage(failures, "copied");
        QVERIFY2(message.contains(path("out/taken by a folder") + ": Is a directory"), qPrintable(message));
    }

    void choreEndMessage_countsAndListsTheFirstFailures()
    {
        QCOMPARE(choreEndMessage({}, "copied"), QStringLiteral("Finished"));
        QList<ChoreFailure> failures{{"/p/locked/", "Permission denied"}};
        for (int i = 0; i < 11; ++i)
            failures.append({QStringLiteral("/p/f%1").arg(i), "No space left on device"});
        const QStringList lines = choreEndMessage(failures, "backed up").split('\n');
        QCOMPARE(lines.first(), "Finished, but 11 files and 1 folder could not be backed up:");
        QCOMPARE(lines.at(2), "/p/locked/: Permission denied");
        QCOMPARE(lines.at(11), "/p/f8: No space left on device");
        QCOMPARE(lines.last(), "... and 2 more.");
        QCOMPARE(choreEndMessage({{"/x", "Is a directory"}}, "copied"),
                 "Finished, but 1 file could not be copied:\n\n/x: Is a directory");
    }

    // The archive goes beside the folder, whichever way the folder is written, replaces the one
    // there and a stale temporary archive, and unpacks under the true names with every tool.
    void zipFolder_replacesTheArchiveBesideTheFolder_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<bool>("withFolderNames");
        QTest::newRow("trailing separator") << "release/" << true;
        QTest::newRow("no trailing separator") << "release" << true;
        QTest::newRow("whole paths") << "release/" << false;
    }

    void zipFolder_replacesTheArchiveBesideTheFolder()
    {
        QFETCH(QString, folder);
        QFETCH(bool, withFolderNames);
        const QString tree = path("release");
        writeFile(tree + "/a.txt", "plain text, plain text, plain text");
        writeFile(tree + QStringLiteral("/\u00c4rger/Stra\u00dfe \u20ac.txt"), "non-ASCII names");
        writeFile(tree + "/s/t/random.bin", randomBytes(1, 5000));
        QVERIFY(QDir().mkpath(tree + "/empty"));
        const QString archive = path("release.zip");
        writeFile(archive, "an old archive");
        writeFile(archive + ".trovas-part", "left by a crash");

        ChoreProgress progress;
        zipFolder(path(folder), withFolderNames, progress);

        QCOMPARE(zipArchiveName(path(folder)), archive);
        QVERIFY(!QFile::exists(archive + ".trovas-part"));
        QList<ArchiveEntry> entries;
        const QString problem = parse(readFile(archive), entries);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        QCOMPARE(validate(archive), QString());
        // Progress counts the bytes of the files.
        QCOMPARE(progress.snapshot().done, 34 + 15 + 5000);
        QCOMPARE(progress.snapshot().total, 34 + 15 + 5000);
        QCOMPARE(progress.failures(), QList<ChoreFailure>());
        const QString inside = withFolderNames ? QString() : tree.mid(1);
        for (const QString tool : {"unzip", "7zz"}) {
            const QString out = path(tool);
            const QStringList arguments = tool == QLatin1String("unzip")
                ? QStringList{"-q", archive, "-d", out}
                : QStringList{"x", "-bso0", "-bsp0", "-o" + out, archive};
            QCOMPARE(failureOf(tool, arguments), QString());
            QCOMPARE(treeDifference(tree, out + '/' + inside), QString());
        }
    }

    // The folder's entry stays, its content is missing, and that is reported, not passed over.
    void zipFolder_reportsAnUnreadableSubfolderAndKeepsTheRest()
    {
        const QString tree = path("tree");
        writeFile(tree + "/a.txt", "a");
        writeFile(tree + "/locked/secret.txt", "s");
        writeFile(tree + "/z/b.txt", "b");
        QVERIFY(QFile::setPermissions(tree + "/locked", QFileDevice::Permissions()));
        if (!isKeptOut(tree + "/locked"))
            QSKIP("permissions do not keep this user out of a folder");

        ChoreProgress progress;
        {
            WithoutPrivileges unprivileged;
            zipFolder(tree, true, progress);
        }
        QFile::setPermissions(tree + "/locked", QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

        QCOMPARE(progress.failures(), (QList<ChoreFailure>{{tree + "/locked/", "Permission denied"}}));
        QList<ArchiveEntry> entries;
        QCOMPARE(parse(readFile(path("tree.zip")), entries), QString());
        QStringList names;
        for (const ArchiveEntry &entry : entries)
            names.append(QString::fromUtf8(entry.name));
        names.sort();
        QCOMPARE(names, (QStringList{"a.txt", "locked/", "z/", "z/b.txt"}));
        QCOMPARE(validate(path("tree.zip")), QString());
    }

    void zipFolder_cancelledMidway_leavesThePreviousArchive()
    {
        const QString tree = path("big");
        for (int i = 0; i < 300; ++i)
            writeFile(tree + QStringLiteral("/f%1.bin").arg(i), randomBytes(quint32(i), 60000));
        const QByteArray previous = "the previous archive";
        writeFile(path("big.zip"), previous);

        // The zip counts bytes: three files' worth.
        const ChoreProgress::Snapshot left =
            cancelMidway([&](ChoreProgress &p) { zipFolder(tree, true, p); }, 3 * 60000);

        QVERIFY2(left.done >= 3 * 60000 && left.done < 300 * 60000, qPrintable(QString::number(left.done)));
        QCOMPARE(readFile(path("big.zip")), previous);
        QVERIFY(!QFile::exists(path("big.zip.trovas-part")));
    }

    // A zip killed half-way leaves the previous archive under the archive's name; the next run
    // replaces its temporary archive.
    void zipFolder_killedHalfWay_leavesThePreviousArchive()
    {
        const QString tree = path("big");
        for (int i = 0; i < 300; ++i)
            writeFile(tree + QStringLiteral("/f%1.bin").arg(i), randomBytes(quint32(i), 60000));
        const QByteArray previous = "the previous archive";
        writeFile(path("big.zip"), previous);
        const QString part = path("big.zip.trovas-part");

        const pid_t child = fork();
        if (child == 0) {
            ChoreProgress progress;
            zipFolder(tree, true, progress);
            _exit(0);
        }
        QVERIFY(child > 0);
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(part).size() > 100000, 20000);
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);

        QCOMPARE(readFile(path("big.zip")), previous);
        ChoreProgress progress;
        zipFolder(tree, true, progress);
        QVERIFY(!QFile::exists(part));
        QCOMPARE(validate(path("big.zip")), QString());
    }

    // An error of the writer ends the chore; the previous archive stays and no temporary one.
    void zipFolder_onAFullDisk_keepsThePreviousArchive()
    {
        SmallDisk disk(path("disk"));
        if (!disk.isMounted())
            QSKIP("cannot mount a small file system here");
        // The folder lies elsewhere; only its archive goes beside its link on the small disk,
        // which holds two of the three files.
        for (int i = 0; i < 3; ++i)
            writeFile(path(QStringLiteral("tree/f%1.bin").arg(i)), randomBytes(quint32(i), 400 * 1024));
        QVERIFY(QFile::link(path("tree"), path("disk/tree")));
        const QByteArray previous = "the previous archive";
        writeFile(path("disk/tree.zip"), previous);

        ChoreProgress progress;
        const QString error = errorOf([&] { zipFolders({path("disk/tree")}, true, progress); });

        QVERIFY2(error.endsWith("No space left on device"), qPrintable(error));
        QCOMPARE(readFile(path("disk/tree.zip")), previous);
        QVERIFY(!QFile::exists(path("disk/tree.zip.trovas-part")));
    }

    void backupProject_copiesBelowTheDatedFolder_data()
    {
        QTest::addColumn<QString>("projectFolder");
        QTest::addColumn<QString>("backupFolder");
        QTest::addColumn<bool>("withSubfolders");
        QTest::addColumn<QStringList>("copied");
        const QStringList all{"a.txt", "src/", "src/main.c"};
        QTest::newRow("project folder with separator") << "proj/" << "bak/" << true << all;
        QTest::newRow("project folder without") << "proj" << "bak/" << true << all;
        QTest::newRow("backup folder without separator") << "proj" << "bak" << true << all;
        QTest::newRow("without subfolders") << "proj" << "bak/" << false << QStringList{"a.txt"};
        // The dated folders inside the project are left out: no backup copies an earlier one.
        QTest::newRow("backup folder inside the project") << "proj" << "proj/bak/" << true << all;
        QTest::newRow("inside, without separator") << "proj" << "proj/bak" << true << all;
    }

    void backupProject_copiesBelowTheDatedFolder()
    {
        QFETCH(QString, projectFolder);
        QFETCH(QString, backupFolder);
        QFETCH(bool, withSubfolders);
        QFETCH(QStringList, copied);
        writeFile(path("proj/a.txt"), "a");
        writeFile(path("proj/src/main.c"), "int main() {}");
        writeFile(path("proj/bakery.txt"), "not a backup");
        copied.append("bakery.txt");
        copied.sort();
        const BackupSettings settings{path(projectFolder), path(backupFolder), withSubfolders};

        for (const QString stamp : {"07122024", "08122024"}) {
            ChoreProgress progress;
            backupProject(settings, stamp, progress);
            QCOMPARE(progress.failures(), QList<ChoreFailure>());
            QCOMPARE(itemsBelow(path(backupFolder) + stamp), copied);
        }
        QCOMPARE(readFile(path(backupFolder) + "08122024/a.txt"), "a");
    }

    void backupProject_refusesABackupFolderThatIsNoFullPath_data()
    {
        QTest::addColumn<QString>("backupFolder");
        QTest::addColumn<QString>("message");
        QTest::newRow("empty") << "" << "No backup folder is set, so no backup was made.";
        QTest::newRow("relative") << "bak/" << "The backup folder \"bak/\" is not a full path, so no backup was made.";
    }

    void backupProject_refusesABackupFolderThatIsNoFullPath()
    {
        QFETCH(QString, backupFolder);
        QFETCH(QString, message);
        writeFile(path("proj/a.txt"), "a");
        ChoreProgress progress;
        const QString error = errorOf([&] { backupProject({path("proj"), backupFolder, true}, "stamp", progress); });
        QVERIFY2(error.startsWith(message), qPrintable(error));
        QVERIFY(!QFile::exists(QDir::current().filePath(backupFolder + "stamp")));
    }

    void backupProject_cancelledMidway_leavesNoHalfFile()
    {
        for (int i = 0; i < 2000; ++i)
            writeFile(path(QStringLiteral("proj/f%1.txt").arg(i)), randomBytes(quint32(i), 4000));

        const ChoreProgress::Snapshot left = cancelMidway(
            [&](ChoreProgress &p) { backupProject({path("proj"), path("bak/"), true}, "stamp", p); }, 3);

        QVERIFY2(left.done >= 3 && left.done < 2000, qPrintable(QString::number(left.done)));
        const QStringList copied = itemsBelow(path("bak/stamp"));
        QCOMPARE(copied.size(), left.done);
        for (const QString &name : copied)
            QCOMPARE(readFile(path("bak/stamp/") + name), readFile(path("proj/") + name));
    }

    // Every file that does not fit is named with the reason; none is left half written.
    void backupProject_onAFullDisk_reportsEveryFileThatDidNotFit()
    {
        SmallDisk disk(path("disk"));
        if (!disk.isMounted())
            QSKIP("cannot mount a small file system here");
        for (int i = 0; i < 4; ++i)
            writeFile(path(QStringLiteral("proj/f%1.bin").arg(i)), randomBytes(quint32(i), 400 * 1024));

        ChoreProgress progress;
        backupProject({path("proj"), path("disk/"), true}, "stamp", progress);

        const QList<ChoreFailure> failures = progress.failures();
        QVERIFY(failures.size() >= 2);
        for (const ChoreFailure &failure : failures)
            QCOMPARE(failure.reason, QStringLiteral("No space left on device"));
        const QStringList copied = itemsBelow(path("disk/stamp"));
        QCOMPARE(copied.size() + failures.size(), 4);
        for (const QString &name : copied)
            QCOMPARE(readFile(path("disk/stamp/") + name), readFile(path("proj/") + name));
    }

    void backupDateStamp_isAFolderName_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("stamp");
        QTest::newRow("dots removed") << QLocale(QLocale::German, QLocale::Germany) << "081224";
        QTest::newRow("slashes become dashes") << QLocale(QLocale::English, QLocale::UnitedStates) << "12-8-24";
        QTest::newRow("dashes stay") << QLocale(QLocale::Swedish, QLocale::Sweden) << "2024-12-08";
    }

    void backupDateStamp_isAFolderName()
    {
        QFETCH(QLocale, locale);
        QFETCH(QString, stamp);
        QCOMPARE(backupDateStamp(QDate(2024, 12, 8), locale), stamp);
    }
};

QTEST_GUILESS_MAIN(CopyZipBackupTest)
#include "copy_zip_backup_test.moc"
