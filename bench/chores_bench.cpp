// The Functions chores on a copy of /usr/include (about 10,000 files), several rounds in turn:
// - "Backup the project" and "Copy files" (one folder pair per folder of the tree) against
//   "cp -r --preserve=timestamps" and "rsync -a" on the same tree, median wall times;
// - "Zip folders" through the chore against Info-ZIP's "zip -r -9 -q";
// - the longest gap between two ticks of a 10 ms timer on the thread that runs the chore
//   runner while a backup runs on its worker.
// Usage: chores_bench [source folder] [rounds]

#include "Median.h"
#include "chores/ChoreRunner.h"
#include "housekeeping/BackupProject.h"
#include "housekeeping/CopyEntries.h"
#include "housekeeping/ListFiles.h"
#include "housekeeping/ZipFolder.h"
#include "project/Error.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <functional>
#include <vector>

namespace {

QTextStream out(stdout);

void run(const QString &program, const QStringList &arguments, const QString &folder = {})
{
    QProcess process;
    process.setWorkingDirectory(folder);
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        throw Error(program + QStringLiteral(" failed"));
}

// Wall time of `work` in ms, after `target` is removed.
qint64 timed(const QString &target, const std::function<void()> &work)
{
    QDir(target).removeRecursively();
    QFile::remove(target);
    QElapsedTimer timer;
    timer.start();
    work();
    return timer.elapsed();
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

// The longest gap between two ticks of a 10 ms timer while the work runs through the runner.
qint64 longestTimerGap(const ChoreRunner::Work &work)
{
    ChoreRunner runner;
    QTimer ticker;
    ticker.setInterval(10);
    QElapsedTimer sinceTick;
    qint64 longest = 0;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        longest = std::max(longest, sinceTick.restart());
    });
    sinceTick.start();
    ticker.start();
    const ChoreReport report = runner.run(QStringLiteral("Backing up"), work);
    report.rethrowError();
    return longest;
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
    const int rounds = args.size() > 2 ? args.at(2).toInt() : 3;
    try {
        QTemporaryDir work;
        const QString tree = work.filePath(QStringLiteral("include"));
        run(QStringLiteral("cp"), {QStringLiteral("-a"), source, tree});
        const qsizetype files = listFiles(tree, true).size();
        const QString target = work.filePath(QStringLiteral("target"));
        const QList<CopyEntry> pairs = folderPairs(tree, target);

        std::vector<qint64> cp, rsync, backup, copy, zip, infoZip, gaps;
        for (int round = 0; round < rounds; ++round) {
            cp.push_back(timed(target, [&] {
                run(QStringLiteral("cp"), {QStringLiteral("-r"), QStringLiteral("--preserve=timestamps"), tree, target});
            }));
            rsync.push_back(timed(target, [&] {
                run(QStringLiteral("rsync"), {QStringLiteral("-a"), tree + QLatin1Char('/'), target + QLatin1Char('/')});
            }));
            backup.push_back(timed(target, [&] {
                ChoreProgress progress;
                backupProject({QStringLiteral("include"), tree, target, true}, QStringLiteral("stamp"), progress);
                checkNoFailures(progress);
            }));
            copy.push_back(timed(target, [&] {
                ChoreProgress progress;
                copyEntries(pairs, progress);
                checkNoFailures(progress);
            }));
            zip.push_back(timed(tree + QStringLiteral(".zip"), [&] {
                ChoreProgress progress;
                zipFolders({tree}, true, progress);
                checkNoFailures(progress);
            }));
            infoZip.push_back(timed(work.filePath(QStringLiteral("infozip.zip")), [&] {
                run(QStringLiteral("zip"), {QStringLiteral("-r"), QStringLiteral("-9"), QStringLiteral("-q"),
                                            work.filePath(QStringLiteral("infozip.zip")), QStringLiteral(".")},
                    tree);
            }));
            QDir(target).removeRecursively();
            gaps.push_back(longestTimerGap([&](ChoreProgress &progress) {
                backupProject({QStringLiteral("include"), tree, target, true}, QStringLiteral("stamp"), progress);
            }));
            out << "round " << round + 1 << ": cp " << cp.back() << " ms, rsync " << rsync.back() << " ms, backup "
                << backup.back() << " ms, copy files " << copy.back() << " ms, zip folders " << zip.back()
                << " ms, zip -r -9 " << infoZip.back() << " ms, longest timer gap " << gaps.back() << " ms\n";
            out.flush();
        }
        run(QStringLiteral("unzip"), {QStringLiteral("-tqq"), tree + QStringLiteral(".zip")});
        out << "tree: " << source << " (copied, " << files << " files), " << rounds << " rounds, median wall time\n"
            << "cp -r --preserve=timestamps: " << median(cp) << " ms\n"
            << "rsync -a:                    " << median(rsync) << " ms\n"
            << "Backup the project:          " << median(backup) << " ms (" << ratio(median(backup), median(cp))
            << " x cp)\n"
            << "Copy files:                  " << median(copy) << " ms (" << ratio(median(copy), median(cp))
            << " x cp)\n"
            << "Zip folders:                 " << median(zip) << " ms (" << ratio(median(zip), median(infoZip))
            << " x zip -r -9, " << median(infoZip) << " ms)\n"
            << "longest gap of a 10 ms timer during a backup: " << median(gaps) << " ms (worst "
            << *std::max_element(gaps.begin(), gaps.end()) << " ms)\n";
    } catch (const Error &error) {
        out << error.message() << "\n";
        return 1;
    }
    return 0;
}
