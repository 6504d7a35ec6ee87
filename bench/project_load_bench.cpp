// `trovas-cli PROJECT info` against a Python script that parses and sorts the same file
// (project_parse_sort.py), on a project of 100,000 to-dos (17.7 MB): rounds in turn, medians.
// Then the peak memory (maximum resident set, from /usr/bin/time) of both against the file size.
// Goals: at most 1.0 times the script's time; peak memory at most 3 times the file.
// Usage: project_load_bench [to-dos] [rounds]

#include "BigProject.h"
#include "Median.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>

namespace {

QByteArray run(const QString &program, const QStringList &arguments, qint64 *elapsedMs = nullptr)
{
    QProcess process;
    QElapsedTimer timer;
    timer.start();
    process.start(program, arguments);
    if (!process.waitForFinished(600'000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        qFatal("%s failed: %s", qPrintable(program), process.readAllStandardError().constData());
    if (elapsedMs)
        *elapsedMs = timer.elapsed();
    return process.readAllStandardError();
}

// Kibibytes: /usr/bin/time -f %M prints the maximum resident set size last on standard error.
qint64 peakKiB(const QString &program, const QStringList &arguments)
{
    const QByteArray err = run(QStringLiteral("/usr/bin/time"), QStringList{QStringLiteral("-f"), QStringLiteral("%M"), program} + arguments);
    return err.trimmed().split('\n').last().toLongLong();
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int todos = argc > 1 ? std::max(1, atoi(argv[1])) : 100'000;
    const int rounds = argc > 2 ? std::max(1, atoi(argv[2])) : 7;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.dev"));
    BigProject::write(path, todos);
    const qint64 fileBytes = QFileInfo(path).size();
    std::printf("%d to-dos, %.1f MB\n", todos, double(fileBytes) / 1e6);

    const QString cli = QStringLiteral(TROVAS_CLI);
    const QStringList cliArguments{path, QStringLiteral("info")};
    const QString python = QStringLiteral("python3");
    const QStringList pythonArguments{QStringLiteral(PARSE_SORT_SCRIPT), path};
    // One of each first, so both find the file in the page cache.
    run(cli, cliArguments);
    run(python, pythonArguments);
    std::vector<qint64> cliTimes, pythonTimes;
    for (int round = 0; round < rounds; ++round) {
        qint64 ms = 0;
        run(cli, cliArguments, &ms);
        cliTimes.push_back(ms);
        run(python, pythonArguments, &ms);
        pythonTimes.push_back(ms);
    }
    const qint64 cliMs = median(cliTimes);
    const qint64 pythonMs = median(pythonTimes);
    const double ratio = double(cliMs) / double(std::max<qint64>(pythonMs, 1));
    std::printf("trovas-cli info: %lld ms, Python parse and sort: %lld ms (medians of %d): %.2f times (goal: at most 1.0) %s\n",
                static_cast<long long>(cliMs), static_cast<long long>(pythonMs), rounds, ratio,
                ratio <= 1.0 ? "met" : "NOT met");

    const qint64 cliPeak = peakKiB(cli, cliArguments);
    const qint64 pythonPeak = peakKiB(python, pythonArguments);
    const double memory = double(cliPeak) * 1024 / double(fileBytes);
    std::printf("peak memory: trovas-cli %lld KiB (%.2f times the file; goal: at most 3) %s, Python %lld KiB\n",
                static_cast<long long>(cliPeak), memory, memory <= 3.0 ? "met" : "NOT met",
                static_cast<long long>(pythonPeak));
    return 0;
}
