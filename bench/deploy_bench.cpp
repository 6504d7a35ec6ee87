// Deploys a site (2,000 files, 20 MB, in 100 folders by default) through a relay that holds
// every chunk 20 ms each way, as a server that is not next door would: over FTP to vsftpd
// against "lftp mirror -R --parallel=4", and over SFTP to OpenSSH's sshd against
// "rclone sync --transfers 4". Three rounds each: the first deploy, after 10 files changed, and
// with nothing changed. Reports the times and their ratios; the server's tree is checked after
// every round. Runs as root (the servers log in a system user).
// Usage: deploy_bench [files] [jobs]

#include "../tests/upload/RealFtpServer.h"
#include "../tests/upload/RealSshServer.h"
#include "DelayRelay.h"
#include "chores/ChoreProgress.h"
#include "project/Error.h"
#include "upload/HostTrust.h"
#include "upload/UploadRun.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QTextStream>

#include <functional>

namespace {

QTextStream out(stdout);

constexpr int DelayMs = 20;
constexpr int Folders = 100;
constexpr auto User = RealFtpServer::SystemUser;
constexpr auto Password = RealFtpServer::Password;

class TrustAll : public HostTrust
{
public:
    bool trust(const QString &, const QString &) override { return true; }
};

QByteArray contentOf(int file, int version)
{
    QByteArray bytes = QStringLiteral("file %1 version %2\n").arg(file).arg(version).toLatin1();
    return bytes.repeated(10000 / bytes.size() + 1).left(10000);
}

void writeSite(const QString &root, int files)
{
    for (int i = 0; i < files; ++i) {
        const QString folder = QStringLiteral("%1/d%2").arg(root).arg(i % Folders);
        QDir().mkpath(folder);
        QFile file(QStringLiteral("%1/page%2.html").arg(folder).arg(i));
        if (!file.open(QIODevice::WriteOnly) || file.write(contentOf(i, 0)) != 10000)
            throw Error(QStringLiteral("cannot write %1").arg(file.fileName()));
    }
}

// Ten files get new content, and a time one second later, for tools that go by the time.
void changeTen(const QString &root, int files)
{
    for (int i = 0; i < 10; ++i) {
        const int n = i * (files / 10);
        QFile file(QStringLiteral("%1/d%2/page%3.html").arg(root).arg(n % Folders).arg(n));
        file.open(QIODevice::WriteOnly);
        file.write(contentOf(n, 1));
        file.setFileTime(QDateTime::currentDateTime().addSecs(1), QFileDevice::FileModificationTime);
    }
}

// path -> size below `folder`, the deploy's own record and temporaries left out.
QMap<QString, qint64> treeOf(const QString &folder)
{
    QMap<QString, qint64> tree;
    QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        tree.insert(QDir(folder).relativeFilePath(it.filePath()), it.fileInfo().size());
    }
    return tree;
}

qint64 timed(const std::function<void()> &work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return timer.elapsed();
}

void runTool(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.start(program, arguments);
    if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        throw Error(QStringLiteral("%1 failed").arg(program));
}

void deployWithTrovas(const QString &local, const QString &target, quint16 port, int jobs)
{
    TrustAll trust;
    UploadServices services;
    services.hostTrust = &trust;
    services.transfersAtOnce = jobs;
    ChoreProgress progress;
    runUploads({{local, target, QString::fromLatin1(User), QString::fromLatin1(Password), QString::number(port)}}, progress,
               services);
    if (!progress.failures().isEmpty())
        throw Error(QStringLiteral("the deploy failed: %1").arg(failureLines(progress.failures())));
}

struct Round
{
    const char *name;
    std::function<void()> prepare;
};

void compare(const char *protocol, const char *peer, const QList<Round> &rounds, const std::function<void(int)> &ours,
             const std::function<void(int)> &theirs, const std::function<void()> &check)
{
    for (int round = 0; round < rounds.size(); ++round) {
        rounds[round].prepare();
        const qint64 ourMs = timed([&] { ours(round); });
        const qint64 theirMs = timed([&] { theirs(round); });
        check();
        out << QStringLiteral("%1 %2: Trovas %3 ms, %4 %5 ms, ratio %6")
                   .arg(QLatin1String(protocol), QLatin1String(rounds[round].name), QString::number(ourMs), QLatin1String(peer),
                        QString::number(theirMs), QString::number(double(ourMs) / double(qMax<qint64>(theirMs, 1)), 'f', 2))
            << Qt::endl;
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int files = args.size() > 1 ? args.at(1).toInt() : 2000;
    const int jobs = args.size() > 2 ? args.at(2).toInt() : 4;
    QTemporaryDir home;
    qputenv("HOME", home.path().toUtf8());
    QTemporaryDir local;
    const QString site = local.filePath(QStringLiteral("site"));
    try {
        writeSite(site, files);
        const QList<Round> rounds = {{"first deploy", [] {}},
                                     {"10 files changed", [&] { changeTen(site, files); }},
                                     {"nothing changed", [] {}}};

        RealFtpServer ftp(RealFtpServer::Kind::Vsftpd);
        if (const QString problem = ftp.start(); !problem.isEmpty())
            throw Error(QStringLiteral("vsftpd: ") + problem);
        ftp.makeFolder(QStringLiteral("trovas"));
        ftp.makeFolder(QStringLiteral("lftp"));
        const DelayRelay ftpRelay(ftp.port(), DelayMs, true);
        const QString lftpLogin = QStringLiteral("%1,%2").arg(User, Password);
        compare(
            "FTP", "lftp", rounds,
            [&](int) { deployWithTrovas(site, QStringLiteral("ftp://127.0.0.1/trovas"), ftpRelay.port(), jobs); },
            [&](int round) {
                const QString only = round == 0 ? QString() : QStringLiteral("--only-newer ");
                runTool(QStringLiteral("lftp"),
                        {"-u", lftpLogin, "-p", QString::number(ftpRelay.port()), "-e",
                         QStringLiteral("set ftp:ssl-allow no; set ftp:passive-mode true; mirror -R %1--parallel=%2 %3 lftp; quit")
                             .arg(only)
                             .arg(jobs)
                             .arg(site),
                         "127.0.0.1"});
            },
            [&] {
                if (treeOf(ftp.root() + "/trovas") != treeOf(site) || treeOf(ftp.root() + "/lftp") != treeOf(site))
                    throw Error(QStringLiteral("the FTP server's trees differ from the site"));
            });

        RealSshServer ssh;
        if (const QString problem = ssh.start(); !problem.isEmpty())
            throw Error(QStringLiteral("sshd: ") + problem);
        const QString ours = ssh.folder(QStringLiteral("trovas"));
        const QString theirs = ssh.folder(QStringLiteral("rclone"));
        const DelayRelay sshRelay(ssh.port(), DelayMs, false);
        QProcess obscure;
        obscure.start(QStringLiteral("rclone"), {"obscure", QString::fromLatin1(Password)});
        obscure.waitForFinished(-1);
        const QString obscured = QString::fromLatin1(obscure.readAllStandardOutput()).trimmed();
        compare(
            "SFTP", "rclone", rounds,
            [&](int) { deployWithTrovas(site, "sftp://127.0.0.1" + ours, sshRelay.port(), jobs); },
            [&](int) {
                runTool(QStringLiteral("rclone"),
                        {"--config", home.filePath(QStringLiteral("rclone.conf")), "sync", site, ":sftp:" + theirs, "--sftp-host",
                         "127.0.0.1", "--sftp-port", QString::number(sshRelay.port()), "--sftp-user", QString::fromLatin1(User),
                         "--sftp-pass", obscured, "--transfers", QString::number(jobs)});
            },
            [&] {
                if (treeOf(ours) != treeOf(site) || treeOf(theirs) != treeOf(site))
                    throw Error(QStringLiteral("the SFTP server's trees differ from the site"));
            });
    } catch (const Error &error) {
        out << error.message() << Qt::endl;
        return 1;
    }
    return 0;
}
