// Uploads over SFTP, FTPS and FTP against real servers on 127.0.0.1: what arrives, how the
// server's identity is checked and remembered, how the SSH login is chosen, and what a silent
// server, a cancel and a server that cannot connect back lead to.
#include "RealFtpServer.h"
#include "RealSshServer.h"
#include "chores/ChoreRunner.h"
#include "support/TestSupport.h"
#include "upload/HostTrust.h"
#include "upload/UploadRun.h"
#include "upload/UploadTransport.h"

#include <QRandomGenerator>
#include <QSslCertificate>
#include <QTcpServer>
#include <QtTest>

namespace {

// Answers the trust questions from a script, and keeps them.
class ScriptedTrust : public HostTrust
{
public:
    explicit ScriptedTrust(bool answer = true) : m_answer(answer) {}
    bool trust(const QString &question, const QString &) override
    {
        questions.append(question);
        return m_answer;
    }
    QStringList questions;

private:
    bool m_answer;
};

struct RunResult
{
    QStringList log;
    QList<ChoreFailure> failures;

    // The log and every failure's reason, for a failed check to show.
    QString report() const
    {
        QStringList lines = log;
        for (const ChoreFailure &failure : failures)
            lines << failure.item + ": " + failure.reason;
        return lines.join('\n');
    }
};

QByteArray randomBytes(qsizetype size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator generator{quint32(size)};
    for (qsizetype i = 0; i + 4 <= size; i += 4) {
        const quint32 word = generator.generate();
        std::memcpy(bytes.data() + i, &word, 4);
    }
    return bytes;
}

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

QString sha256Of(const QString &certificateFile)
{
    const QList<QSslCertificate> certificates = QSslCertificate::fromPath(certificateFile);
    return QString::fromLatin1(certificates.value(0).digest(QCryptographicHash::Sha256).toHex(':').toUpper());
}

} // namespace

class SecureUploadTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void eachProtocol_storesTheFileWhole_data();
    void eachProtocol_storesTheFileWhole();
    void temporaryLeftBehind_isResumed_data();
    void temporaryLeftBehind_isResumed();
    void sshLogin_agentKeyFilePassword_data();
    void sshLogin_agentKeyFilePassword();
    void sftpTarget_portAndPath_data();
    void sftpTarget_portAndPath();
    void sshHostKey_unknownAskedChangedRefused();
    void tlsCertificate_pinnedThenADifferentOneRefused();
    void silentServer_endsWithTheTimeOut_data();
    void silentServer_endsWithTheTimeOut();
    void cancelDuringTheHandshake_endsAtOnce();
    void cannotConnectBack_goesPassive_data();
    void cannotConnectBack_goesPassive();
    void resumeRefused_uploadsTheWholeFileAgain();
    void renameRefused_storesDirectly();

private:
    UploadEntry entry(const QString &file, const QString &target, const QString &password, quint16 port) const;
    RunResult run(const QList<UploadEntry> &entries, HostTrust *trust, int silenceLimitMs = 60000);
    QString target(const QString &scheme) const;

    IsolatedHome m_home;
    QTemporaryDir m_local;
    RealSshServer m_ssh;
    RealFtpServer m_ftps{RealFtpServer::Kind::Vsftpd};
    RealFtpServer m_ftp{RealFtpServer::Kind::Pyftpdlib};
};

void SecureUploadTest::initTestCase()
{
    QString problem = m_ssh.start();
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
    m_ftps.requireTls();
    problem = m_ftps.start();
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
    problem = m_ftp.start();
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
}

// Every test starts with no SSH agent, no keys, nothing known and nothing pinned.
void SecureUploadTest::init()
{
    qunsetenv("SSH_AUTH_SOCK");
    QDir(m_home.path() + "/.ssh").removeRecursively();
    QDir(m_home.path()).mkpath(".ssh");
    QFile::remove(m_home.path() + "/pins.txt");
}

UploadEntry SecureUploadTest::entry(const QString &file, const QString &target, const QString &password, quint16 port) const
{
    return {file, target, QString::fromLatin1(RealFtpServer::SystemUser), password, QString::number(port)};
}

RunResult SecureUploadTest::run(const QList<UploadEntry> &entries, HostTrust *trust, int silenceLimitMs)
{
    ChoreProgress progress;
    UploadServices services;
    services.hostTrust = trust;
    services.pinnedCertificates = m_home.path() + "/pins.txt";
    services.silenceLimitMs = silenceLimitMs;
    runUploads(entries, progress, services);
    return {progress.takeLog(), progress.failures()};
}

void SecureUploadTest::eachProtocol_storesTheFileWhole_data()
{
    QTest::addColumn<QString>("scheme");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("size");
    QTest::addColumn<QString>("logged"); // a line that shows the protocol at work

    for (const char *scheme : {"sftp", "ftps", "ftp"}) {
        const QString logged = QString::fromLatin1(scheme) == "sftp" ? "Logged in with the password."
            : QString::fromLatin1(scheme) == "ftps"                 ? "Uploading over FTPS"
                                                                     : "Transfer complete";
        QTest::addRow("%s, empty", scheme) << scheme << "empty.bin" << 0 << logged;
        QTest::addRow("%s, non-ASCII name", scheme) << scheme << QStringLiteral("Übersicht – 日本.bin") << 70001 << logged;
        QTest::addRow("%s, 50 MB", scheme) << scheme << "large.bin" << (50 << 20) << logged;
    }
}

QString SecureUploadTest::target(const QString &scheme) const
{
    if (scheme == "sftp")
        return "sftp://127.0.0.1/" + m_ssh.folder("in"); // two slashes: an absolute folder
    return scheme + "://127.0.0.1/in";
}

void SecureUploadTest::eachProtocol_storesTheFileWhole()
{
    QFETCH(QString, scheme);
    QFETCH(QString, name);
    QFETCH(int, size);
    QFETCH(QString, logged);

    const QByteArray content = randomBytes(size);
    const QString source = writeFile(m_local.filePath(scheme + "/" + name), content);
    const quint16 port = scheme == "sftp" ? m_ssh.port() : scheme == "ftps" ? m_ftps.port() : m_ftp.port();
    const QString folder = scheme == "sftp" ? m_ssh.folder("in") : scheme == "ftps" ? m_ftps.makeFolder("in") : m_ftp.makeFolder("in");
    QFile::remove(folder + "/" + name);
    ScriptedTrust trust;
    const RunResult result = run({entry(source, target(scheme), RealFtpServer::Password, port)}, &trust);

    QVERIFY2(result.failures.isEmpty(), qPrintable(result.report()));
    QVERIFY2(result.log.contains(logged), qPrintable(result.log.join('\n')));
    QCOMPARE(readFile(folder + "/" + name), content);
    QVERIFY2(filesIn(folder).filter(".part").isEmpty(), qPrintable(filesIn(folder).join(' '))); // no temporary left
    QVERIFY(!result.log.join('\n').contains(RealFtpServer::Password));
}

void SecureUploadTest::temporaryLeftBehind_isResumed_data()
{
    QTest::addColumn<QString>("scheme");
    for (const char *scheme : {"sftp", "ftps", "ftp"})
        QTest::newRow(scheme) << scheme;
}

// What a run cut off by a dropped connection leaves: the temporary with the first part.
void SecureUploadTest::temporaryLeftBehind_isResumed()
{
    QFETCH(QString, scheme);
    const QByteArray content = randomBytes(3 << 20);
    const QString source = writeFile(m_local.filePath("resume-" + scheme + "/app.tar"), content);
    const quint16 port = scheme == "sftp" ? m_ssh.port() : scheme == "ftps" ? m_ftps.port() : m_ftp.port();
    const QString folder = scheme == "sftp" ? m_ssh.folder("resume") : scheme == "ftps" ? m_ftps.makeFolder("resume") : m_ftp.makeFolder("resume");
    const QString temporary = temporaryUploadName(source, "app.tar");
    writeFile(folder + "/" + temporary, content.first(1 << 20));
    if (scheme != "ftp") // owned by the server's user
        QProcess::execute("chown", {RealFtpServer::SystemUser, folder + "/" + temporary});
    const QString url = scheme == "sftp" ? "sftp://127.0.0.1/" + folder : scheme + "://127.0.0.1/resume";

    ScriptedTrust trust;
    const RunResult result = run({entry(source, url, RealFtpServer::Password, port)}, &trust);
    QVERIFY2(result.failures.isEmpty(), qPrintable(result.report()));
    QVERIFY2(result.log.contains("Resuming the upload at byte 1048576 of 3145728."), qPrintable(result.log.join('\n')));
    QCOMPARE(filesIn(folder), QStringList{"app.tar"});
    QVERIFY(readFile(folder + "/app.tar") == content);
}

void SecureUploadTest::sshLogin_agentKeyFilePassword_data()
{
    QTest::addColumn<QString>("login");    // agent, key, other-key, password, wrong-password
    QTest::addColumn<QString>("expected"); // the log line, or the start of the failure

    QTest::newRow("agent") << "agent" << "Logged in with a key of the SSH agent.";
    QTest::newRow("key file") << "key" << "Logged in with a key file.";
    QTest::newRow("password") << "password" << "Logged in with the password.";
    QTest::newRow("wrong password") << "wrong-password" << "The server refused the login: Access denied";
    QTest::newRow("refused key, no password") << "other-key" << "The server refused the login: Access denied";
}

void SecureUploadTest::sshLogin_agentKeyFilePassword()
{
    QFETCH(QString, login);
    QFETCH(QString, expected);

    if (login == "agent") {
        const QString socket = m_ssh.startAgent();
        QVERIFY(!socket.isEmpty());
        qputenv("SSH_AUTH_SOCK", QFile::encodeName(socket));
    }
    const QString key = m_home.path() + "/.ssh/id_ed25519";
    if (login == "key")
        QVERIFY(QFile::copy(m_ssh.clientKey(), key));
    if (login == "other-key")
        QCOMPARE(QProcess::execute("ssh-keygen", {"-q", "-t", "ed25519", "-N", "", "-f", key}), 0);
    const QString password = login == "password" ? RealFtpServer::Password : login == "wrong-password" ? "not-it" : "";

    const QString folder = m_ssh.folder("login");
    const QString tag = QString::number(qHash(login));
    const QString first = writeFile(m_local.filePath("login/first" + tag), "first");
    const QString second = writeFile(m_local.filePath("login/second" + tag), "second");
    ScriptedTrust trust;
    // The host by an alias of ~/.ssh/config, which names the port: the dialog's "21" leaves it so.
    writeFile(m_home.path() + "/.ssh/config", "Host sshtest\n  HostName 127.0.0.1\n  Port " + QByteArray::number(m_ssh.port()) + "\n");
    const RunResult result = run({entry(first, "sftp://sshtest/" + folder, password, 21),
                                  entry(second, "sftp://sshtest/" + folder, RealFtpServer::Password, 21)},
                                 &trust);

    if (expected.startsWith("Logged in")) {
        QCOMPARE(result.failures, QList<ChoreFailure>());
        QVERIFY2(result.log.contains(expected), qPrintable(result.log.join('\n')));
        QCOMPARE(readFile(folder + "/first" + tag), QByteArray("first"));
    } else {
        QCOMPARE(result.failures.size(), 1);
        QCOMPARE(result.failures.first().item, first);
        QVERIFY2(result.failures.first().reason.startsWith(expected), qPrintable(result.failures.first().reason));
        QVERIFY(!QFile::exists(folder + "/first" + tag));
    }
    // The next entry runs, whatever became of the first.
    QCOMPARE(readFile(folder + "/second" + tag), QByteArray("second"));
    QVERIFY(!result.log.join('\n').contains("not-it"));
}

void SecureUploadTest::sftpTarget_portAndPath_data()
{
    QTest::addColumn<QString>("url");  // {port}: sshd's, {files}: an absolute folder
    QTest::addColumn<QString>("port"); // the entry's Port field
    QTest::addColumn<QString>("in");   // where the file lands: below {files}, or {home}

    QTest::newRow("absolute, the URL's port, no Port") << "sftp://127.0.0.1:{port}{files}/abs" << "" << "{files}/abs";
    QTest::newRow("the URL's port wins over the Port") << "sftp://127.0.0.1:{port}{files}/abs" << "1" << "{files}/abs";
    QTest::newRow("two slashes are absolute too") << "sftp://127.0.0.1/{files}/abs" << "{port}" << "{files}/abs";
    QTest::newRow("~/ starts in the home folder") << "sftp://127.0.0.1:{port}/~/rel/" << "" << "{home}/rel";
    QTest::newRow("~ is the home folder") << "sftp://127.0.0.1:{port}/~" << "" << "{home}";
    QTest::newRow("no path is the home folder") << "sftp://127.0.0.1:{port}" << "" << "{home}";
    QTest::newRow("~/.ssh/config's port, no Port") << "sftp://sshtest/~/rel" << "" << "{home}/rel";
    QTest::newRow("~/.ssh/config's port, the old 21") << "sftp://sshtest{files}/abs" << "21" << "{files}/abs";
}

// Absolute as every SFTP client reads the path, "~/" in the home folder, which is not the
// root here; the port from the URL, the Port field or ~/.ssh/config.
void SecureUploadTest::sftpTarget_portAndPath()
{
    QFETCH(QString, url);
    QFETCH(QString, port);
    QFETCH(QString, in);
    const QString files = QFileInfo(m_ssh.folder("abs")).path();
    m_ssh.folder("home/rel");
    const auto expand = [&](QString text) {
        return text.replace("{port}", QString::number(m_ssh.port())).replace("{files}", files).replace("{home}", m_ssh.home());
    };
    writeFile(m_home.path() + "/.ssh/config", "Host sshtest\n  HostName 127.0.0.1\n  Port " + QByteArray::number(m_ssh.port()) + "\n");
    const QString name = QStringLiteral("path-%1.txt").arg(qHash(QString::fromLatin1(QTest::currentDataTag())));
    const QString source = writeFile(m_local.filePath("paths/" + name), "where");
    ScriptedTrust trust;
    const RunResult result = run({{source, expand(url), RealSshServer::User, RealSshServer::Password, expand(port)}}, &trust);
    QVERIFY2(result.failures.isEmpty(), qPrintable(result.report()));
    QCOMPARE(readFile(expand(in) + "/" + name), QByteArray("where"));
}

void SecureUploadTest::sshHostKey_unknownAskedChangedRefused()
{
    const QString folder = m_ssh.folder("trust");
    const QString source = writeFile(m_local.filePath("trust/file.bin"), "trusted");
    const QList<UploadEntry> entries = {entry(source, "sftp://127.0.0.1/" + folder, RealFtpServer::Password, m_ssh.port())};
    const QString knownHosts = m_home.path() + "/.ssh/known_hosts";
    const QString fingerprint = m_ssh.hostKeyFingerprint();

    // Refused without anyone to ask, as on the command line: the fingerprint is told.
    RunResult result = run(entries, nullptr);
    QCOMPARE(result.failures.size(), 1);
    QVERIFY2(result.failures.first().reason.contains(fingerprint), qPrintable(result.failures.first().reason));
    // Answered no: nothing uploaded, nothing known.
    ScriptedTrust no(false);
    result = run(entries, &no);
    QCOMPARE(no.questions.size(), 1);
    QVERIFY2(no.questions.first().startsWith("The server 127.0.0.1 port " + QString::number(m_ssh.port()) + " presents key " + fingerprint),
             qPrintable(no.questions.first()));
    QVERIFY(no.questions.first().endsWith("Trust it?"));
    QCOMPARE(result.failures.size(), 1);
    QVERIFY(!QFile::exists(folder + "/file.bin"));
    QVERIFY(!QFile::exists(knownHosts) || readFile(knownHosts).isEmpty());
    // Answered yes: known_hosts gains the key, and the next run asks no more.
    ScriptedTrust yes(true);
    result = run(entries, &yes);
    QCOMPARE(result.failures, QList<ChoreFailure>());
    QVERIFY(readFile(knownHosts).contains("[127.0.0.1]:" + QByteArray::number(m_ssh.port())));
    QCOMPARE(readFile(folder + "/file.bin"), QByteArray("trusted"));
    result = run(entries, &yes);
    QCOMPARE(yes.questions.size(), 1);
    QCOMPARE(result.failures, QList<ChoreFailure>());

    // A changed key is refused without a question, and nothing is sent; the message says how
    // to trust the new key, once: the next entry to that server is not tried.
    QFile::remove(folder + "/file.bin");
    QVERIFY(m_ssh.changeHostKey().isEmpty());
    result = run(entries + entries, &yes);
    QCOMPARE(yes.questions.size(), 1);
    QCOMPARE(result.failures.size(), 2);
    QVERIFY2(result.failures[0].reason.contains("has changed")
                 && result.failures[0].reason.contains("\"ssh-keygen -R [127.0.0.1]:" + QString::number(m_ssh.port()) + "\""),
             qPrintable(result.failures[0].reason));
    QCOMPARE(result.failures[1].reason, "Not uploaded: the host key of 127.0.0.1:" + QString::number(m_ssh.port())
                                            + " has changed, as told for the first upload to it.");
    QCOMPARE(result.log.filter("Connecting to").size(), 1);
    QVERIFY(!QFile::exists(folder + "/file.bin"));
}

void SecureUploadTest::tlsCertificate_pinnedThenADifferentOneRefused()
{
    RealFtpServer server(RealFtpServer::Kind::Vsftpd);
    server.requireTls();
    QVERIFY(server.start().isEmpty());
    const QString folder = server.makeFolder("pin");
    const QString source = writeFile(m_local.filePath("pin/file.bin"), "pinned");
    const QList<UploadEntry> entries = {entry(source, "ftps://127.0.0.1/pin", RealFtpServer::Password, server.port())};
    const QString pins = m_home.path() + "/pins.txt";

    ScriptedTrust no(false);
    RunResult result = run(entries, &no);
    QCOMPARE(no.questions.size(), 1);
    const QString fingerprint = sha256Of(server.certificatePath());
    QVERIFY2(no.questions.first().contains("the SHA-256 fingerprint " + fingerprint + ". Trust it?"), qPrintable(no.questions.first()));
    QCOMPARE(result.failures.size(), 1);
    QVERIFY(!QFile::exists(folder + "/file.bin"));
    QVERIFY(!QFile::exists(pins));

    ScriptedTrust yes(true);
    result = run(entries, &yes);
    QCOMPARE(result.failures, QList<ChoreFailure>());
    QCOMPARE(readFile(folder + "/file.bin"), QByteArray("pinned"));
    QCOMPARE(QFile::permissions(pins) & 0x0077, QFile::Permissions()); // the user's alone
    QVERIFY(readFile(pins).contains(fingerprint.toLatin1()));
    result = run(entries, &yes);
    QCOMPARE(yes.questions.size(), 1);
    QVERIFY(!result.log.join('\n').contains(fingerprint)); // a pinned fingerprint is never told

    QVERIFY(server.renewCertificate().isEmpty());
    QFile::remove(folder + "/file.bin");
    result = run(entries, &yes);
    QCOMPARE(yes.questions.size(), 1);
    QCOMPARE(result.failures.size(), 1);
    QVERIFY2(result.failures.first().reason.contains("has changed"), qPrintable(result.failures.first().reason));
    QVERIFY2(result.failures.first().reason.contains("remove the line of 127.0.0.1:" + QString::number(server.port()) + " from "
                                                     + pins + " and upload again to trust the new one."),
             qPrintable(result.failures.first().reason));
    QVERIFY(!result.failures.first().reason.contains(fingerprint));
    QVERIFY(!QFile::exists(folder + "/file.bin"));
}

void SecureUploadTest::silentServer_endsWithTheTimeOut_data()
{
    QTest::addColumn<QString>("scheme");
    QTest::newRow("sftp") << "sftp";
    QTest::newRow("ftps") << "ftps";
    QTest::newRow("ftp") << "ftp";
}

// A server that takes the connection and then says nothing.
void SecureUploadTest::silentServer_endsWithTheTimeOut()
{
    QFETCH(QString, scheme);
    QTcpServer silent;
    QVERIFY(silent.listen(QHostAddress::LocalHost));
    const QString source = writeFile(m_local.filePath("silent/file.bin"), "never");
    ScriptedTrust trust;
    const RunResult result = run({entry(source, scheme + "://127.0.0.1/in", "pw", silent.serverPort()),
                                  entry(m_local.filePath("silent/missing.bin"), scheme + "://127.0.0.1/in", "pw", 21)},
                                 &trust, 1500);
    QCOMPARE(result.failures.size(), 2);
    QCOMPARE(result.failures.first().reason, QStringLiteral("The server did not answer for 1.5 seconds."));
    QCOMPARE(result.failures.last().reason, QStringLiteral("File does not exist"));
}

void SecureUploadTest::cancelDuringTheHandshake_endsAtOnce()
{
    QTcpServer silent;
    QVERIFY(silent.listen(QHostAddress::LocalHost));
    const QString source = writeFile(m_local.filePath("handshake/file.bin"), "never");
    for (const QString scheme : {"sftp", "ftps"}) {
        const QList<UploadEntry> entries = {entry(source, scheme + "://127.0.0.1/in", "pw", silent.serverPort())};
        ChoreRunner runner;
        QTimer::singleShot(300, &runner, &ChoreRunner::cancel);
        QElapsedTimer clock;
        clock.start();
        const ChoreReport report = runner.run("Uploading", [&entries](ChoreProgress &progress) { runUploads(entries, progress); });
        QVERIFY(report.cancelled);
        QVERIFY(!report.error);
        QVERIFY2(clock.elapsed() < 10000, qPrintable(scheme)); // not the minute a silent server is given
    }
}

void SecureUploadTest::cannotConnectBack_goesPassive_data()
{
    QTest::addColumn<RealFtpServer::Kind>("kind");
    QTest::addColumn<QString>("reason"); // why, as the log tells it

    QTest::newRow("PORT refused") << RealFtpServer::Kind::PyftpdlibPassiveOnly << "500 Active mode is not allowed here.";
    QTest::newRow("425 to STOR") << RealFtpServer::Kind::PyftpdlibRefusesAfterStore << "425 Failed to establish connection.";
    QTest::newRow("STOR taken, never connects")
        << RealFtpServer::Kind::PyftpdlibNeverConnects << "it did not connect within 10 seconds";
}

void SecureUploadTest::cannotConnectBack_goesPassive()
{
    QFETCH(RealFtpServer::Kind, kind);
    QFETCH(QString, reason);
    RealFtpServer server(kind);
    QVERIFY(server.start().isEmpty());
    server.makeFolder("in");
    const QByteArray content = randomBytes(300000);
    const QString source = writeFile(m_local.filePath("nat/file.bin"), content);
    const RunResult result = run({entry(source, "ftp://127.0.0.1/in", RealFtpServer::Password, server.port())}, nullptr);
    QVERIFY2(result.failures.isEmpty(), qPrintable(result.report()));
    QCOMPARE(filesIn(server.root() + "/in"), QStringList{"file.bin"});
    QCOMPARE(readFile(server.root() + "/in/file.bin"), content);
    QCOMPARE(result.log.filter("trying passive mode").size(), 1);
    QVERIFY2(result.log.contains("The server cannot connect back for an active transfer (" + reason + "): trying passive mode."),
             qPrintable(result.log.join('\n')));
}

// What a run cut off on its way left behind is of no use to a server that cannot go on with
// it: the whole file goes again.
void SecureUploadTest::resumeRefused_uploadsTheWholeFileAgain()
{
    RealFtpServer server(RealFtpServer::Kind::PyftpdlibWithoutResume);
    QVERIFY(server.start().isEmpty());
    const QString folder = server.makeFolder("in");
    const QByteArray content = randomBytes(1 << 20);
    const QString source = writeFile(m_local.filePath("noresume/app.tar"), content);
    const QString temporary = temporaryUploadName(source, "app.tar");
    writeFile(folder + "/" + temporary, QByteArray(300000, 'y'));

    const RunResult result = run({entry(source, "ftp://127.0.0.1/in", RealFtpServer::Password, server.port())}, nullptr);
    QVERIFY2(result.failures.isEmpty(), qPrintable(result.report()));
    QCOMPARE(filesIn(folder), QStringList{"app.tar"});
    QVERIFY(readFile(folder + "/app.tar") == content);
    QCOMPARE(result.log.filter("refused to resume").size(), 1);
    QVERIFY2(result.log.contains("The server refused to resume the upload (502 Command not implemented.): uploading the "
                                 "whole file again."),
             qPrintable(result.log.join('\n')));
}

void SecureUploadTest::renameRefused_storesDirectly()
{
    RealFtpServer server(RealFtpServer::Kind::PyftpdlibWithoutRename);
    QVERIFY(server.start().isEmpty());
    server.makeFolder("in");
    const QByteArray content = randomBytes(200000);
    const QString source = writeFile(m_local.filePath("norename/file.bin"), content);
    const RunResult result = run({entry(source, "ftp://127.0.0.1/in", RealFtpServer::Password, server.port())}, nullptr);
    QCOMPARE(result.failures, QList<ChoreFailure>());
    QCOMPARE(filesIn(server.root() + "/in"), QStringList{"file.bin"});
    QCOMPARE(readFile(server.root() + "/in/file.bin"), content);
    QVERIFY(result.log.contains("The server refused to rename the uploaded file (550 Renaming is not allowed here.): "
                                "storing it under its own name directly."));
}

QTEST_GUILESS_MAIN(SecureUploadTest)
#include "secure_upload_test.moc"
