// An "Upload files" run of 50 small files and one large file (200 MB by default) to pyftpdlib on
// 127.0.0.1, chosen from the main window's menu, against curl uploading the same files with one
// invocation each (active mode, as the program), several rounds in turn. Reports each round,
// the median throughputs and their ratio, and the longest gap between two ticks of a 10 ms
// timer on the user-interface thread while the run was going, beside the longest gap of the
// same timer on an idle window for as long, which is what the machine's load alone makes. Every stored file is checked for
// its size. Usage: upload_run_gui_bench [megabytes] [rounds]

#include "../tests/upload/RealFtpServer.h"
#include "Median.h"
#include "RandomFile.h"
#include "workspace/Workspace.h"
#include "app/ui/MainWindow.h"
#include "project/Error.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QTextStream>
#include <QTimer>

#include <functional>
#include <utility>
#include <vector>

namespace {

QTextStream out(stdout);

constexpr auto User = RealFtpServer::SystemUser;
constexpr auto Password = RealFtpServer::Password;
constexpr int SmallFiles = 50;

// Nothing may wait for a person here: messages are collected, questions are cancelled.
struct RunFigures
{
    qint64 ms = 0;
    qint64 longestTickGapMs = 0;
};

// Keeps the event loop going, timing the ticks of a 10 ms timer, until `ended` says so.
RunFigures tickUntil(const std::function<bool()> &ended)
{
    RunFigures figures;
    QElapsedTimer run;
    QElapsedTimer sinceTick;
    QEventLoop loop;
    QTimer ticks;
    ticks.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticks, &QTimer::timeout, &loop, [&] {
        figures.longestTickGapMs = std::max(figures.longestTickGapMs, sinceTick.restart());
        if (ended())
            loop.quit();
    });
    run.start();
    sinceTick.start();
    ticks.start(10);
    loop.exec();
    figures.ms = run.elapsed();
    return figures;
}

RunFigures runFromMenu(MainWindow &window)
{
    QTimer::singleShot(0, &window, [&window] { window.findChild<QAction *>(QStringLiteral("Uploadfiles1"))->trigger(); });
    bool started = false;
    return tickUntil([&] { return std::exchange(started, true) && !window.isChoreRunning(); });
}

// The same ticks with nothing to do: how much of a gap the machine itself makes.
qint64 idleTickGap(qint64 ms)
{
    QElapsedTimer idle;
    idle.start();
    return tickUntil([&] { return idle.elapsed() >= ms; }).longestTickGapMs;
}

qint64 uploadWithCurl(const RealFtpServer &server, const QStringList &files, const QString &folder)
{
    QElapsedTimer timer;
    timer.start();
    for (const QString &file : files) {
        QProcess curl;
        curl.setProcessChannelMode(QProcess::ForwardedChannels);
        curl.start(QStringLiteral("curl"), {"-s", "-S", "--ftp-port", "127.0.0.1", "-T", file,
                                            QStringLiteral("ftp://%1:%2@127.0.0.1:%3/%4/")
                                                .arg(User, Password)
                                                .arg(server.port())
                                                .arg(folder)});
        if (!curl.waitForFinished(-1) || curl.exitCode() != 0)
            throw Error(QStringLiteral("curl failed on %1").arg(file));
    }
    return timer.elapsed();
}

// Checks that every file arrived whole below `folder`, then removes them for the next round.
void checkAndClear(const RealFtpServer &server, const QString &folder, const QStringList &files, const char *tool)
{
    for (const QString &file : files) {
        const QString stored = QDir(server.root()).filePath(folder + QLatin1Char('/') + QFileInfo(file).fileName());
        if (QFileInfo(stored).size() != QFileInfo(file).size())
            throw Error(QStringLiteral("%1 stored %2 with %3 bytes").arg(QLatin1String(tool), stored).arg(QFileInfo(stored).size()));
        QFile::remove(stored);
    }
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const qint64 megabytes = args.size() > 1 ? args.at(1).toLongLong() : 200;
    const int rounds = args.size() > 2 ? args.at(2).toInt() : 3;

    RealFtpServer server(RealFtpServer::Kind::Pyftpdlib);
    if (const QString problem = server.start(); !problem.isEmpty()) {
        out << "pyftpdlib: " << problem << Qt::endl;
        return 1;
    }
    server.makeFolder(QStringLiteral("trovas"));
    server.makeFolder(QStringLiteral("curl"));

    QTemporaryDir local;
    QStringList files;
    qint64 totalBytes = 0;
    for (int i = 0; i < SmallFiles; ++i) {
        files.append(local.filePath(QStringLiteral("small%1.bin").arg(i, 2, 10, QLatin1Char('0'))));
        makeRandomFile(files.last(), 2000 + 1000 * i);
    }
    files.append(local.filePath(QStringLiteral("large.bin")));
    makeRandomFile(files.last(), megabytes * 1000 * 1000);
    QList<UploadEntry> uploads;
    for (const QString &file : std::as_const(files)) {
        totalBytes += QFileInfo(file).size();
        uploads.append({file, QStringLiteral("ftp://127.0.0.1/trovas"), QString::fromLatin1(User),
                        QString::fromLatin1(Password), QString::number(server.port())});
    }

    QTemporaryDir settings;
    ScriptedPrompts prompts;
    RecordingLauncher launcher;
    Workspace workspace(settings.path(), prompts);
    MainWindow window(workspace, prompts, launcher);
    window.show();
    workspace.project.setUploads(uploads);

    std::vector<double> trovas;
    std::vector<double> curl;
    std::vector<qint64> gaps;
    const auto rate = [totalBytes](qint64 ms) { return double(totalBytes) / 1e6 / (double(ms) / 1000.0); };
    out << Qt::fixed << qSetRealNumberPrecision(1);
    try {
        for (int round = 1; round <= rounds; ++round) {
            prompts.messages.clear();
            prompts.errors.clear();
            const RunFigures figures = runFromMenu(window);
            const qint64 idleGap = idleTickGap(figures.ms);
            const QStringList said = prompts.errors + prompts.messages;
            if (said != QStringList{QStringLiteral("Finished")})
                throw Error(QStringLiteral("the run said: %1").arg(said.join(QStringLiteral(" | "))));
            checkAndClear(server, QStringLiteral("trovas"), files, "Trovas");
            trovas.push_back(rate(figures.ms));
            gaps.push_back(figures.longestTickGapMs);
            const qint64 curlMs = uploadWithCurl(server, files, QStringLiteral("curl"));
            checkAndClear(server, QStringLiteral("curl"), files, "curl");
            curl.push_back(rate(curlMs));
            out << "round " << round << ": Trovas " << figures.ms << " ms, " << trovas.back() << " MB/s, longest tick gap "
                << figures.longestTickGapMs << " ms (idle " << idleGap << " ms); curl " << curlMs << " ms, " << curl.back() << " MB/s" << Qt::endl;
        }
    } catch (const Error &e) {
        out << "failed: " << e.message() << Qt::endl;
        return 1;
    }
    out << "median over " << rounds << " rounds of " << SmallFiles << " small files and " << megabytes
        << " MB: Trovas " << median(trovas) << " MB/s, curl " << median(curl) << " MB/s, ratio "
        << qSetRealNumberPrecision(2) << median(trovas) / median(curl) << "; longest tick gap "
        << *std::max_element(gaps.begin(), gaps.end()) << " ms (median " << median(gaps) << " ms)" << Qt::endl;
    return 0;
}
