// Zips a copy of /usr/include with ZipArchiveWriter and with Info-ZIP's "zip -r -9 -q" on the
// same tree, several rounds in turn, and reports each round, the median wall times, the CPU
// times, the archive sizes and the ratio of the times. The writer compresses on all cores and
// zip on one, so the ratio depends on how busy the other cores are; the CPU times show that.
// With --large-file, the tree is one file of mixed content instead (pieces of the system's
// libraries, headers and documentation, in turn), of the size given in MiB (1024 by default).
// Usage: zip_writer_bench [source folder | --large-file [MiB]] [rounds]

#include "Median.h"
#include "project/Error.h"
#include "zip/ZipArchiveWriter.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <memory>
#include <vector>

#include <sys/resource.h>

namespace {

QTextStream out(stdout);

bool run(const QString &program, const QStringList &arguments, const QString &folder = {})
{
    QProcess process;
    process.setWorkingDirectory(folder);
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start(program, arguments);
    return process.waitForFinished(-1) && process.exitStatus() == QProcess::NormalExit
        && process.exitCode() == 0;
}

// CPU time (user and system) of this process and of its finished children, in ms.
qint64 cpuTime(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000
        + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000;
}

// A file of `size` bytes of what a release may hold: the files of the system's libraries,
// headers and documentation, taken in turn from each, so binary and text alternate.
void makeMixedFile(const QString &path, qint64 size)
{
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        throw Error(QStringLiteral("cannot create ") + path);
    QList<std::shared_ptr<QDirIterator>> sources;
    for (const char *folder : {"/usr/lib/x86_64-linux-gnu", "/usr/include", "/usr/share/doc"})
        sources.append(std::make_shared<QDirIterator>(QString::fromLatin1(folder), QDir::Files, QDirIterator::Subdirectories));
    for (qsizetype turn = 0; out.size() < size; ++turn) {
        QDirIterator &source = *sources.at(turn % sources.size());
        if (!source.hasNext())
            throw Error(QStringLiteral("not enough files for the mixed file"));
        QFile file(source.next());
        if (file.open(QIODevice::ReadOnly))
            out.write(file.read(size - out.size()));
    }
}

qint64 zipWithWriter(const QString &folder, const QString &archive)
{
    QElapsedTimer timer;
    timer.start();
    const QString text = folder + QDir::separator();
    ZipArchiveWriter::createArchive(archive);
    ZipArchiveWriter writer;
    writer.setFileName(archive);
    writer.openArchive();
    writer.addFolder(text, text, QStringLiteral("*"), true);
    writer.closeArchive();
    return timer.elapsed();
}

qint64 zipWithInfoZip(const QString &folder, const QString &archive)
{
    QFile::remove(archive);
    QElapsedTimer timer;
    timer.start();
    // Run inside the folder so that the entry names are the same as the writer's.
    const QStringList arguments{QStringLiteral("-r"), QStringLiteral("-9"), QStringLiteral("-q"), archive,
                                QStringLiteral(".")};
    if (!run(QStringLiteral("zip"), arguments, folder))
        throw Error(QStringLiteral("zip failed"));
    return timer.elapsed();
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const bool largeFile = args.value(1) == QLatin1String("--large-file");
    const qint64 mib = largeFile && args.size() > 2 ? args.at(2).toLongLong() : 1024;
    const QString source = largeFile ? QStringLiteral("one mixed file of %1 MiB").arg(mib)
                                     : args.value(1, QStringLiteral("/usr/include"));
    const int rounds = args.value(largeFile ? 3 : 2, QStringLiteral("3")).toInt();
    try {
        QTemporaryDir work;
        const QString tree = work.filePath(QStringLiteral("include"));
        if (largeFile) {
            QDir().mkpath(tree);
            makeMixedFile(tree + QStringLiteral("/mixed.bin"), mib << 20);
        } else if (!run(QStringLiteral("cp"), {QStringLiteral("-a"), source, tree})) {
            throw Error(QStringLiteral("cannot copy ") + source);
        }
        const QString ours = work.filePath(QStringLiteral("writer.zip"));
        const QString theirs = work.filePath(QStringLiteral("infozip.zip"));
        std::vector<qint64> ourTimes;
        std::vector<qint64> theirTimes;
        zipWithWriter(tree, ours); // warm the page cache for both
        const qint64 ourCpuBefore = cpuTime(RUSAGE_SELF);
        const qint64 theirCpuBefore = cpuTime(RUSAGE_CHILDREN);
        for (int round = 0; round < rounds; ++round) {
            ourTimes.push_back(zipWithWriter(tree, ours));
            theirTimes.push_back(zipWithInfoZip(tree, theirs));
            out << "round " << round + 1 << ": writer " << ourTimes.back() << " ms, zip "
                << theirTimes.back() << " ms\n";
            out.flush();
        }
        const qint64 ourCpu = (cpuTime(RUSAGE_SELF) - ourCpuBefore) / rounds;
        const qint64 theirCpu = (cpuTime(RUSAGE_CHILDREN) - theirCpuBefore) / rounds;
        if (!run(QStringLiteral("unzip"), {QStringLiteral("-tqq"), ours}))
            throw Error(QStringLiteral("unzip -t rejects the archive"));
        const qint64 ourTime = median(ourTimes);
        const qint64 theirTime = median(theirTimes);
        const qint64 ourSize = QFileInfo(ours).size();
        const qint64 theirSize = QFileInfo(theirs).size();
        out << "tree: " << source << (largeFile ? ", " : " (copied), ")
            << rounds << " rounds, median wall time\n"
            << "ZipArchiveWriter: " << ourTime << " ms (CPU " << ourCpu << " ms), " << ourSize << " bytes\n"
            << "zip -r -9 -q:     " << theirTime << " ms (CPU " << theirCpu << " ms), " << theirSize
            << " bytes\n"
            << "time ratio: " << QString::number(double(ourTime) / double(theirTime), 'f', 3)
            << ", size ratio: " << QString::number(double(ourSize) / double(theirSize), 'f', 4) << "\n";
    } catch (const Error &error) {
        out << error.message() << "\n";
        return 1;
    }
    return 0;
}
