// trovas-cli upload against real servers: a run killed in the middle of a file leaves nothing
// under the file's name and the next run completes it; an unknown SSH host is refused with its
// fingerprint until --trust-host names it; a dry run names the protocol.
#include "cli/CliRun.h"
#include "support/TestSupport.h"
#include "upload/RealFtpServer.h"
#include "upload/RealSshServer.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QSslCertificate>
#include <QtTest>

#include <csignal>

namespace {

QByteArray randomBytes(qsizetype size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator generator{quint32(size)};
    generator.fillRange(reinterpret_cast<quint32 *>(bytes.data()), size / 4);
    return bytes;
}

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

} // namespace

class CliUploadTest : public QObject
{
    Q_OBJECT

private:
    IsolatedHome m_home;
    QTemporaryDir m_dir;
    RealSshServer m_ssh;

    QString project(const QString &name, const QString &file, const QString &target, quint16 port)
    {
        ProjectData data;
        data.name = name;
        data.uploads = {UploadEntry::fromFields({file, target, QString::fromLatin1(RealFtpServer::SystemUser),
                                                 QString::fromLatin1(RealFtpServer::Password), QString::number(port)})};
        return writeProject(m_dir.filePath(name + QStringLiteral(".dev")), data);
    }

private Q_SLOTS:
    void initTestCase()
    {
        const QString problem = m_ssh.start();
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
    }

    void unknownServer_refusedWithItsFingerprintUntilTrusted_data()
    {
        QTest::addColumn<QString>("scheme");
        QTest::newRow("sftp: host key") << "sftp";
        QTest::newRow("ftps: self-signed certificate") << "ftps";
    }

    void unknownServer_refusedWithItsFingerprintUntilTrusted()
    {
        QFETCH(QString, scheme);
        RealFtpServer ftps(RealFtpServer::Kind::Vsftpd);
        QString folder;
        QString dev;
        QString fingerprint; // as the refusal prints it
        QString given;       // as the user passes it
        const QString file = writeFile(m_dir.filePath(scheme + QStringLiteral("/trust.txt")), "trust me");
        if (scheme == QLatin1String("sftp")) {
            folder = m_ssh.folder(QStringLiteral("trust"));
            dev = project(QStringLiteral("trust-sftp"), file, QStringLiteral("sftp://127.0.0.1/") + folder, m_ssh.port());
            given = fingerprint = m_ssh.hostKeyFingerprint();
        } else {
            ftps.requireTls();
            QVERIFY(ftps.start().isEmpty());
            folder = ftps.makeFolder(QStringLiteral("trust"));
            dev = project(QStringLiteral("trust-ftps"), file, QStringLiteral("ftps://127.0.0.1/trust"), ftps.port());
            const QSslCertificate certificate = QSslCertificate::fromPath(ftps.certificatePath()).value(0);
            fingerprint = QString::fromLatin1(certificate.digest(QCryptographicHash::Sha256).toHex(':').toUpper());
            given = QString::fromLatin1(certificate.digest(QCryptographicHash::Sha256).toHex()); // plain hex works too
        }

        CliResult result = runCli({dev, QStringLiteral("upload")});
        QCOMPARE(result.status, 1);
        QVERIFY2(result.err.contains(fingerprint.toLatin1()), result.err.constData());
        QVERIFY(!QFile::exists(folder + QStringLiteral("/trust.txt")));

        result = runCli({dev, QStringLiteral("upload"), QStringLiteral("--trust-host"), QStringLiteral("SHA256:not-this-one")});
        QCOMPARE(result.status, 1);

        result = runCli({dev, QStringLiteral("upload"), QStringLiteral("--trust-host"), given});
        QVERIFY2(result.status == 0, result.err.constData());
        QCOMPARE(readFile(folder + QStringLiteral("/trust.txt")), QByteArray("trust me"));
        // Known from now on.
        QCOMPARE(runCli({dev, QStringLiteral("upload")}).status, 0);
    }

    void dryRun_namesTheProtocol()
    {
        const QString file = writeFile(m_dir.filePath(QStringLiteral("plan.txt")), "plan");
        const QString dev = project(QStringLiteral("plan"), file, QStringLiteral("sftp://host.example/srv"), 21);
        const CliResult text = runCli({dev, QStringLiteral("upload"), QStringLiteral("--dry-run")});
        QCOMPARE(text.status, 0);
        QCOMPARE(QString::fromUtf8(text.out).trimmed(), file + QStringLiteral(" -> sftp://trovasftp@host.example:22/srv"));
        const CliResult json = runCli({dev, QStringLiteral("upload"), QStringLiteral("--dry-run"), QStringLiteral("--json")});
        const QJsonObject planned = QJsonDocument::fromJson(json.out).object().value(QStringLiteral("uploads")).toArray().first().toObject();
        QCOMPARE(planned.value(QStringLiteral("protocol")).toString(), QStringLiteral("SFTP"));
        QVERIFY(!json.out.contains(RealFtpServer::Password));
    }

    void killedMidTransfer_onlyTheTemporaryRemainsAndTheNextRunCompletes_data()
    {
        QTest::addColumn<QString>("scheme");
        QTest::newRow("ftp") << "ftp";
        QTest::newRow("sftp") << "sftp";
    }

    void killedMidTransfer_onlyTheTemporaryRemainsAndTheNextRunCompletes()
    {
        QFETCH(QString, scheme);
        // A server that reads 4 MB a second for FTP; for SFTP a file large enough to catch.
        RealFtpServer ftp(RealFtpServer::Kind::Pyftpdlib);
        QString folder;
        QString dev;
        const QByteArray content = randomBytes(scheme == QLatin1String("ftp") ? 16 << 20 : 64 << 20);
        const QString file = writeFile(m_dir.filePath(scheme + QStringLiteral("/release.bin")), content);
        if (scheme == QLatin1String("ftp")) {
            QVERIFY(ftp.start(4 << 20).isEmpty());
            folder = ftp.makeFolder(QStringLiteral("in"));
            dev = project(scheme, file, QStringLiteral("ftp://127.0.0.1/in"), ftp.port());
        } else {
            folder = m_ssh.folder(QStringLiteral("kill"));
            dev = project(scheme, file, QStringLiteral("sftp://127.0.0.1/") + folder, m_ssh.port());
        }
        const QStringList arguments = {dev, QStringLiteral("upload"), QStringLiteral("--trust-host"), m_ssh.hostKeyFingerprint()};

        QProcess cli;
        cli.start(QStringLiteral(TROVAS_CLI), arguments);
        QVERIFY(cli.waitForStarted());
        // Killed once a part of the file has arrived.
        QElapsedTimer waited;
        waited.start();
        const auto arrived = [&] {
            const QStringList files = filesIn(folder);
            return files.size() == 1 && QFileInfo(folder + QLatin1Char('/') + files.first()).size() > (4 << 20);
        };
        while (!arrived() && waited.elapsed() < 60000)
            QThread::msleep(2);
        ::kill(pid_t(cli.processId()), SIGKILL);
        cli.waitForFinished();

        QStringList files = filesIn(folder);
        QCOMPARE(files.size(), 1);
        QVERIFY2(files.first().startsWith(QStringLiteral(".release.bin.")) && files.first().endsWith(QStringLiteral(".part")),
                 qPrintable(files.first()));
        QVERIFY(QFileInfo(folder + QLatin1Char('/') + files.first()).size() < content.size());

        const CliResult again = runCli(arguments);
        QVERIFY2(again.status == 0, again.err.constData());
        QCOMPARE(filesIn(folder), QStringList{QStringLiteral("release.bin")});
        QVERIFY(readFile(folder + QStringLiteral("/release.bin")) == content);
    }
};

QTEST_GUILESS_MAIN(CliUploadTest)
#include "cli_upload_test.moc"
