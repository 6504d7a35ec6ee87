// Times the temporary-file scan (listing the folder tree and matching extensions) against
// `find DIR -type f -name '*.tmp'` on the same tree of 100,000 files in 5,000 folders.
// Usage: list_files_bench [runs]

#include "FileTree.h"
#include "Median.h"
#include "housekeeping/ListFiles.h"
#include "housekeeping/TempFiles.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

qsizetype scan(const QString &root)
{
    const QStringList extensions{QStringLiteral(".tmp")};
    qsizetype found = 0;
    for (const QString &path : listFiles(root, true))
        found += TempFiles::isTemporary(path, extensions);
    return found;
}

qsizetype runFind(const QString &root)
{
    QProcess find;
    find.start(QStringLiteral("find"), {root, QStringLiteral("-type"), QStringLiteral("f"), QStringLiteral("-name"),
                                        QStringLiteral("*.tmp")});
    if (!find.waitForFinished(-1) || find.exitCode() != 0)
        qFatal("find failed");
    return find.readAllStandardOutput().count('\n');
}

double milliseconds(const std::function<void()> &work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}


} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 15;
    QTemporaryDir dir;
    const QString root = dir.path();
    std::printf("building the tree in %s ...\n", qPrintable(root));
    FileTree::build(root);

    qsizetype ours = scan(root); // warms the cache for both
    const qsizetype theirs = runFind(root);
    if (ours != theirs)
        qFatal("scan found %lld files, find %lld", static_cast<long long>(ours), static_cast<long long>(theirs));

    std::vector<double> scanTimes, findTimes;
    for (int run = 0; run < runs; ++run) {
        scanTimes.push_back(milliseconds([&] { ours = scan(root); }));
        findTimes.push_back(milliseconds([&] { runFind(root); }));
    }
    const double scanMedian = median(scanTimes);
    const double findMedian = median(findTimes);
    std::printf("%lld temporary files, %d runs each (medians)\n", static_cast<long long>(ours), runs);
    std::printf("listFiles + match: %8.1f ms\n", scanMedian);
    std::printf("find             : %8.1f ms\n", findMedian);
    std::printf("ratio            : %8.2f\n", scanMedian / findMedian);
    return 0;
}
