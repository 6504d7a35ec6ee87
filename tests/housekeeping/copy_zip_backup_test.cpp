#include "zip/ZipArchiveChecks.h"

#include "chores/ChoreProgress.h"
#include "housekeeping/BackupFolders.h"
#include "housekeeping/BackupProject.h"
#include "chores/ChoreRunner.h"
#include "chores/ChoreEndMessage.h"
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

#include <sys/stat.h>
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
// progress as it was left, and its notes in `notes`.
ChoreProgress::Snapshot cancelMidway(const std::function<void(ChoreProgress &)> &work, qint64 after,
                                     QStringList *notes = nullptr)
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
    if (notes)
        *notes = progress.notes();
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
    return itemsBelow(folder).filter(QRegularExpression(QStringLiteral("\\.trovas-[0-9a-f]{16}\\.part$")));
}

// The file's inode and its number of names.
std::pair<ino_t, nlink_t> inodeOf(const QString &path)
{
    struct stat info;
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return {0, 0};
    return {info.st_ino, info.st_nlink};
}

// The size of a file that this process has open for writing below `folder`, found through its
// open files, since a copy being written may have no name yet; -1 when there is none.
qint64 sizeOfFileBeingWrittenBelow(const QString &folder)
{
    const QByteArray prefix = QFile::encodeName(QFileInfo(folder).canonicalFilePath() + QLatin1Char('/'));
    const QDir descriptors(QStringLiteral("/proc/self/fd"));
    for (const QString &descriptor : descriptors.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
        const QByteArray link = QFile::encodeName(descriptors.filePath(descriptor));
        char opened[4096];
        const ssize_t length = ::readlink(link.constData(), opened, sizeof opened);
        struct stat info;
        if (length > 0 && QByteArrayView(opened, length).startsWith(prefix) && ::stat(link.constData(), &info) == 0
            && S_ISREG(info.st_mode))
            return info.st_size;
    }
    return -1;
}

// The subfolders of a folder, sorted.
QStringList foldersIn(const QString &folder)
{
    QStringList names = QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    names.sort();
    return names;
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
        QCOMPARE(progress.failures(),
                 (QList<ChoreFailure>{{path("src/missing.txt"), QStringLiteral("source does not exist")}}));
        QCOMPARE(progress.snapshot().done, 3);
        QCOMPARE(progress.snapshot().total, 3);
        QCOMPARE(partFilesBelow(path("out")), QStringList());
    }

    void copyEntries_refusesARelativeTargetBeforeCopyingAnything()
    {
        const QString file = writeFile(path("src/a.txt"), "a");
        ChoreProgress progress;
        const QString error = errorOf([&] { copyEntries({{file, path("first/a.txt")}, {file, "out/a.txt"}}, progress); });
        QVERIFY2(error.startsWith("The copy target on line 2 \"out/a.txt\" is not a full path"), qPrintable(error));
        QVERIFY2(error.endsWith("Nothing was copied."), qPrintable(error));
        QVERIFY(!QFile::exists(path("first/a.txt")));
    }

    // A target folder that cannot be created is reported once, its files are passed over, and the
    // pairs after it are copied; the dry run's check names the same folder.
    void copyEntries_goesOnPastAFolderThatCannotBeCreated()
    {
        writeFile(path("plain"), "a file where a folder would go");
        const QString file = writeFile(path("src/a.txt"), "a");
        const QList<CopyEntry> copies{{file, path("plain/sub/a.txt")}, {path("src/"), path("plain/sub/")},
                                      {file, path("last/a.txt")}};
        const QList<ChoreFailure> expected{{path("plain/sub/"), "cannot be created: Not a directory"}};

        ChoreProgress planning;
        reportBlockedTargets(planCopies(copies, planning), planning);
        QCOMPARE(planning.failures(), expected);

        ChoreProgress progress;
        copyEntries(copies, progress);
        QCOMPARE(progress.failures(), expected);
        QCOMPARE(readFile(path("last/a.txt")), "a");
        QCOMPARE(progress.snapshot().done, 3);
    }

    // A new copy is written into a file without a name where the system has one, else under a
    // temporary name, as on systems without them; both are tried wherever it matters.
    static void stagings()
    {
        QTest::addColumn<bool>("unnamed");
        QTest::newRow("into an unnamed file") << true;
        QTest::newRow("under a temporary name") << false;
    }
    static FileCopier::Staging staging(bool unnamed)
    {
        return unnamed ? FileCopier::Staging::UnnamedWherePossible : FileCopier::Staging::TemporaryName;
    }

    void fileCopier_cancelledDuringALargeFile_stopsWithinIt_data() { stagings(); }

    // The source is far larger than what is copied before the cancel takes effect: the
    // copy stops between two pieces, and neither the target nor its half copy is left.
    void fileCopier_cancelledDuringALargeFile_stopsWithinIt()
    {
        QFETCH(bool, unnamed);
        const QString source = path("src/huge.bin");
        QVERIFY(writeAllocatedFile(source, qint64(1) << 30));
        const QString target = path("dst/huge.bin");
        QDir().mkpath(path("dst"));
        ChoreProgress progress;
        std::atomic<bool> cancelled = false;
        std::thread worker([&] {
            try {
                FileCopier(progress, staging(unnamed)).copy(source, target);
            } catch (const ChoreCancelled &) {
                cancelled = true;
            }
        });
        QTRY_VERIFY_WITH_TIMEOUT(sizeOfFileBeingWrittenBelow(path("dst")) >= 4 * 1024 * 1024, 20000);
        progress.cancel();
        worker.join();
        QVERIFY(cancelled);
        QCOMPARE(itemsBelow(path("dst")), QStringList());
    }

    void fileCopier_replacesATargetThatIsAHardLinkWithoutWritingIntoIt_data() { stagings(); }

    // The target and a stale part left beside it are both second names of files kept elsewhere
    // (as in a backup): the copy takes the target's name in one step and neither file changes.
    void fileCopier_replacesATargetThatIsAHardLinkWithoutWritingIntoIt()
    {
        QFETCH(bool, unnamed);
        const QString source = writeFile(path("src/a.txt"), "fresh");
        setModified(source, oldTime);
        const QString target = path("dst/a.txt");
        const QString part = temporaryNameFor(target);
        QDir().mkpath(path("dst"));
        const auto secondName = [](const QString &existing, const QString &name) {
            return ::link(QFile::encodeName(existing).constData(), QFile::encodeName(name).constData()) == 0;
        };
        QVERIFY(secondName(writeFile(path("kept/a.txt"), "kept"), target));
        QVERIFY(secondName(writeFile(path("kept/part"), "kept part"), part));

        ChoreProgress progress;
        QVERIFY(FileCopier(progress, staging(unnamed)).copy(source, target));
        QCOMPARE(progress.failures(), QList<ChoreFailure>());
        QCOMPARE(readFile(target), "fresh");
        QCOMPARE(QFileInfo(target).lastModified(), oldTime);
        QCOMPARE(inodeOf(target).second, nlink_t(1));
        QCOMPARE(readFile(path("kept/a.txt")), "kept");
        QCOMPARE(readFile(path("kept/part")), "kept part");
        QCOMPARE(itemsBelow(path("dst")), QStringList{"a.txt"});
    }

    void fileCopier_cancelledWithinAFile_leavesNoPartBehind_data()
    {
        QTest::addColumn<bool>("intoUnfinished");
        QTest::addColumn<bool>("unnamed");
        QTest::newRow("through an unnamed file") << false << true;
        QTest::newRow("through a temporary name") << false << false;
        QTest::newRow("under the target's name") << true << false;
    }

    // A cancel between two pieces of a large file leaves neither the target nor its half copy.
    void fileCopier_cancelledWithinAFile_leavesNoPartBehind()
    {
        QFETCH(bool, intoUnfinished);
        QFETCH(bool, unnamed);
        const QString source = writeFile(path("src/big.bin"), randomBytes(7, 3 * 1024 * 1024));
        const QString target = path("dst/big.bin");
        QDir().mkpath(path("dst"));
        ChoreProgress progress;
        progress.cancel();
        FileCopier copier(progress, staging(unnamed));
        QVERIFY_THROWS_EXCEPTION(ChoreCancelled, intoUnfinished ? copier.copyIntoUnfinished(source, target)
                                                                : copier.copy(source, target));
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
    }

    // How every chore's end reads in the window and on the command line.
    void choreEnd_saysWhatWasNotDone_data()
    {
        QTest::addColumn<bool>("cancelled");
        QTest::addColumn<QList<ChoreFailure>>("failures");
        QTest::addColumn<QStringList>("problems");
        QTest::addColumn<QStringList>("notes");
        QTest::addColumn<QString>("headline");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("warning");
        const QList<ChoreFailure> none;
        const QList<ChoreFailure> one{{"/x", "Is a directory"}};
        QTest::newRow("all went well") << false << none << QStringList() << QStringList() << "" << "Finished" << false;
        QTest::newRow("with a note") << false << none << QStringList() << QStringList{"Links were not possible."} << ""
                                     << "Finished\n\nLinks were not possible." << false;
        QTest::newRow("a file failed") << false << one << QStringList() << QStringList() << ""
                                       << "Finished, but 1 file could not be copied:\n\n/x: Is a directory" << true;
        QTest::newRow("a step not done") << false << none << QStringList{"Stopped.", "Not zipped."} << QStringList()
                                         << "" << "Stopped.\n\nNot zipped." << true;
        QTest::newRow("cancelled") << true << one << QStringList() << QStringList{"3 of 9 files were copied."} << ""
                                   << "Cancelled\n\nBefore that, 1 file could not be copied:\n\n/x: Is a directory"
                                      "\n\n3 of 9 files were copied."
                                   << true;
        QTest::newRow("a headline of the chore's own")
            << false << one << QStringList() << QStringList() << failedOfHeadline(1, 4, "uploads")
            << "Finished, but 1 of 4 uploads failed:\n\n/x: Is a directory" << true;
    }

    void choreEnd_saysWhatWasNotDone()
    {
        QFETCH(bool, cancelled);
        QFETCH(QList<ChoreFailure>, failures);
        QFETCH(QStringList, problems);
        QFETCH(QStringList, notes);
        QFETCH(QString, headline);
        QFETCH(QString, text);
        QFETCH(bool, warning);
        ChoreReport report;
        report.cancelled = cancelled;
        report.failures = failures;
        report.problems = problems;
        report.notes = notes;
        const ChoreEnd end = choreEnd(report, {"copied", headline});
        QCOMPARE(end.text, text);
        QCOMPARE(end.warning, warning);
    }

    void choreEnd_countsFilesAndFoldersAndListsTheFirst()
    {
        ChoreReport report;
        report.failures = {{"/p/locked/", "Permission denied"}};
        for (int i = 0; i < 11; ++i)
            report.failures.append({QStringLiteral("/p/f%1").arg(i), "No space left on device"});
        const QStringList lines = choreEnd(report, {"backed up"}).text.split('\n');
        QCOMPARE(lines.first(), "Finished, but 11 files and 1 folder could not be backed up:");
        QCOMPARE(lines.at(2), "/p/locked/: Permission denied");
        QCOMPARE(lines.at(11), "/p/f8: No space left on device");
        QCOMPARE(lines.last(), "... and 2 more.");
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
        writeFile(temporaryNameFor(archive), "left by a crash");

        ChoreProgress progress;
        zipFolder(path(folder), withFolderNames, progress);

        QCOMPARE(zipArchiveName(path(folder)), archive);
        QVERIFY(!QFile::exists(temporaryNameFor(archive)));
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

    // One file that cannot be read keeps its folder's earlier archive; the folders after it are
    // zipped all the same, and the end report names the folder that was not, and why.
    void zipFolders_anUnreadableFile_leavesTheOtherFoldersZipped()
    {
        writeFile(path("a/secret.txt"), "s");
        writeFile(path("b/b.txt"), "b");
        writeFile(path("a.zip"), "the previous archive");
        QVERIFY(QFile::setPermissions(path("a/secret.txt"), QFileDevice::Permissions()));
        {
            const WithoutPrivileges unprivileged;
            if (QFile(path("a/secret.txt")).open(QIODevice::ReadOnly))
                QSKIP("permissions do not keep this user from reading a file");
        }

        ChoreProgress progress;
        {
            const WithoutPrivileges unprivileged;
            zipFolders({path("a/"), path("b/")}, true, progress);
        }

        QCOMPARE(readFile(path("a.zip")), "the previous archive");
        QList<ArchiveEntry> entries;
        QCOMPARE(parse(readFile(path("b.zip")), entries), QString());
        QCOMPARE(entries.size(), 1);
        QCOMPARE(entries.first().name, "b.txt");
        QCOMPARE(progress.problems().size(), 1);
        const QString problem = progress.problems().first();
        QVERIFY2(problem.startsWith("The folder \"" + path("a/") + "\" was not zipped (its earlier archive is left as it was): "),
                 qPrintable(problem));
        QVERIFY2(problem.contains("Permission denied"), qPrintable(problem));
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
        QVERIFY(!QFile::exists(temporaryNameFor(path("big.zip"))));
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
        const QString part = temporaryNameFor(path("big.zip"));

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

    // An error of the writer ends the folder's archive, and the end report says so; the previous
    // archive stays and no temporary one.
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
        zipFolders({path("disk/tree")}, true, progress);

        QCOMPARE(progress.problems().size(), 1);
        const QString problem = progress.problems().first();
        QVERIFY2(problem.startsWith("The folder \"" + path("disk/tree") + "\" was not zipped"), qPrintable(problem));
        QVERIFY2(problem.endsWith("No space left on device"), qPrintable(problem));
        QCOMPARE(readFile(path("disk/tree.zip")), previous);
        QVERIFY(!QFile::exists(temporaryNameFor(path("disk/tree.zip"))));
    }

    void backupProject_copiesBelowTheDatedFolder_data()
    {
        QTest::addColumn<QString>("projectFolder");
        QTest::addColumn<QString>("backupFolder");
        QTest::addColumn<bool>("withSubfolders");
        QTest::addColumn<QStringList>("copied");
        const QStringList all{".trovas-backup", "a.txt", "src/", "src/main.c"};
        QTest::newRow("project folder with separator") << "proj/" << "bak/" << true << all;
        QTest::newRow("project folder without") << "proj" << "bak/" << true << all;
        QTest::newRow("backup folder without separator") << "proj" << "bak" << true << all;
        QTest::newRow("without subfolders") << "proj" << "bak/" << false << QStringList{".trovas-backup", "a.txt"};
        // The dated folder goes inside the backup folder, also when it is given without a
        // separator; those inside the project are left out: no backup copies an earlier one.
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
        const BackupSettings settings{"Demo", path(projectFolder), path(backupFolder), withSubfolders};

        const QString dated = path(backupFolder).endsWith('/') ? path(backupFolder) : path(backupFolder) + '/';
        for (const QString stamp : {"07122024", "08122024"}) {
            ChoreProgress progress;
            backupProject(settings, stamp, progress);
            QCOMPARE(progress.failures(), QList<ChoreFailure>());
            QCOMPARE(itemsBelow(dated + stamp), copied);
        }
        QCOMPARE(readFile(dated + "08122024/a.txt"), "a");
    }

    void backupProject_refusesABackupFolderThatIsNoFullPath_data()
    {
        QTest::addColumn<QString>("backupFolder");
        QTest::addColumn<QString>("message");
        QTest::newRow("empty") << "" << "No backup folder is set, so no backup was made.";
        QTest::newRow("relative") << "bak/" << "The backup folder \"bak/\" is not a full path";
        // An empty backup of a folder that is gone would count as finished.
        QTest::newRow("project folder gone") << "<dir>/bak/" << "The project folder \"<dir>/gone\" does not exist";
    }

    void backupProject_refusesABackupFolderThatIsNoFullPath()
    {
        QFETCH(QString, backupFolder);
        QFETCH(QString, message);
        backupFolder.replace("<dir>", m_dir->path());
        message.replace("<dir>", m_dir->path());
        writeFile(path("proj/a.txt"), "a");
        const QString project = path(backupFolder.isEmpty() || !QDir::isAbsolutePath(backupFolder) ? "proj" : "gone");
        ChoreProgress progress;
        const QString error = errorOf([&] { backupProject({"Demo", project, backupFolder, true}, "stamp", progress); });
        QVERIFY2(error.startsWith(message), qPrintable(error));
        QVERIFY(!QFile::exists(QDir::current().filePath(backupFolder + "stamp")));
        QVERIFY(!QFile::exists(path("bak")));
    }

    // Says how many files are in and that the folder is no finished backup, and leaves it
    // unmarked, so no later backup links to it or counts it.
    void backupProject_cancelledMidway_leavesAnUnmarkedFolderWithoutHalfFiles()
    {
        for (int i = 0; i < 2000; ++i)
            writeFile(path(QStringLiteral("proj/f%1.txt").arg(i)), randomBytes(quint32(i), 4000));

        QStringList notes;
        const ChoreProgress::Snapshot left = cancelMidway(
            [&](ChoreProgress &p) { backupProject({"Demo", path("proj"), path("bak/"), true}, "stamp", p); }, 3, &notes);

        QVERIFY2(left.done >= 3 && left.done < 2000, qPrintable(QString::number(left.done)));
        const QStringList copied = itemsBelow(path("bak/stamp"));
        QCOMPARE(copied.size(), left.done);
        QCOMPARE(notes, QStringList{QStringLiteral("%1 of 2000 files were backed up. The folder \"%2\" is incomplete: "
                                                   "it does not count as a finished backup.")
                                        .arg(left.done)
                                        .arg(path("bak/stamp"))});
        QCOMPARE(BackupFolders::finishedIn(path("bak")), QList<BackupFolders::Finished>());
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
        backupProject({"Demo", path("proj"), path("disk/"), true}, "stamp", progress);

        const QList<ChoreFailure> failures = progress.failures();
        QVERIFY(failures.size() >= 2);
        for (const ChoreFailure &failure : failures)
            QCOMPARE(failure.reason, QStringLiteral("No space left on device"));
        const QStringList copied = itemsBelow(path("disk/stamp"));
        QCOMPARE(copied.size() + failures.size(), 4);
        QVERIFY(!copied.contains(".trovas-backup"));
        QCOMPARE(progress.notes().size(), 1);
        for (const QString &name : copied)
            QCOMPARE(readFile(path("disk/stamp/") + name), readFile(path("proj/") + name));
    }

    // A second backup of an unchanged project links every file to the first; a changed file is
    // copied and the earlier backup keeps its bytes; a second run the same day replaces only
    // what changed since.
    void backupProject_linksUnchangedFilesToTheNewestFinishedBackup()
    {
        const QStringList files{"a.txt", "src/main.c", "changed.txt"};
        for (const QString &file : files)
            writeFile(path("proj/") + file, file.toUtf8());
        const BackupSettings settings{"Demo", path("proj"), path("bak"), true};
        const auto backUp = [&](const QString &stamp) {
            ChoreProgress progress;
            backupProject(settings, stamp, progress);
            QCOMPARE(progress.failures(), QList<ChoreFailure>());
            QCOMPARE(progress.notes(), QStringList());
        };
        backUp("day1");
        backUp("day2");
        for (const QString &file : files) {
            QCOMPARE(inodeOf(path("bak/day2/") + file), inodeOf(path("bak/day1/") + file));
            QCOMPARE(inodeOf(path("bak/day2/") + file).second, nlink_t(2));
        }

        writeFile(path("proj/changed.txt"), "changed, and longer");
        backUp("day3");
        QCOMPARE(readFile(path("bak/day3/changed.txt")), "changed, and longer");
        QCOMPARE(readFile(path("bak/day2/changed.txt")), "changed.txt");
        QCOMPARE(inodeOf(path("bak/day3/a.txt")).second, nlink_t(3));

        const auto unchanged = inodeOf(path("bak/day3/a.txt"));
        writeFile(path("proj/changed.txt"), "changed again the same day");
        backUp("day3");
        QCOMPARE(inodeOf(path("bak/day3/a.txt")), unchanged);
        QCOMPARE(readFile(path("bak/day3/changed.txt")), "changed again the same day");
        QCOMPARE(readFile(path("bak/day2/changed.txt")), "changed.txt");
        QCOMPARE(partFilesBelow(path("bak")), QStringList());
    }

    // The new dated folder lies on another file system than the earlier backup: the files are
    // copied, and that is said once.
    void backupProject_copiesWhereLinksAreNotPossible()
    {
        for (int i = 0; i < 3; ++i)
            writeFile(path(QStringLiteral("proj/f%1.txt").arg(i)), "unchanged");
        const BackupSettings settings{"Demo", path("proj"), path("bak"), true};
        ChoreProgress first;
        backupProject(settings, "day1", first);

        SmallDisk disk(path("bak/day2"));
        QTemporaryDir shared(QStringLiteral("/dev/shm/trovas-test-XXXXXX"));
        if (!disk.isMounted()) {
            QDir().rmdir(path("bak/day2"));
            if (!shared.isValid() || !QFile::link(shared.path(), path("bak/day2")))
                QSKIP("neither a tmpfs can be mounted here nor /dev/shm be used");
        }
        ChoreProgress progress;
        backupProject(settings, "day2", progress);

        QCOMPARE(progress.failures(), QList<ChoreFailure>());
        QCOMPARE(progress.notes(), QStringList{"Hard links to the earlier backup were not possible here "
                                               "(Invalid cross-device link), so unchanged files were copied."});
        for (int i = 0; i < 3; ++i)
            QCOMPARE(readFile(path(QStringLiteral("bak/day2/f%1.txt").arg(i))), "unchanged");
        QCOMPARE(inodeOf(path("bak/day1/f0.txt")).second, nlink_t(1));
    }

    // Of five folders, one without a marker, a backup that keeps three removes exactly the two
    // oldest marked ones; the unmarked folder and loose files stay. A failed backup removes nothing.
    void backupProject_removesTheOldestMarkedBackupsBeyondTheNumberToKeep()
    {
        writeFile(path("proj/a.txt"), "a");
        const QDateTime start(QDate(2026, 1, 1), QTime(12, 0), Qt::UTC);
        for (const auto &[name, day] : {std::pair{"newer", 4}, {"oldest", 1}, {"third", 3}, {"second", 2}}) {
            writeFile(path("bak/") + name + "/a.txt", "a");
            BackupFolders::markFinished(path("bak/") + name, "Demo", start.addDays(day));
        }
        writeFile(path("bak/not ours/a.txt"), "a");
        writeFile(path("bak/loose.txt"), "a");
        writeFile(path("bak/blocked"), "a file where the dated folder would go");
        const BackupSettings settings{"Demo", path("proj"), path("bak/"), true, 3};

        ChoreProgress failed;
        backupProject(settings, "blocked", failed);
        QCOMPARE(failed.failures().size(), 1);
        QCOMPARE(foldersIn(path("bak")), (QStringList{"newer", "not ours", "oldest", "second", "third"}));

        QCOMPARE(backupsToRemove(settings, "today"), (QStringList{path("bak/second"), path("bak/oldest")}));
        ChoreProgress progress;
        backupProject(settings, "today", progress);
        QCOMPARE(progress.failures(), QList<ChoreFailure>());
        QCOMPARE(foldersIn(path("bak")), (QStringList{"newer", "not ours", "third", "today"}));
        QVERIFY(QFile::exists(path("bak/loose.txt")));
        QCOMPARE(progress.notes().size(), 2);
        QCOMPARE(BackupFolders::finishedIn(path("bak")).first().folder, path("bak/today"));
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
