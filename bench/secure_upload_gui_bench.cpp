// "Upload files" of one file (200 MB by default) from the main window's menu, over SFTP to
// OpenSSH's sshd and over FTPS to vsftpd on 127.0.0.1, against OpenSSH's "sftp -b" and
// "curl --ssl-reqd -T" putting the same file, several rounds in turn. Reports each round, the
// median throughputs and their ratios, and the longest gap between two ticks of a 10 ms timer
// on the user-interface thread while the window's runs went on. Every stored file is checked
// for its size. Runs as root (the servers log in a system user).
// Usage: secure_upload_gui_bench [megabytes] [rounds]

#include "../tests/upload/RealFtpServer.h"
#include "../tests/upload/RealSshServer.h"
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

RunFigures runFromMenu(MainWindow &window, ScriptedPrompts &prompts)
{
    prompts.messages.clear();
    prompts.errors.clear();
    prompts.answers.push_back(QStringLiteral("yes")); // the first run of each server asks to trust it
    QTimer::singleShot(0, &window, [&window] { window.findChild<QAction *>(QStringLiteral("Uploadfiles1"))->trigger(); });
    bool started = false;
    const RunFigures figures = tickUntil([&] { return std::exchange(started, true) && !window.isChoreRunning(); });
    prompts.answers.clear();
    const QStringList said = prompts.errors + prompts.messages;
    if (said != QStringList{QStringLiteral("Finished")})
        throw Error(QStringLiteral("the run said: %1").arg(said.join(QStringLiteral(" | "))));
    return figures;
}

qint64 timed(const QString &program, const QStringList &arguments, const QByteArray &input = {})
{
    QElapsedTimer timer;
    timer.start();
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start(program, arguments);
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(-1) || process.exitCode() != 0)
        throw Error(QStringLiteral("%1 failed").arg(program));
    return timer.elapsed();
}

void checkAndRemove(const QString &stored, qint64 size, const char *tool)
{
    if (QFileInfo(stored).size() != size)
        throw Error(QStringLiteral("%1 stored %2 with %3 bytes").arg(QLatin1String(tool), stored).arg(QFileInfo(stored).size()));
    QFile::remove(stored);
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
    const qint64 size = megabytes * 1000 * 1000;

    IsolatedHome home; // known_hosts and the pinned certificate stay in here
    RealSshServer ssh;
    RealFtpServer ftps(RealFtpServer::Kind::Vsftpd);
    ftps.requireTls();
    for (const QString &problem : {ssh.start(), ftps.start()}) {
        if (!problem.isEmpty()) {
            out << "server: " << problem << Qt::endl;
            return 1;
        }
    }
    const QString sshFolder = ssh.folder(QStringLiteral("in"));
    const QString ftpsFolder = ftps.makeFolder(QStringLiteral("in"));
    QTemporaryDir local;
    const QString file = makeRandomFile(local.filePath(QStringLiteral("upload.bin")), size);

    QTemporaryDir settings;
    ScriptedPrompts prompts;
    RecordingLauncher launcher;
    Workspace workspace(settings.path(), prompts);
    MainWindow window(workspace, prompts, launcher);
    window.show();
    const UploadEntry overSftp{file, QStringLiteral("sftp://127.0.0.1/") + sshFolder, QString::fromLatin1(User),
                               QString::fromLatin1(Password), QString::number(ssh.port())};
    const UploadEntry overFtps{file, QStringLiteral("ftps://127.0.0.1/in"), QString::fromLatin1(User),
                               QString::fromLatin1(Password), QString::number(ftps.port())};

    // OpenSSH's client logs in with the key, checks nothing (the server is the local one), and
    // is given the password nowhere.
    const QStringList sftpArguments = {"-q", "-b", "-", "-i", ssh.clientKey(), "-o", "StrictHostKeyChecking=no", "-o",
                                       "UserKnownHostsFile=/dev/null", "-P", QString::number(ssh.port()),
                                       QStringLiteral("%1@127.0.0.1").arg(User)};
    const QByteArray sftpBatch = QStringLiteral("put %1 %2/peer.bin\n").arg(file, sshFolder).toUtf8();
    const QStringList curlArguments = {"-s", "-S", "--ssl-reqd", "-k", "-T", file, "--user",
                                       QStringLiteral("%1:%2").arg(User, Password),
                                       QStringLiteral("ftp://127.0.0.1:%1/in/peer.bin").arg(ftps.port())};

    std::vector<double> trovasSftp, peerSftp, trovasFtps, peerFtps;
    std::vector<qint64> gaps;
    const auto rate = [size](qint64 ms) { return double(size) / 1e6 / (double(ms) / 1000.0); };
    out << Qt::fixed << qSetRealNumberPrecision(1);
    try {
        for (int round = 1; round <= rounds; ++round) {
            workspace.project.setUploads({overSftp});
            const RunFigures sftp = runFromMenu(window, prompts);
            checkAndRemove(sshFolder + QStringLiteral("/upload.bin"), size, "Trovas over SFTP");
            const qint64 peerSftpMs = timed(QStringLiteral("sftp"), sftpArguments, sftpBatch);
            checkAndRemove(sshFolder + QStringLiteral("/peer.bin"), size, "sftp -b");
            workspace.project.setUploads({overFtps});
            const RunFigures tls = runFromMenu(window, prompts);
            checkAndRemove(ftpsFolder + QStringLiteral("/upload.bin"), size, "Trovas over FTPS");
            const qint64 peerFtpsMs = timed(QStringLiteral("curl"), curlArguments);
            checkAndRemove(ftpsFolder + QStringLiteral("/peer.bin"), size, "curl");

            trovasSftp.push_back(rate(sftp.ms));
            peerSftp.push_back(rate(peerSftpMs));
            trovasFtps.push_back(rate(tls.ms));
            peerFtps.push_back(rate(peerFtpsMs));
            gaps.push_back(std::max(sftp.longestTickGapMs, tls.longestTickGapMs));
            out << "round " << round << ": SFTP Trovas " << trovasSftp.back() << " MB/s, sftp -b " << peerSftp.back()
                << " MB/s; FTPS Trovas " << trovasFtps.back() << " MB/s, curl " << peerFtps.back()
                << " MB/s; longest tick gap " << gaps.back() << " ms" << Qt::endl;
        }
    } catch (const Error &e) {
        out << "failed: " << e.message() << Qt::endl;
        return 1;
    }
    out << "median over " << rounds << " rounds of " << megabytes << " MB: SFTP Trovas " << median(trovasSftp)
        << " MB/s, sftp -b " << median(peerSftp) << " MB/s, ratio " << qSetRealNumberPrecision(2)
        << median(trovasSftp) / median(peerSftp) << qSetRealNumberPrecision(1) << "; FTPS Trovas " << median(trovasFtps)
        << " MB/s, curl " << median(peerFtps) << " MB/s, ratio " << qSetRealNumberPrecision(2)
        << median(trovasFtps) / median(peerFtps) << "; longest tick gap " << *std::max_element(gaps.begin(), gaps.end())
        << " ms" << Qt::endl;
    return 0;
}
