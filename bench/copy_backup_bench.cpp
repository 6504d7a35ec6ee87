// "Copy files" and "Backup the project" on a copy of /usr/include (about 10,000 files), several
// rounds in turn, median wall times:
// - Copy files (one folder pair per folder of the tree) and a first backup against
//   "cp -r --preserve=timestamps" of the same tree;
// - a second backup of the unchanged tree (every file a hard link to the first) against
//   "rsync -a --link-dest" doing the same, and the disk space that second backup takes,
//   against the tree's and against the space rsync's second copy takes: as du counts it, and
//   as the file system's used blocks grow (df), which also counts the folders' own blocks.
// The work goes to a folder below TMPDIR, so a file system mounted there is the one measured.
// Usage: copy_backup_bench [source folder] [rounds]

#include "Median.h"
#include "chores/ChoreProgress.h"
#include "housekeeping/BackupProject.h"
#include "housekeeping/CopyEntries.h"
#include "housekeeping/ListFiles.h"
#include "project/Error.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QProcess>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QTextStream>

#include <functional>
#include <vector>

namespace {

QTextStream out(stdout);

QByteArray run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(program, arguments);
    if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        throw Error(program + QStringLiteral(" failed"));
    return process.readAllStandardOutput();
}

// The writing of the step before is flushed first, so that no step pays for another's.
qint64 timed(const std::function<void()> &work)
{
    run(QStringLiteral("sync"), {});
    QElapsedTimer timer;
    timer.start();
    work();
    return timer.elapsed();
}

void removeAll(const QStringList &folders)
{
    for (const QString &folder : folders)
        QDir(folder).removeRecursively();
}

void checkNoFailures(const ChoreProgress &progress)
{
    if (!progress.failures().isEmpty())
        throw Error(progress.failures().first().item + QStringLiteral(": ") + progress.failures().first().reason);
}

// One folder pair per folder of the tree, so that "Copy files" copies all of it.
QList<CopyEntry> folderPairs(const QString &tree, const QString &target)
{
    QList<CopyEntry> pairs{{tree + QLatin1Char('/'), target + QLatin1Char('/')}};
    QDirIterator folders(tree, QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (folders.hasNext()) {
        const QString folder = folders.next();
        pairs.append({folder + QLatin1Char('/'), target + folder.mid(tree.size()) + QLatin1Char('/')});
    }
    return pairs;
}

// The KiB that `second` takes beyond `first`, which du counts first: hard links count once.
qint64 extraKiB(const QString &first, const QString &second)
{
    const QList<QByteArray> lines = run(QStringLiteral("du"), {QStringLiteral("-sk"), first, second}).split('\n');
    return lines.value(1).split('\t').value(0).toLongLong();
}

// The KiB in use on the file system of `path`, once the writing before is flushed.
qint64 usedKiB(const QString &path)
{
    run(QStringLiteral("sync"), {});
    const QStorageInfo storage(path);
    return (storage.bytesTotal() - storage.bytesFree()) / 1024;
}

// Disk space as the share of the tree it is.
QString share(qint64 kib, qint64 treeKiB)
{
    return QString::number(kib) + QStringLiteral(" KiB (") + QString::number(100.0 * double(kib) / double(treeKiB), 'f', 2)
        + QStringLiteral(" %)");
}

QString ratio(qint64 ours, qint64 theirs)
{
    return QString::number(double(ours) / double(theirs), 'f', 3);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString source = args.size() > 1 ? args.at(1) : QStringLiteral("/usr/include");
    const int rounds = args.size() > 2 ? args.at(2).toInt() : 5;
    try {
        QTemporaryDir work;
        const QString tree = work.filePath(QStringLiteral("include"));
        run(QStringLiteral("cp"), {QStringLiteral("-a"), source, tree});
        const qsizetype files = listFiles(tree, true).size();
        const QString cpTarget = work.filePath(QStringLiteral("cp"));
        const QString copyTarget = work.filePath(QStringLiteral("copy"));
        const QString backups = work.filePath(QStringLiteral("bak"));
        const QString rsyncFirst = work.filePath(QStringLiteral("rsync1"));
        const QString rsyncSecond = work.filePath(QStringLiteral("rsync2"));
        const QList<CopyEntry> pairs = folderPairs(tree, copyTarget);
        const BackupSettings settings{QStringLiteral("include"), tree, backups, true};
        const auto backUp = [&](const QString &stamp) {
            ChoreProgress progress;
            backupProject(settings, stamp, progress);
            checkNoFailures(progress);
        };

        std::vector<qint64> cp, copy, backup, second, rsync;
        qint64 secondKiB = 0;
        qint64 rsyncSecondKiB = 0;
        qint64 secondUsedKiB = 0;
        qint64 rsyncSecondUsedKiB = 0;
        for (int round = 0; round < rounds; ++round) {
            removeAll({cpTarget, copyTarget, backups, rsyncFirst, rsyncSecond});
            cp.push_back(timed([&] {
                run(QStringLiteral("cp"), {QStringLiteral("-r"), QStringLiteral("--preserve=timestamps"), tree, cpTarget});
            }));
            copy.push_back(timed([&] {
                ChoreProgress progress;
                copyEntries(pairs, progress);
                checkNoFailures(progress);
            }));
            backup.push_back(timed([&] { backUp(QStringLiteral("day1")); }));
            const qint64 usedBeforeSecond = usedKiB(work.path());
            second.push_back(timed([&] { backUp(QStringLiteral("day2")); }));
            secondUsedKiB = usedKiB(work.path()) - usedBeforeSecond;
            secondKiB = extraKiB(backups + QStringLiteral("/day1"), backups + QStringLiteral("/day2"));
            run(QStringLiteral("rsync"), {QStringLiteral("-a"), tree + QLatin1Char('/'), rsyncFirst + QLatin1Char('/')});
            const qint64 usedBeforeRsync = usedKiB(work.path());
            rsync.push_back(timed([&] {
                run(QStringLiteral("rsync"), {QStringLiteral("-a"), QStringLiteral("--link-dest=") + rsyncFirst,
                                              tree + QLatin1Char('/'), rsyncSecond + QLatin1Char('/')});
            }));
            rsyncSecondUsedKiB = usedKiB(work.path()) - usedBeforeRsync;
            rsyncSecondKiB = extraKiB(rsyncFirst, rsyncSecond);
            out << "round " << round + 1 << ": cp " << cp.back() << " ms, copy files " << copy.back()
                << " ms, backup " << backup.back() << " ms, second backup " << second.back()
                << " ms, rsync --link-dest " << rsync.back() << " ms\n";
            out.flush();
        }
        const qint64 treeKiB = run(QStringLiteral("du"), {QStringLiteral("-sk"), tree}).split('\t').value(0).toLongLong();
        out << "tree: " << source << " (copied, " << files << " files, " << treeKiB << " KiB), " << rounds
            << " rounds, median wall time\n"
            << "cp -r --preserve=timestamps: " << median(cp) << " ms\n"
            << "Copy files:                  " << median(copy) << " ms (" << ratio(median(copy), median(cp))
            << " x cp)\n"
            << "Backup the project:          " << median(backup) << " ms (" << ratio(median(backup), median(cp))
            << " x cp)\n"
            << "rsync -a --link-dest:        " << median(rsync) << " ms\n"
            << "second, unchanged backup:    " << median(second) << " ms (" << ratio(median(second), median(rsync))
            << " x rsync --link-dest)\n"
            << "new on disk, last round:     second backup " << share(secondKiB, treeKiB) << " by du, "
            << share(secondUsedKiB, treeKiB) << " by df; rsync --link-dest " << share(rsyncSecondKiB, treeKiB)
            << " by du, " << share(rsyncSecondUsedKiB, treeKiB) << " by df\n";
    } catch (const Error &error) {
        out << error.message() << "\n";
        return 1;
    }
    return 0;
}
