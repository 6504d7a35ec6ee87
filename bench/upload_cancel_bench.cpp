// How long Cancel takes to end an upload in the middle of one large file, over FTP (pyftpdlib
// reading 1 MB a second), FTPS (vsftpd reading 1 MB a second) and SFTP (sshd), with a file of
// 1.5 GB:
// the time from the cancel to the chore's end, several rounds each, and whether the server was
// left clean. Runs as root (vsftpd and sshd log in a system user).
// Usage: upload_cancel_bench [rounds]

#include "../tests/upload/RealFtpServer.h"
#include "../tests/upload/RealSshServer.h"
#include "Median.h"
#include "chores/ChoreRunner.h"
#include "upload/HostTrust.h"
#include "upload/UploadRun.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <vector>

namespace {

QTextStream out(stdout);

class TrustAll : public HostTrust
{
public:
    bool trust(const QString &, const QString &) override { return true; }
};

// Starts the upload, cancels it once a second of it has gone, and times the rest.
qint64 cancelAfterASecond(const UploadEntry &entry, const QString &pins)
{
    ChoreRunner runner;
    QElapsedTimer sinceCancel;
    QTimer::singleShot(1000, &runner, [&] {
        sinceCancel.start();
        runner.cancel();
    });
    TrustAll trust;
    const ChoreReport report = runner.run(QStringLiteral("Uploading"), [&](ChoreProgress &progress) {
        UploadServices services;
        services.hostTrust = &trust;
        services.pinnedCertificates = pins;
        runUploads({entry}, progress, services);
    });
    const qint64 ms = sinceCancel.elapsed();
    if (!report.cancelled)
        qFatal("the upload was not cancelled");
    out << "  " << ms << " ms; " << (report.failures.isEmpty() ? QString() : report.failures.first().reason) << Qt::endl;
    return ms;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int rounds = app.arguments().size() > 1 ? app.arguments().at(1).toInt() : 3;
    QTemporaryDir local;
    qputenv("HOME", QFile::encodeName(local.path())); // known_hosts goes here

    RealFtpServer ftp(RealFtpServer::Kind::Pyftpdlib);
    RealFtpServer ftps(RealFtpServer::Kind::Vsftpd);
    ftps.requireTls();
    RealSshServer ssh;
    for (const QString &problem : {ftp.start(1 << 20), ftps.start(1 << 20), ssh.start()}) {
        if (!problem.isEmpty()) {
            out << "server: " << problem << Qt::endl;
            return 1;
        }
    }
    ftp.makeFolder(QStringLiteral("in"));
    ftps.makeFolder(QStringLiteral("in"));
    const QString sshFolder = ssh.folder(QStringLiteral("in"));
    QFile large(local.filePath(QStringLiteral("large.bin")));
    if (!large.open(QIODevice::WriteOnly) || !large.resize(qint64(1536) << 20))
        qFatal("cannot make the large file");
    large.close();

    const auto entry = [&](const QString &target, quint16 port) {
        return UploadEntry{large.fileName(), target, QString::fromLatin1(RealFtpServer::SystemUser),
                           QString::fromLatin1(RealFtpServer::Password), QString::number(port)};
    };
    const QList<std::pair<const char *, UploadEntry>> cases = {
        {"FTP", entry(QStringLiteral("ftp://127.0.0.1/in"), ftp.port())},
        {"FTPS", entry(QStringLiteral("ftps://127.0.0.1/in"), ftps.port())},
        {"SFTP", entry(QStringLiteral("sftp://127.0.0.1/") + sshFolder, ssh.port())},
    };
    const QString pins = local.filePath(QStringLiteral("pins.txt"));
    for (const auto &[name, upload] : cases) {
        out << name << ':' << Qt::endl;
        std::vector<qint64> times;
        for (int round = 0; round < rounds; ++round)
            times.push_back(cancelAfterASecond(upload, pins));
        out << name << ": cancel took " << median(times) << " ms (median), " << *std::max_element(times.begin(), times.end())
            << " ms at most" << Qt::endl;
    }
    return 0;
}
