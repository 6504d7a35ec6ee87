// Uploads to real FTP servers on 127.0.0.1 (pyftpdlib and vsftpd), checked byte for byte on disk.
#include "FtpEventLog.h"
#include "RealFtpServer.h"
#include "support/TestSupport.h"
#include "upload/FtpClient.h"
#include "upload/FtpReplyError.h"

#include <QRandomGenerator>
#include <QtTest>

#include <memory>

namespace {

using Kind = RealFtpServer::Kind;

QByteArray randomBytes(qint64 size, quint32 seed)
{
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator generator(seed);
    for (char &byte : bytes)
        byte = char(generator.bounded(256));
    return bytes;
}

} // namespace

class FtpUploadTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void put_storesFileIntact_data();
    void put_storesFileIntact();
    void failures_leaveClientReusable_data();
    void failures_leaveClientReusable();
    void put_refusesFileOf2GiB_data();
    void put_refusesFileOf2GiB();

private:
    RealFtpServer &server(Kind kind);
    void pointAt(FtpClient &client, Kind kind);

    std::unique_ptr<RealFtpServer> m_pyftpdlib;
    std::unique_ptr<RealFtpServer> m_vsftpd;
    QString m_vsftpdProblem;
    QTemporaryDir m_local;
    int m_folders = 0;
};

void FtpUploadTest::initTestCase()
{
    m_pyftpdlib = std::make_unique<RealFtpServer>(Kind::Pyftpdlib);
    const QString problem = m_pyftpdlib->start();
    QVERIFY2(problem.isEmpty(), qPrintable("pyftpdlib: " + problem));
    m_vsftpd = std::make_unique<RealFtpServer>(Kind::Vsftpd);
    m_vsftpdProblem = m_vsftpd->start();
}

RealFtpServer &FtpUploadTest::server(Kind kind)
{
    if (kind == Kind::Vsftpd && !m_vsftpdProblem.isEmpty())
        QTest::qSkip(qPrintable("vsftpd: " + m_vsftpdProblem), __FILE__, __LINE__);
    return kind == Kind::Pyftpdlib ? *m_pyftpdlib : *m_vsftpd;
}

void FtpUploadTest::pointAt(FtpClient &client, Kind kind)
{
    client.setHost(QStringLiteral("127.0.0.1"));
    client.setPort(server(kind).port());
    client.setUsername(QString::fromLatin1(RealFtpServer::SystemUser));
    client.setPassword(QString::fromLatin1(RealFtpServer::Password));
}

void FtpUploadTest::put_storesFileIntact_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QString>("host");
    QTest::addColumn<bool>("passive");
    QTest::addColumn<QString>("name");
    QTest::addColumn<qint64>("size");
    QTest::addColumn<QByteArray>("previous"); // a file of that name already on the server

    for (const Kind kind : {Kind::Pyftpdlib, Kind::Vsftpd}) {
        const QByteArray server = kind == Kind::Pyftpdlib ? "pyftpdlib" : "vsftpd";
        const auto row = [&](const char *name) { return &(QTest::newRow(server + ": " + name) << kind); };
        *row("empty file") << "127.0.0.1" << false << "empty.txt" << qint64(0) << QByteArray();
        *row("one byte") << "127.0.0.1" << false << "one.bin" << qint64(1) << QByteArray();
        *row("one chunk") << "127.0.0.1" << false << "chunk.bin" << qint64(32768) << QByteArray();
        *row("chunk and a byte") << "127.0.0.1" << false << "chunk1.bin" << qint64(32769) << QByteArray();
        *row("several megabytes") << "127.0.0.1" << false << "archive.zip" << qint64(6 * 1024 * 1024 + 7) << QByteArray();
        *row("host by name") << "localhost" << false << "named.txt" << qint64(1000) << QByteArray();
        *row("name with blanks and umlauts") << "127.0.0.1" << false << "Größe der Daten 1.txt" << qint64(5000) << QByteArray();
        *row("replaces a longer file") << "127.0.0.1" << false << "again.txt" << qint64(100) << randomBytes(90000, 9);
        *row("passive") << "127.0.0.1" << true << "passive.bin" << qint64(100000) << QByteArray();
    }
}

void FtpUploadTest::put_storesFileIntact()
{
    QFETCH(Kind, kind);
    QFETCH(QString, host);
    QFETCH(bool, passive);
    QFETCH(QString, name);
    QFETCH(qint64, size);
    QFETCH(QByteArray, previous);

    const QString folder = QStringLiteral("upload%1/sub").arg(++m_folders);
    if (!previous.isEmpty())
        writeFile(QDir(server(kind).root()).filePath(folder + "/" + name), previous);
    const QString remoteFolder = server(kind).makeFolder(folder);
    const QByteArray content = randomBytes(size, quint32(m_folders));
    const QString local = writeFile(m_local.filePath(QStringLiteral("%1/%2").arg(m_folders).arg(name)), content);

    FtpClient client;
    FtpEventLog log(client);
    pointAt(client, kind);
    client.setHost(host);
    client.setPassive(passive);
    client.connectToHost();
    client.changeDir(folder);
    client.put(local);
    QCOMPARE(client.lastReply().code(), 226);
    client.disconnectFromHost();

    QCOMPARE(readFile(QDir(remoteFolder).filePath(name)), content);
    QStringList statuses = {"Connecting to 127.0.0.1.", "Connected.", "Connection established", "Starting FTP transfer",
                            "Transfer complete", "Disconnecting.", "Disconnected."};
    using S = FtpClient::StatusKind;
    QList<S> kinds = {S::Connecting, S::Connected, S::Ready, S::Transfer, S::Ready, S::Disconnecting, S::Disconnected};
    if (host != "127.0.0.1") {
        statuses.prepend("Resolving hostname " + host + ".");
        kinds.prepend(S::Resolving);
    }
    QCOMPARE(log.statuses, statuses);
    QCOMPARE(log.kinds, kinds);
    QVERIFY2(log.isUploadOf(size), qPrintable(log.work.mid(0, 3).join(", ")));
}

void FtpUploadTest::failures_leaveClientReusable_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QString>("failure");
    QTest::addColumn<int>("code");

    for (const Kind kind : {Kind::Pyftpdlib, Kind::Vsftpd}) {
        const QByteArray server = kind == Kind::Pyftpdlib ? "pyftpdlib: " : "vsftpd: ";
        QTest::newRow(server + "wrong password") << kind << "password" << 530;
        QTest::newRow(server + "missing folder") << kind << "folder" << 550;
    }
}

void FtpUploadTest::failures_leaveClientReusable()
{
    QFETCH(Kind, kind);
    QFETCH(QString, failure);
    QFETCH(int, code);

    const QString folder = QStringLiteral("upload%1").arg(++m_folders);
    const QString remoteFolder = server(kind).makeFolder(folder);
    const QString local = writeFile(m_local.filePath(QStringLiteral("%1/after.txt").arg(m_folders)), "after the failure");
    FtpClient client;
    FtpEventLog log(client);
    pointAt(client, kind);
    try {
        if (failure == "password")
            client.setPassword(QStringLiteral("wrong"));
        client.connectToHost();
        client.changeDir(folder + "/missing");
        QFAIL("the failure went unnoticed");
    } catch (const FtpReplyError &e) {
        QCOMPARE(e.code(), code);
    }
    client.disconnectFromHost();
    QCOMPARE(log.statuses.mid(log.statuses.size() - 2), (QStringList{"Disconnecting.", "Disconnected."}));

    pointAt(client, kind);
    client.connectToHost();
    client.changeDir(folder);
    client.put(local);
    client.disconnectFromHost();
    QCOMPARE(readFile(QDir(remoteFolder).filePath("after.txt")), QByteArray("after the failure"));
}

void FtpUploadTest::put_refusesFileOf2GiB_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::newRow("pyftpdlib") << Kind::Pyftpdlib;
    QTest::newRow("vsftpd") << Kind::Vsftpd;
}

void FtpUploadTest::put_refusesFileOf2GiB()
{
    QFETCH(Kind, kind);

    const QString folder = QStringLiteral("upload%1").arg(++m_folders);
    const QString remoteFolder = server(kind).makeFolder(folder);
    const QString local = m_local.filePath(QStringLiteral("%1/huge.iso").arg(m_folders));
    writeFile(local, QByteArray());
    QVERIFY(QFile::resize(local, FtpClient::MaxFileSize + 1)); // sparse: takes no room

    FtpClient client;
    pointAt(client, kind);
    client.connectToHost();
    client.changeDir(folder);
    FtpEventLog log(client);
    try {
        client.put(local);
        QFAIL("a file of 2 GiB was sent");
    } catch (const Error &e) {
        QVERIFY2(e.message().contains("2 GiB"), qPrintable(e.message()));
    }
    QCOMPARE(log.statuses, (QStringList{"Starting FTP transfer", "Transfer complete"}));
    QVERIFY(log.work.isEmpty());
    client.disconnectFromHost();
    QCOMPARE(QFileInfo(QDir(remoteFolder).filePath("huge.iso")).size(), 0);
}

QTEST_GUILESS_MAIN(FtpUploadTest)
#include "ftpupload_test.moc"
