// Uploads one file (200 MB by default) to pyftpdlib on 127.0.0.1 with FtpClient and with
// "curl --ftp-port 127.0.0.1 -T", both in active mode, several rounds in turn, and reports each
// round, the median throughputs and their ratio. Every upload is checked for its size on disk.
// Usage: ftp_upload_bench [megabytes] [rounds]

#include "Median.h"
#include "RandomFile.h"
#include "../tests/upload/RealFtpServer.h"
#include "project/Error.h"
#include "upload/FtpClient.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTextStream>

#include <algorithm>
#include <vector>

namespace {

QTextStream out(stdout);

constexpr auto User = RealFtpServer::SystemUser;
constexpr auto Password = RealFtpServer::Password;

qint64 uploadWithClient(const RealFtpServer &server, const QString &file)
{
    QElapsedTimer timer;
    timer.start();
    FtpClient client;
    client.setHost(QStringLiteral("127.0.0.1"));
    client.setPort(server.port());
    client.setUsername(QString::fromLatin1(User));
    client.setPassword(QString::fromLatin1(Password));
    client.connectToHost();
    client.put(file);
    client.disconnectFromHost();
    return timer.elapsed();
}

qint64 uploadWithCurl(const RealFtpServer &server, const QString &file)
{
    QElapsedTimer timer;
    timer.start();
    QProcess curl;
    curl.setProcessChannelMode(QProcess::ForwardedChannels);
    curl.start(QStringLiteral("curl"), {"-s", "-S", "--ftp-port", "127.0.0.1", "-T", file,
                                        QStringLiteral("ftp://%1:%2@127.0.0.1:%3/").arg(User, Password).arg(server.port())});
    if (!curl.waitForFinished(-1) || curl.exitCode() != 0)
        throw Error(QStringLiteral("curl failed"));
    return timer.elapsed();
}


} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const qint64 megabytes = args.size() > 1 ? args.at(1).toLongLong() : 200;
    const int rounds = args.size() > 2 ? args.at(2).toInt() : 5;
    const qint64 size = megabytes * 1000 * 1000;

    RealFtpServer server(RealFtpServer::Kind::Pyftpdlib);
    if (const QString problem = server.start(); !problem.isEmpty()) {
        out << "pyftpdlib: " << problem << Qt::endl;
        return 1;
    }
    QTemporaryDir local;
    const QString file = makeRandomFile(local.filePath(QStringLiteral("upload.bin")), size);
    const QString stored = QDir(server.root()).filePath(QStringLiteral("upload.bin"));

    std::vector<double> client;
    std::vector<double> curl;
    try {
        for (int round = 1; round <= rounds; ++round) {
            const auto measure = [&](const char *tool, qint64 ms, std::vector<double> &rates) {
                if (QFileInfo(stored).size() != size)
                    throw Error(QStringLiteral("%1 stored %2 bytes").arg(tool).arg(QFileInfo(stored).size()));
                QFile::remove(stored);
                rates.push_back(double(size) / 1e6 / (double(ms) / 1000.0));
                out << "round " << round << ' ' << tool << ": " << ms << " ms, " << Qt::fixed << qSetRealNumberPrecision(1)
                    << rates.back() << " MB/s" << Qt::endl;
            };
            measure("FtpClient", uploadWithClient(server, file), client);
            measure("curl     ", uploadWithCurl(server, file), curl);
        }
    } catch (const Error &e) {
        out << "failed: " << e.message() << Qt::endl;
        return 1;
    }
    out << "median over " << rounds << " rounds of " << megabytes << " MB: FtpClient " << median(client) << " MB/s, curl "
        << median(curl) << " MB/s, ratio " << qSetRealNumberPrecision(2) << median(client) / median(curl) << Qt::endl;
    return 0;
}
