// The client's dialogue with a scripted server: the replies and failures no real server gives.
#include "FtpEventLog.h"
#include "ScriptedFtpServer.h"
#include "support/TestSupport.h"
#include "upload/FtpClient.h"
#include "upload/FtpReplyError.h"

#include <QtTest>

#include <cerrno>
#include <functional>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using Setup = std::function<void(ScriptedFtpServer &, FtpClient &)>;
Q_DECLARE_METATYPE(Setup)

namespace {

using Answer = ScriptedFtpServer::Answer;

struct Outcome
{
    QString error; // empty when the call succeeded
    int code = 0;  // the reply code of an FtpReplyError
};

Outcome outcomeOf(const std::function<void()> &call)
{
    try {
        call();
        return {};
    } catch (const FtpReplyError &e) {
        return {e.message(), e.code()};
    } catch (const Error &e) {
        return {e.message(), 0};
    } catch (const std::exception &e) {
        return {QString::fromUtf8(e.what()), 0};
    }
}

// A client that logs in as bob, unless a test says otherwise.
class Client : public FtpClient
{
public:
    Client()
    {
        setUsername(QStringLiteral("bob"));
        setPassword(QStringLiteral("secret"));
    }
};

void pointAt(FtpClient &client, quint16 port)
{
    client.setHost(QStringLiteral("127.0.0.1"));
    client.setPort(port);
}

quint16 closedPort()
{
    QTcpServer server;
    server.listen(QHostAddress::LocalHost);
    return server.serverPort(); // closed again when the server goes
}

// A listener whose one-place queue is taken, so further connection attempts get no answer.
class SilentListener
{
public:
    SilentListener()
    {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        ::bind(m_listener, reinterpret_cast<sockaddr *>(&address), length);
        ::listen(m_listener, 0);
        ::getsockname(m_listener, reinterpret_cast<sockaddr *>(&address), &length);
        m_port = ntohs(address.sin_port);
        ::connect(m_filler, reinterpret_cast<sockaddr *>(&address), length);
    }
    ~SilentListener()
    {
        ::close(m_filler);
        ::close(m_listener);
    }
    quint16 port() const { return m_port; }

private:
    int m_listener = ::socket(AF_INET, SOCK_STREAM, 0);
    int m_filler = ::socket(AF_INET, SOCK_STREAM, 0);
    quint16 m_port = 0;
};

const QStringList Login = {"USER bob", "PASS secret", "FEAT", "TYPE I", "SYST"};

} // namespace

class FtpClientTest : public QObject
{
    Q_OBJECT

private slots:
    void connect_followsServerDialogue_data();
    void connect_followsServerDialogue();
    void connect_failsBeforeDialogue_data();
    void connect_failsBeforeDialogue();
    void waits_keepEventLoopRunning_data();
    void waits_keepEventLoopRunning();
    void waits_goOnWhenApplicationQuits();
    void slotDuringWait_cannotDisturbCall_data();
    void slotDuringWait_cannotDisturbCall();
    void connection_closedByServer_isToleratedOnDisconnect();
    void connect_whileConnected_keepsConnection();
    void commands_refuseLineBreaks();
    void put_finishesDataOperation_data();
    void put_finishesDataOperation();
    void put_announcesListenerAddress_data();
    void put_announcesListenerAddress();
    void put_missingFile_failsBeforeTransfer();
    void portArgument_formatsAddressAndPort_data();
    void portArgument_formatsAddressAndPort();

private:
    QTemporaryDir m_dir;
};

void FtpClientTest::connect_followsServerDialogue_data()
{
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<QStringList>("commands"); // before the QUIT of the disconnect
    QTest::addColumn<QString>("error");
    QTest::addColumn<int>("code");

    const auto answer = [](const QByteArray &verb, const QByteArray &reply) {
        return Setup([=](ScriptedFtpServer &server, FtpClient &) { server.on(verb, {reply}); });
    };
    const auto greeting = [](const Answer &greeting) {
        return Setup([=](ScriptedFtpServer &server, FtpClient &) { server.setGreeting(greeting); });
    };

    QTest::newRow("plain login") << Setup() << Login << "" << 0;
    QTest::newRow("multi-line greeting") << greeting({"220-Welcome\r\n220-to the\r\n220 scripted server\r\n"}) << Login << "" << 0;
    const auto slowGreeting = [](const Answer &greeting) {
        return Setup([=](ScriptedFtpServer &server, FtpClient &client) {
            server.setGreeting(greeting);
            client.setReadTimeout(200);
        });
    };
    QTest::newRow("silence past ReadTimeout before a reply") << slowGreeting({{}, false, 700, "220 Late\r\n"}) << Login << "" << 0;
    QTest::newRow("silence past ReadTimeout inside a reply") << slowGreeting({"220-Hello\r\n", false, 700, "220 there\r\n"})
                                                            << Login << "" << 0;
    QTest::newRow("230 after USER") << answer("USER", "230 No password needed\r\n")
                                    << QStringList{"USER bob", "FEAT", "TYPE I", "SYST"} << "" << 0;
    QTest::newRow("reply of a code alone") << answer("PASS", "230\r\n") << Login << "" << 0;
    QTest::newRow("332 after PASS") << answer("PASS", "332 Need account for login.\r\n") << QStringList{"USER bob", "PASS secret"}
                                    << "Need account for login." << 332;
    QTest::newRow("332 answered with the account") << Setup([](ScriptedFtpServer &server, FtpClient &client) {
        server.on("PASS", {"332 Need account for login.\r\n"});
        server.on("ACCT", {"230 Logged in\r\n"});
        client.setAccount(QStringLiteral("acme"));
    }) << QStringList{"USER bob", "PASS secret", "ACCT acme", "FEAT", "TYPE I", "SYST"} << "" << 0;
    QTest::newRow("FEAT unknown") << answer("FEAT", "500 Unknown command\r\n") << Login << "" << 0;
    QTest::newRow("FEAT indented, SITE ZONE") << Setup([](ScriptedFtpServer &server, FtpClient &) {
        server.on("FEAT", {"211-Extensions supported:\r\n  SITE PSWD;SET;ZONE;CHMOD\r\n MDTM\r\n211 End\r\n"});
        server.on("SITE", {"210 UTC-300\r\n"});
    }) << Login + QStringList{"SITE ZONE"} << "" << 0;
    QTest::newRow("FEAT SITE without ZONE") << answer("FEAT", "211-Extensions:\r\n SITE CHMOD;UMASK\r\n211 End\r\n") << Login << ""
                                            << 0;
    QTest::newRow("greeting of a server with zones") << greeting({"220 Serv-U FTP Server v6.4 for WinSock ready...\r\n"})
                                                     << Login + QStringList{"SITE ZONE"} << "" << 0;
    QTest::newRow("otp-md5 challenge") << Setup([](ScriptedFtpServer &server, FtpClient &client) {
        server.on("USER", {"331 Response to otp-md5 99 TeSt required for skey.\r\n"});
        client.setPassword(QStringLiteral("This is a test."));
    }) << QStringList{"USER bob", "PASS BAIL TUFT BITS GANG CHEF THY", "FEAT", "TYPE I", "SYST"} << "" << 0;
    QTest::newRow("otp-sha1 challenge") << Setup([](ScriptedFtpServer &server, FtpClient &client) {
        server.on("USER", {"331-One-time password:\r\n331 otp-sha1 1 alpha1 ext\r\n"});
        client.setPassword(QStringLiteral("AbCdEfGhIjK"));
    }) << QStringList{"USER bob", "PASS RITE TAKE GELD COST TUNE RECK", "FEAT", "TYPE I", "SYST"} << "" << 0;
    QTest::newRow("ASCII type") << Setup([](ScriptedFtpServer &, FtpClient &client) {
        client.setTransferType(FtpClient::TransferType::Ascii);
    }) << QStringList{"USER bob", "PASS secret", "FEAT", "TYPE A", "SYST"} << "" << 0;
    QTest::newRow("no auto login") << Setup([](ScriptedFtpServer &, FtpClient &client) { client.setAutoLogin(false); })
                                   << QStringList{"SYST"} << "" << 0;
    QTest::newRow("wrong password") << answer("PASS", "530 Login incorrect.\r\n") << QStringList{"USER bob", "PASS secret"}
                                    << "Login incorrect." << 530;
    QTest::newRow("TYPE refused") << answer("TYPE", "504 Not implemented\r\n") << QStringList{"USER bob", "PASS secret", "FEAT", "TYPE I"}
                                  << "Not implemented" << 504;
    QTest::newRow("greeting not 220") << greeting({"421 Too many users\r\n"}) << QStringList() << "Too many users" << 421;
    QTest::newRow("malformed code") << greeting({"abc Hello\r\n220 Ready\r\n"}) << QStringList() << "Reply Code is not valid: abc" << 0;
    QTest::newRow("over-long line") << greeting({"220 " + QByteArray(20000, 'x') + "\r\n"}) << QStringList()
                                    << "Max line length exceeded." << 0;
    QTest::newRow("closed mid-reply") << greeting({"220-Welcome\r\n", false, 0, {}, true}) << QStringList()
                                      << "Connection Closed Gracefully." << 0;
}

void FtpClientTest::connect_followsServerDialogue()
{
    QFETCH(Setup, setup);
    QFETCH(QStringList, commands);
    QFETCH(QString, error);
    QFETCH(int, code);

    ScriptedFtpServer server;
    Client client;
    FtpEventLog log(client);
    if (setup)
        setup(server, client);
    pointAt(client, server.start());

    const Outcome outcome = outcomeOf([&] { client.connectToHost(); });
    QCOMPARE(outcome.error, error);
    QCOMPARE(outcome.code, code);
    QStringList statuses = {"Connecting to 127.0.0.1.", "Connected."};
    if (error.isEmpty()) {
        statuses.append("Connection established");
        QCOMPARE(outcomeOf([&] { client.disconnectFromHost(); }).error, QString());
    } else {
        QCOMPARE(outcomeOf([&] { client.changeDir("x"); }).error, QStringLiteral("Not Connected"));
    }
    statuses << "Disconnecting." << "Disconnected.";
    QCOMPARE(log.statuses, statuses);
    server.finish();
    if (!error.startsWith("Connection Closed"))
        commands.append("QUIT");
    QCOMPARE(server.commands(), commands);
}

void FtpClientTest::connect_failsBeforeDialogue_data()
{
    QTest::addColumn<QString>("host");
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("error"); // its beginning
    QTest::addColumn<QStringList>("statuses");

    const quint16 closed = closedPort();
    QTest::newRow("refused") << "127.0.0.1" << int(closed)
                             << QStringLiteral("Socket Error # %1\r\n%2").arg(ECONNREFUSED).arg(qt_error_string(ECONNREFUSED))
                             << QStringList{"Connecting to 127.0.0.1."};
    QTest::newRow("refused by name") << "localhost" << int(closed) << "Socket Error # "
                                     << QStringList{"Resolving hostname localhost.", "Connecting to 127.0.0.1."};
    QTest::newRow("unknown host") << "no-such-host.invalid" << 21 << "Socket Error # "
                                  << QStringList{"Resolving hostname no-such-host.invalid."};
    QTest::newRow("no host") << "" << 21 << "A host name is required" << QStringList();
    QTest::newRow("no port") << "127.0.0.1" << 0 << "A port is required" << QStringList();
}

void FtpClientTest::connect_failsBeforeDialogue()
{
    QFETCH(QString, host);
    QFETCH(int, port);
    QFETCH(QString, error);
    QFETCH(QStringList, statuses);

    Client client;
    FtpEventLog log(client);
    client.setHost(host);
    client.setPort(quint16(port));
    const Outcome outcome = outcomeOf([&] { client.connectToHost(); });
    QVERIFY2(outcome.error.startsWith(error), qPrintable(outcome.error));
    QCOMPARE(log.statuses, statuses);
    QCOMPARE(outcomeOf([&] { client.disconnectFromHost(); }).error, QString());
    QCOMPARE(log.statuses, statuses);
}

void FtpClientTest::waits_keepEventLoopRunning_data()
{
    QTest::addColumn<QString>("wait");
    QTest::addColumn<QString>("error");

    QTest::newRow("for a reply") << "reply" << "";
    QTest::newRow("for the server to take data") << "send" << "";
    QTest::newRow("for the data connection") << "data" << "Accept timed out.";
    QTest::newRow("for the connection") << "connect" << "Connect timed out.";
}

void FtpClientTest::waits_keepEventLoopRunning()
{
    QFETCH(QString, wait);
    QFETCH(QString, error);

    ScriptedFtpServer server;
    SilentListener silent;
    Client client;
    FtpEventLog log(client);
    server.setGreeting({{}, false, wait == "reply" ? 600 : 0, "220 Slow server\r\n"});
    if (wait == "data")
        server.on("STOR", {"150 Opening\r\n", false, 1500, "226 Nothing received\r\n"});
    if (wait == "send") // more than the socket buffers hold, and a server that takes its time
        server.on("STOR", {"150 Opening\r\n", true, 1500, "226 Transfer complete\r\n"});
    pointAt(client, wait == "connect" ? silent.port() : server.start());
    client.setConnectTimeout(600);
    client.setListenTimeout(600);
    const QString file = writeFile(m_dir.filePath("wait.txt"), QByteArray(wait == "send" ? 64 << 20 : 4, 'w'));

    TickCounter counter;
    int ticksBeforeSending = -1;
    int ticksWhileSending = 0;
    QObject::connect(&client, &FtpClient::workBegin, &client, [&] { ticksBeforeSending = counter.ticks; });
    QObject::connect(&client, &FtpClient::workEnd, &client, [&] { ticksWhileSending = counter.ticks - ticksBeforeSending; });
    const Outcome outcome = outcomeOf([&] {
        client.connectToHost();
        client.put(file);
    });
    QCOMPARE(outcome.error, error);
    QVERIFY2(counter.ticks > 0, "the event loop stood still while the client waited");
    if (wait == "send")
        QVERIFY2(ticksWhileSending > 0, "the event loop stood still while the server took no data");
    if (wait == "data")
        QCOMPARE(log.statuses.mid(3), (QStringList{"Starting FTP transfer", "Transfer complete"}));
    client.disconnectFromHost();
}

// Closing the last window quits the application while an upload waits; the waits must still
// see the network rather than spin.
void FtpClientTest::waits_goOnWhenApplicationQuits()
{
    ScriptedFtpServer server;
    server.setGreeting({{}, false, 500, "220 Slow server\r\n"});
    Client client;
    pointAt(client, server.start());
    const QByteArray content = QByteArray("sent after quitting\n").repeated(10000);
    const QString file = writeFile(m_dir.filePath("quit.txt"), content);

    Outcome outcome{QStringLiteral("never ran")};
    QTimer::singleShot(0, &client, [&] {
        QTimer::singleShot(100, &client, [] { QCoreApplication::quit(); });
        outcome = outcomeOf([&] {
            client.connectToHost();
            client.put(file);
            client.disconnectFromHost();
        });
    });
    QCoreApplication::exec();
    QCOMPARE(outcome.error, QString());
    server.finish();
    QCOMPARE(server.received(), content);
}

void FtpClientTest::slotDuringWait_cannotDisturbCall_data()
{
    QTest::addColumn<QString>("wait");
    QTest::addColumn<bool>("destroy"); // else the slot calls the client again
    QTest::addColumn<QString>("error"); // of the slot's call, or of the waiting call when destroyed

    const QString busy = QStringLiteral("The FTP client is still busy with another command.");
    const QString closed = QStringLiteral("The FTP client was closed while it waited for the server.");
    QTest::newRow("reply, used again") << "reply" << false << busy;
    QTest::newRow("send, used again") << "send" << false << busy;
    QTest::newRow("reply, destroyed") << "reply" << true << closed;
    QTest::newRow("send, destroyed") << "send" << true << closed;
}

void FtpClientTest::slotDuringWait_cannotDisturbCall()
{
    QFETCH(QString, wait);
    QFETCH(bool, destroy);
    QFETCH(QString, error);

    ScriptedFtpServer server;
    if (wait == "reply")
        server.setGreeting({{}, false, 500, "220 Slow server\r\n"});
    else // more than the socket buffers hold, and a server that takes its time
        server.on("STOR", {"150 Opening\r\n", true, 500, "226 Transfer complete\r\n"});
    auto client = std::make_unique<Client>();
    pointAt(*client, server.start());
    const QByteArray content(64 << 20, 's');
    const QString file = writeFile(m_dir.filePath("slot.bin"), content);

    QObject context;
    Outcome slot;
    QTimer::singleShot(100, &context, [&] {
        if (destroy)
            client.reset();
        else
            slot = outcomeOf([&] { client->changeDir(QStringLiteral("elsewhere")); });
    });
    const Outcome call = outcomeOf([&] {
        client->connectToHost();
        client->put(file);
        client->disconnectFromHost();
    });
    QCOMPARE(destroy ? call.error : slot.error, error);
    server.finish();
    QCOMPARE(server.commands().filter("CWD"), QStringList());
    if (!destroy) {
        QCOMPARE(call.error, QString());
        QCOMPARE(server.received(), content);
    }
}

void FtpClientTest::connection_closedByServer_isToleratedOnDisconnect()
{
    ScriptedFtpServer server;
    server.on("CWD", {"250 Changed, and goodbye\r\n", false, 0, {}, true});
    Client client;
    FtpEventLog log(client);
    pointAt(client, server.start());
    client.connectToHost();
    client.changeDir(QStringLiteral("first"));

    QCOMPARE(outcomeOf([&] { client.changeDir(QStringLiteral("second")); }).error, QStringLiteral("Connection Closed Gracefully."));
    QCOMPARE(outcomeOf([&] { client.disconnectFromHost(); }).error, QString());
    QCOMPARE(outcomeOf([&] { client.disconnectFromHost(); }).error, QString());
    QCOMPARE(log.statuses.mid(3), (QStringList{"Disconnecting.", "Disconnected."}));
    QCOMPARE(outcomeOf([&] { client.changeDir(QStringLiteral("third")); }).error, QStringLiteral("Not Connected"));

    // The client is reused for the next upload, with nothing left over from this one.
    ScriptedFtpServer next;
    client.setPort(next.start());
    client.connectToHost();
    client.changeDir(QString());
    client.disconnectFromHost();
    next.finish();
    QCOMPARE(next.commands(), Login + QStringList({"CWD ", "QUIT"}));
}

void FtpClientTest::connect_whileConnected_keepsConnection()
{
    ScriptedFtpServer server;
    Client client;
    pointAt(client, server.start());
    client.connectToHost();
    const Outcome again = outcomeOf([&] { client.connectToHost(); });
    QCOMPARE(again.error, QStringLiteral("Already connected."));
    client.changeDir(QStringLiteral("still/here"));
    client.disconnectFromHost();
    server.finish();
    QCOMPARE(server.commands(), Login + QStringList({"CWD still/here", "QUIT"}));
}

void FtpClientTest::commands_refuseLineBreaks()
{
    ScriptedFtpServer server;
    Client client;
    pointAt(client, server.start());
    client.connectToHost();
    const QString file = writeFile(m_dir.filePath("evil\nDELE important.txt"), "x");

    QCOMPARE(outcomeOf([&] { client.changeDir("upload\r\nDELE important.txt"); }).error,
             QStringLiteral("The CWD command cannot carry a line break."));
    QCOMPARE(outcomeOf([&] { client.put(file); }).error, QStringLiteral("The STOR command cannot carry a line break."));
    client.disconnectFromHost();
    server.finish();
    QCOMPARE(server.commands().filter("DELE"), QStringList());
}

void FtpClientTest::put_finishesDataOperation_data()
{
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<QString>("error");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("outcome"); // the last status of the transfer
    QTest::addColumn<QByteArray>("received");

    const QByteArray content = QByteArray("scripted upload\n").repeated(5000);
    const auto answer = [](const QByteArray &verb, const Answer &answer, int listenTimeout = 10000) {
        return Setup([=](ScriptedFtpServer &server, FtpClient &client) {
            server.on(verb, answer);
            client.setListenTimeout(listenTimeout);
        });
    };

    QTest::newRow("stored") << Setup() << "" << 0 << "Transfer complete" << content;
    QTest::newRow("STOR refused") << answer("STOR", {"550 Permission denied.\r\n"}) << "Permission denied." << 550
                                  << "Transfer aborted" << QByteArray();
    QTest::newRow("PORT refused") << answer("PORT", {"500 Illegal PORT command.\r\n"}) << "Illegal PORT command." << 500
                                  << "Transfer aborted" << QByteArray();
    QTest::newRow("refusal instead of a connection")
        << answer("STOR", {"150 Opening\r\n", false, 0, "425 Can't open data connection.\r\n"}) << "Can't open data connection." << 425
        << "Transfer aborted" << QByteArray();
    QTest::newRow("never connects, then done") << answer("STOR", {"150 Opening\r\n", false, 1500, "226 Closing\r\n"}, 500)
                                               << "Accept timed out." << 0 << "Transfer complete" << QByteArray();
    QTest::newRow("never connects, then refuses")
        << answer("STOR", {"150 Opening\r\n", false, 1500, "425 No connection\r\n"}, 500) << "No connection" << 425
        << "Transfer complete" << QByteArray();
    QTest::newRow("final reply refuses") << answer("STOR", {"150 Opening\r\n", true, 0, "451 Disk full\r\n"}) << "Disk full" << 451
                                         << "Transfer complete" << content;
}

void FtpClientTest::put_finishesDataOperation()
{
    QFETCH(Setup, setup);
    QFETCH(QString, error);
    QFETCH(int, code);
    QFETCH(QString, outcome);
    QFETCH(QByteArray, received);

    const QByteArray content = QByteArray("scripted upload\n").repeated(5000);
    const QString file = writeFile(m_dir.filePath("folder/notes.txt"), content);
    ScriptedFtpServer server;
    Client client;
    if (setup)
        setup(server, client);
    pointAt(client, server.start());
    client.connectToHost();
    FtpEventLog log(client);

    const Outcome result = outcomeOf([&] { client.put(file); });
    QCOMPARE(result.error, error);
    QCOMPARE(result.code, code);
    QCOMPARE(log.statuses, (QStringList{"Starting FTP transfer", outcome}));
    QCOMPARE(log.kinds.last(), outcome == "Transfer aborted" ? FtpClient::StatusKind::Aborted : FtpClient::StatusKind::Ready);
    if (!received.isEmpty())
        QVERIFY(log.isUploadOf(content.size()));
    client.disconnectFromHost();
    server.finish();
    QCOMPARE(server.received(), received);
    QCOMPARE(server.commands().last(), QStringLiteral("QUIT")); // the control connection outlived the failure
}

void FtpClientTest::put_announcesListenerAddress_data()
{
    QTest::addColumn<QString>("externalIp");
    QTest::addColumn<QString>("announced");

    QTest::newRow("control connection's address") << "" << "127,0,0,1";
    QTest::newRow("external address") << "10.1.2.3" << "10,1,2,3";
}

void FtpClientTest::put_announcesListenerAddress()
{
    QFETCH(QString, externalIp);
    QFETCH(QString, announced);

    ScriptedFtpServer server;
    server.on("STOR", {"550 Not today.\r\n"});
    Client client;
    pointAt(client, server.start());
    const quint16 dataPort = closedPort();
    client.setDataPort(dataPort);
    client.setExternalIp(externalIp);
    client.connectToHost();
    const QString file = writeFile(m_dir.filePath("a.txt"), "a");
    QCOMPARE(outcomeOf([&] { client.put(file); }).code, 550);
    client.disconnectFromHost();
    server.finish();
    QCOMPARE(server.commands().filter("PORT"), QStringList{QStringLiteral("PORT %1,%2,%3").arg(announced).arg(dataPort / 256).arg(dataPort % 256)});
}

void FtpClientTest::put_missingFile_failsBeforeTransfer()
{
    ScriptedFtpServer server;
    Client client;
    pointAt(client, server.start());
    client.connectToHost();
    FtpEventLog log(client);
    const Outcome outcome = outcomeOf([&] { client.put(m_dir.filePath("missing.txt")); });
    QVERIFY2(outcome.error.startsWith(QStringLiteral("Cannot open file \"%1\"").arg(m_dir.filePath("missing.txt"))), qPrintable(outcome.error));
    QVERIFY(log.statuses.isEmpty());
    client.disconnectFromHost();
    server.finish();
    QCOMPARE(server.commands(), Login + QStringList{"QUIT"});
}

void FtpClientTest::portArgument_formatsAddressAndPort_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("argument");

    QTest::newRow("private network") << "192.168.1.5" << 5001 << "192,168,1,5,19,137";
    QTest::newRow("low port") << "127.0.0.1" << 21 << "127,0,0,1,0,21";
    QTest::newRow("highest port") << "10.0.0.255" << 65535 << "10,0,0,255,255,255";
}

void FtpClientTest::portArgument_formatsAddressAndPort()
{
    QFETCH(QString, address);
    QFETCH(int, port);
    QFETCH(QString, argument);

    QCOMPARE(FtpClient::portArgument(QHostAddress(address), quint16(port)), argument);
}

QTEST_GUILESS_MAIN(FtpClientTest)
#include "ftpclient_test.moc"
