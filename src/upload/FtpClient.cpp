#include "upload/FtpClient.h"

#include "project/RegularFile.h"
#include "upload/FtpReplyError.h"
#include "upload/OneTimePassword.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QFile>
#include <QHostInfo>
#include <QNetworkProxy>
#include <QPointer>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSslConfiguration>
#include <QTcpServer>
#include <QTimer>

#include <cerrno>
#include <chrono>
#include <exception>

#ifdef Q_OS_WIN
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <netdb.h>
#include <sys/socket.h>
#endif

namespace {

constexpr int MaxLineLength = 16384;
constexpr qint64 ChunkSize = 32768;
constexpr int ConnectLimitMs = 120000;
constexpr int ConnectStepMs = 125;
constexpr int ReplyStepMs = 250;
constexpr int SendStepMs = 250;
constexpr int AcceptStepMs = 1000;
constexpr int QuitReplyWindowMs = 10;
constexpr int CancelPollMs = 50;
constexpr int AbortReplyWindowMs = 1000;
constexpr int SessionTicketWaitMs = 1000;

// Thrown when a slot destroyed the client while one of its calls waited: nothing of the
// client may be touched any more, so it is no Error that the calls themselves catch.
class ClientDestroyed : public std::exception
{
public:
    const char *what() const noexcept override { return "The FTP client was closed while it waited for the server."; }
};

// One step of a network wait: the application handles its pending events (repaints, timers,
// input) for at most the step's time and the step ends early once the network stirs.
// It runs the event dispatcher itself rather than a nested event loop: once the application
// is quitting, a nested loop returns at once and the wait would spin without ever reading the
// network again. With a cancel check, the step also ends soon after the check turns true.
class WaitStep
{
public:
    explicit WaitStep(QObject *client, const std::function<bool()> &isCancelled = {})
        : m_client(client), m_isCancelled(isCancelled)
    {
        wakeOn(client, &QObject::destroyed);
    }

    template <typename Sender, typename Signal>
    WaitStep &wakeOn(const Sender *sender, Signal signal)
    {
        QObject::connect(sender, signal, &m_context, [this] { m_woken = true; });
        return *this;
    }

    void run(qint64 ms)
    {
        QTimer::singleShot(std::chrono::milliseconds(qMax<qint64>(ms, 0)), Qt::PreciseTimer, &m_context, [this] { m_woken = true; });
        QTimer cancelPoll;
        if (m_isCancelled && ms > CancelPollMs) {
            QObject::connect(&cancelPoll, &QTimer::timeout, &m_context, [this] { m_woken = m_woken || m_isCancelled(); });
            cancelPoll.start(CancelPollMs);
        }
        while (!m_woken)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        if (!m_client)
            throw ClientDestroyed();
    }

private:
    QPointer<QObject> m_client;
    std::function<bool()> m_isCancelled;
    QObject m_context;
    bool m_woken = false;
};

Error socketError(int number, const QString &text)
{
    return Error(QStringLiteral("Socket Error # %1\r\n%2").arg(number).arg(text));
}

Error socketError(QAbstractSocket::SocketError error)
{
    int number = EIO;
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError: number = ECONNREFUSED; break;
    case QAbstractSocket::RemoteHostClosedError: number = ECONNRESET; break;
    case QAbstractSocket::SocketAccessError: number = EACCES; break;
    case QAbstractSocket::SocketResourceError: number = EMFILE; break;
    case QAbstractSocket::SocketTimeoutError: number = ETIMEDOUT; break;
    case QAbstractSocket::NetworkError: number = ENETUNREACH; break;
    case QAbstractSocket::AddressInUseError: number = EADDRINUSE; break;
    case QAbstractSocket::SocketAddressNotAvailableError: number = EADDRNOTAVAIL; break;
    case QAbstractSocket::UnsupportedSocketOperationError: number = EAFNOSUPPORT; break;
    default: break;
    }
    return socketError(number, qt_error_string(number));
}

qint64 remainingMs(const QDeadlineTimer &deadline, int step)
{
    return deadline.isForever() ? step : qMin<qint64>(step, deadline.remainingTime());
}

QDeadlineTimer deadlineAfter(int ms)
{
    return ms > 0 ? QDeadlineTimer(ms) : QDeadlineTimer(QDeadlineTimer::Forever);
}

// Drops the connection with a reset: what still waits in the system's send buffer is thrown
// away rather than trickling on to the server after the transfer was cancelled.
void resetSocket(QTcpSocket &socket)
{
    if (socket.socketDescriptor() != -1) {
        const linger dropAtOnce{1, 0};
#ifdef Q_OS_WIN
        ::setsockopt(SOCKET(socket.socketDescriptor()), SOL_SOCKET, SO_LINGER, reinterpret_cast<const char *>(&dropAtOnce), sizeof dropAtOnce);
#else
        ::setsockopt(int(socket.socketDescriptor()), SOL_SOCKET, SO_LINGER, &dropAtOnce, sizeof dropAtOnce);
#endif
    }
    socket.abort();
}

// Shuts down the sending side, so the peer sees the end of the data, then closes.
void closeSocket(QTcpSocket &socket)
{
    if (socket.socketDescriptor() != -1) {
#ifdef Q_OS_WIN
        ::shutdown(SOCKET(socket.socketDescriptor()), SD_SEND);
#else
        ::shutdown(int(socket.socketDescriptor()), SHUT_WR);
#endif
    }
    socket.abort();
}

// The remote file name: the local file's name after the last path separator.
QString remoteNameOf(const QString &localPath)
{
#ifdef Q_OS_WIN
    static const QRegularExpression separator(QStringLiteral(R"([\\/:])"));
#else
    static const QRegularExpression separator(QStringLiteral("/"));
#endif
    return localPath.mid(localPath.lastIndexOf(separator) + 1);
}

// The server cannot reach us for an active transfer: PORT refused, "425 Can't open data
// connection" instead of a connection, or no connection at all. Code 0 is the last: the reply
// owed to the store was already dealt with.
class CannotConnectBack : public Error
{
public:
    CannotConnectBack(int code, const QString &text) : Error(text), m_code(code) {}
    int code() const { return m_code; }
    // "425 Failed to establish connection.", for the log.
    QString reason() const { return m_code != 0 ? QStringLiteral("%1 %2").arg(m_code).arg(message()) : message(); }

private:
    int m_code;
};

// Hands out the server's data connections as TLS-capable sockets, encrypted or not.
class DataListener : public QTcpServer
{
protected:
    void incomingConnection(qintptr descriptor) override
    {
        auto *socket = new QSslSocket(this);
        socket->setSocketDescriptor(descriptor);
        addPendingConnection(socket);
    }
};

} // namespace

// Marks one call of the client as running. Its waits service the event loop, so a slot may
// try to use the client again before the call is over, or destroy it.
class FtpClient::Call
{
public:
    explicit Call(FtpClient *client) : m_client(client)
    {
        if (client->m_busy)
            throw Error(QStringLiteral("The FTP client is still busy with another command."));
        client->m_busy = true;
    }
    ~Call()
    {
        if (m_client)
            m_client->m_busy = false;
    }
    Q_DISABLE_COPY_MOVE(Call)

private:
    QPointer<FtpClient> m_client;
};

FtpClient::FtpClient(QObject *parent) : QObject(parent)
{
    m_control.setProxy(QNetworkProxy::NoProxy);
}

FtpClient::~FtpClient() = default;

QString FtpClient::portArgument(const QHostAddress &address, quint16 port)
{
    bool ok = false;
    const quint32 ip = address.toIPv4Address(&ok);
    if (!ok)
        throw Error(QStringLiteral("Not an IPv4 address for PORT: %1").arg(address.toString()));
    return QStringLiteral("%1,%2,%3,%4,%5,%6")
        .arg(ip >> 24)
        .arg((ip >> 16) & 0xFF)
        .arg((ip >> 8) & 0xFF)
        .arg(ip & 0xFF)
        .arg(port / 256)
        .arg(port % 256);
}

// ---- Control connection ----

void FtpClient::requireConnected() const
{
    if (m_control.state() != QAbstractSocket::ConnectedState)
        throw Error(QStringLiteral("Not Connected"));
}

void FtpClient::throwIfCancelled() const
{
    if (m_isCancelled && m_isCancelled())
        throw FtpCancelled();
}

FtpReply FtpClient::sendCmd(const QString &line, const QList<int> &allowed)
{
    requireConnected();
    // A line break inside a folder or file name would smuggle in a command of its own.
    if (line.contains(QLatin1Char('\r')) || line.contains(QLatin1Char('\n')))
        throw Error(QStringLiteral("The %1 command cannot carry a line break.").arg(line.section(QLatin1Char(' '), 0, 0)));
    writeControl(line.toUtf8() + "\r\n");
    return getResponse(allowed);
}

void FtpClient::writeControl(const QByteArray &bytes)
{
    if (!writeAll(m_control, bytes.constData(), bytes.size(), m_readTimeout))
        throw Error(QStringLiteral("Connection Closed Gracefully."));
}

// Sends everything before it returns; false when the peer closed the connection on the way.
// A fast network is fed straight through; while the peer takes no data, the application's
// events are handled in steps, as in every other wait.
bool FtpClient::writeAll(QSslSocket &socket, const char *data, qint64 size, int timeoutMs)
{
    const QDeadlineTimer deadline = deadlineAfter(timeoutMs);
    bool written = socket.write(data, size) == size;
    while (written && socket.bytesToWrite() + socket.encryptedBytesToWrite() > 0) {
        if (socket.waitForBytesWritten(int(remainingMs(deadline, SendStepMs))))
            continue;
        written = socket.error() == QAbstractSocket::SocketTimeoutError && socket.state() == QAbstractSocket::ConnectedState
            && !deadline.hasExpired();
        if (written) {
            throwIfCancelled();
            WaitStep(this).run(0);
        }
    }
    if (written)
        return true;
    if (socket.error() == QAbstractSocket::RemoteHostClosedError)
        return false;
    if (deadline.hasExpired())
        throw silence("took no data", timeoutMs);
    throw socketError(socket.error());
}

FtpReply FtpClient::getResponse(const QList<int> &allowed)
{
    FtpReply reply;
    QDeadlineTimer quietUntil = deadlineAfter(m_silenceLimit);
    for (bool more = true; more;) {
        const QDeadlineTimer readLimit = deadlineAfter(m_readTimeout);
        if (const std::optional<QString> line = readLine(qMin(readLimit, quietUntil))) {
            more = reply.addLine(*line);
            quietUntil = deadlineAfter(m_silenceLimit);
        } else if (quietUntil.hasExpired()) {
            throw silence("did not answer", m_silenceLimit);
        } else if (reply.hasFirstLine())
            more = reply.addLine(QString()); // a silent server inside a reply: keep waiting
        // before the first line a silent server is simply waited for again
    }
    m_lastReply = reply;
    reply.validateCode();
    reply.check(allowed);
    return reply;
}

Error FtpClient::silence(const char *what, int ms)
{
    return Error(QStringLiteral("The server %1 for %2 seconds.").arg(QLatin1String(what)).arg(ms / 1000.0));
}

// The next line from the control connection, without its line end; nothing when the deadline
// ran out first.
std::optional<QString> FtpClient::readLine(const QDeadlineTimer &deadline)
{
    for (;;) {
        if (m_control.canReadLine()) {
            QByteArray line = m_control.readLine();
            line.chop(line.endsWith("\r\n") ? 2 : 1);
            if (line.size() > MaxLineLength)
                throw Error(QStringLiteral("Max line length exceeded."));
            return QString::fromUtf8(line);
        }
        if (m_control.bytesAvailable() > MaxLineLength + 1) {
            m_control.readAll(); // what follows is no longer a reply worth reading
            throw Error(QStringLiteral("Max line length exceeded."));
        }
        if (m_control.state() != QAbstractSocket::ConnectedState) {
            if (m_control.error() != QAbstractSocket::RemoteHostClosedError && m_control.error() != QAbstractSocket::UnknownSocketError)
                throw socketError(m_control.error());
            throw Error(QStringLiteral("Connection Closed Gracefully."));
        }
        if (deadline.hasExpired())
            return std::nullopt;
        throwIfCancelled();
        WaitStep(this, m_isCancelled)
            .wakeOn(&m_control, &QIODevice::readyRead)
            .wakeOn(&m_control, &QAbstractSocket::disconnected)
            .wakeOn(&m_control, &QAbstractSocket::errorOccurred)
            .run(remainingMs(deadline, ReplyStepMs));
    }
}

// ---- Connecting and leaving ----

void FtpClient::connectToHost()
{
    const Call call(this);
    if (m_host.isEmpty())
        throw Error(QStringLiteral("A host name is required to connect."));
    if (m_port == 0)
        throw Error(QStringLiteral("A port is required to connect."));
    if (m_control.state() == QAbstractSocket::ConnectedState)
        throw Error(QStringLiteral("Already connected."));
    try {
        const QHostAddress address = resolveHost();
        emit status(StatusKind::Connecting, QStringLiteral("Connecting to %1.").arg(address.toString()));
        m_control.setSslConfiguration(QSslConfiguration::defaultConfiguration());
        openConnection(m_control, address, m_port);
        m_socketOpen = true;
        emit status(StatusKind::Connected, QStringLiteral("Connected."));
        m_greeting = getResponse({220});
        if (m_tls)
            secureControl();
        if (m_autoLogin)
            login();
        if (m_tls) {
            sendCmd(QStringLiteral("PBSZ 0"), {200});
            sendCmd(QStringLiteral("PROT P"), {200});
        }
        setUpSession();
        emit status(StatusKind::Ready, QStringLiteral("Connection established"));
    } catch (const Error &) {
        quitAndClose();
        throw;
    } catch (const FtpCancelled &) {
        quitAndClose();
        throw;
    }
}

QHostAddress FtpClient::resolveHost()
{
    QHostAddress address;
    if (address.setAddress(m_host) && address.protocol() == QAbstractSocket::IPv4Protocol)
        return address;
    emit status(StatusKind::Resolving, QStringLiteral("Resolving hostname %1.").arg(m_host));
    const QHostInfo info = QHostInfo::fromName(m_host);
    for (const QHostAddress &candidate : info.addresses()) {
        if (candidate.protocol() == QAbstractSocket::IPv4Protocol)
            return candidate;
    }
    const QString reason = info.error() == QHostInfo::NoError ? QStringLiteral("Host has no IPv4 address") : info.errorString();
    throw socketError(EAI_NONAME, reason);
}

// Starts the attempt and services events in short steps until it succeeds, fails, or runs
// out of time.
void FtpClient::openConnection(QTcpSocket &socket, const QHostAddress &address, quint16 port)
{
    socket.abort();
    socket.connectToHost(address, port);
    const QDeadlineTimer deadline(m_connectTimeout > 0 ? m_connectTimeout : ConnectLimitMs);
    while (socket.state() != QAbstractSocket::ConnectedState) {
        if (socket.state() == QAbstractSocket::UnconnectedState)
            throw socketError(socket.error());
        if (deadline.hasExpired()) {
            socket.abort();
            throw Error(QStringLiteral("Connect timed out."));
        }
        throwIfCancelled();
        WaitStep(this, m_isCancelled)
            .wakeOn(&socket, &QAbstractSocket::connected)
            .wakeOn(&socket, &QAbstractSocket::errorOccurred)
            .run(remainingMs(deadline, ConnectStepMs));
    }
}

void FtpClient::login()
{
    const FtpReply user = sendCmd(QStringLiteral("USER ") + m_username, {230, 232, 331});
    if (user.code() == 331) {
        const auto challenge = OneTimePassword::findChallenge(user.text().join(QLatin1Char('\n')));
        const QString password = challenge ? OneTimePassword::response(*challenge, m_password) : m_password;
        const FtpReply pass = sendCmd(QStringLiteral("PASS ") + password, {230, 332});
        if (pass.code() == 332) {
            if (m_account.isEmpty())
                throw FtpReplyError(pass.code(), pass.text());
            sendCmd(QStringLiteral("ACCT ") + m_account, {202, 230});
        }
    }
    const FtpReply features = sendCmd(QStringLiteral("FEAT"), {});
    m_capabilities = features.text().mid(1, features.text().size() - 2);
    sendCmd(m_transferType == TransferType::Binary ? QStringLiteral("TYPE I") : QStringLiteral("TYPE A"), {200});
}

void FtpClient::setUpSession()
{
    const FtpReply system = sendCmd(QStringLiteral("SYST"), {});
    m_systemDescription = system.code() == 500 ? QStringLiteral("Unknown") : system.text().value(0);
    if (!wantsSiteZone())
        return;
    const FtpReply zone = sendCmd(QStringLiteral("SITE ZONE"), {});
    if (zone.code() == 210)
        m_timeZoneNote = zone.text().value(0);
}

// Servers that report their time zone through SITE ZONE: some say so in their greeting,
// others list ZONE among the SITE facts of FEAT.
bool FtpClient::wantsSiteZone() const
{
    static const QStringList greetings = {QStringLiteral("Serv-U "), QStringLiteral("BPFTP Server "),
                                          QStringLiteral("TitanFTP server "), QStringLiteral("Titan FTP Server ")};
    const QString greeting = m_greeting.text().value(0);
    for (const QString &prefix : greetings) {
        if (greeting.startsWith(prefix, Qt::CaseInsensitive))
            return true;
    }
    static const QRegularExpression site(QStringLiteral(R"(^\s*SITE(\s|$))"), QRegularExpression::CaseInsensitiveOption);
    for (const QString &line : m_capabilities) {
        if (!site.match(line).hasMatch())
            continue;
        const QStringList facts = line.trimmed().mid(4).split(QLatin1Char(';'));
        for (const QString &fact : facts) {
            if (fact.trimmed().compare(QLatin1String("ZONE"), Qt::CaseInsensitive) == 0)
                return true;
        }
    }
    return false;
}

// AUTH TLS, then the handshake on the control connection; the session is kept for the data
// connections to resume.
void FtpClient::secureControl()
{
    sendCmd(QStringLiteral("AUTH TLS"), {234});
    QSslConfiguration configuration = m_control.sslConfiguration();
    configuration.setSslOption(QSsl::SslOptionDisableSessionPersistence, false);
    m_control.setSslConfiguration(configuration);
    m_acceptedErrors.clear();
    m_certificateRefusal.clear();
    const QMetaObject::Connection checked = connect(&m_control, &QSslSocket::sslErrors, this, [this](const QList<QSslError> &errors) {
        m_certificateRefusal = m_certificateCheck ? m_certificateCheck(m_control.peerCertificate(), errors)
                                                  : QStringLiteral("The server's certificate is not trusted: %1").arg(errors.value(0).errorString());
        if (m_certificateRefusal.isEmpty()) {
            m_acceptedErrors = errors;
            m_control.ignoreSslErrors();
        }
    });
    const auto disconnect = qScopeGuard([checked] { QObject::disconnect(checked); });
    encrypt(m_control);
}

// The data connection's handshake resumes the control connection's session and accepts just
// the certificate the control connection accepted.
void FtpClient::secureData(QSslSocket &data)
{
    data.setSslConfiguration(m_control.sslConfiguration());
    data.ignoreSslErrors(m_acceptedErrors);
    encrypt(data);
}

void FtpClient::encrypt(QSslSocket &socket)
{
    socket.setPeerVerifyName(m_host);
    socket.startClientEncryption();
    const int limit = m_silenceLimit > 0 ? m_silenceLimit : m_readTimeout;
    const QDeadlineTimer deadline = deadlineAfter(limit);
    while (!socket.isEncrypted()) {
        if (!m_certificateRefusal.isEmpty())
            throw Error(m_certificateRefusal);
        if (socket.state() != QAbstractSocket::ConnectedState)
            throw Error(QStringLiteral("The TLS handshake failed: %1").arg(socket.errorString()));
        if (deadline.hasExpired())
            throw silence("did not finish the TLS handshake", limit);
        throwIfCancelled();
        WaitStep(this, m_isCancelled)
            .wakeOn(&socket, &QSslSocket::encrypted)
            .wakeOn(&socket, &QAbstractSocket::errorOccurred)
            .wakeOn(&socket, &QAbstractSocket::disconnected)
            .run(remainingMs(deadline, ReplyStepMs));
    }
}

void FtpClient::disconnectFromHost()
{
    const Call call(this);
    quitAndClose();
}

void FtpClient::quitAndClose()
{
    if (m_control.state() == QAbstractSocket::ConnectedState) {
        try {
            writeControl("QUIT\r\n");
            if (m_control.bytesAvailable() > 0 || m_control.waitForReadyRead(QuitReplyWindowMs))
                getResponse({});
        } catch (const Error &) {
            // the goodbye is a courtesy; the connection is closed below in any case
        } catch (const FtpCancelled &) {
            // likewise
        }
    }
    closeControl();
}

void FtpClient::closeControl()
{
    if (!m_socketOpen)
        return;
    emit status(StatusKind::Disconnecting, QStringLiteral("Disconnecting."));
    closeSocket(m_control);
    m_socketOpen = false;
    emit status(StatusKind::Disconnected, QStringLiteral("Disconnected."));
}

// ---- Commands ----

void FtpClient::changeDir(const QString &folder)
{
    const Call call(this);
    sendCmd(QStringLiteral("CWD ") + folder, {200, 250});
}

void FtpClient::put(const QString &localPath, const QString &remoteName, qint64 offset)
{
    const Call call(this);
    QFile file(localPath);
    QString reason;
    switch (RegularFile::openForReading(file, reason)) {
    case RegularFile::Opened::Yes:
        break;
    case RegularFile::Opened::NotRegular:
        throw Error(QStringLiteral("Cannot open file \"%1\". It is not a regular file.").arg(localPath));
    case RegularFile::Opened::Failed:
        throw Error(QStringLiteral("Cannot open file \"%1\". %2").arg(localPath, reason));
    }
    const QString name = remoteName.isEmpty() ? remoteNameOf(localPath) : remoteName;
    if (name.isEmpty())
        throw Error(QStringLiteral("The destination filename can not be empty"));
    emit status(StatusKind::Transfer, QStringLiteral("Starting FTP transfer"));

    bool finalReplyPending = false; // the server accepted STOR and owes its closing reply
    std::unique_ptr<QSslSocket> data;
    std::exception_ptr failure;
    try {
        data = openDataConnection({name, offset}, finalReplyPending);
        if (m_tls)
            secureData(*data);
        sendFile(file, localPath, offset, *data);
    } catch (const Error &) {
        failure = std::current_exception();
    } catch (const FtpCancelled &) {
        abortDataOperation(data.get(), finalReplyPending);
        throw;
    }
    finishDataOperation(data.get(), finalReplyPending);
    if (failure)
        std::rethrow_exception(failure);
}

std::optional<qint64> FtpClient::remoteSize(const QString &name)
{
    const Call call(this);
    const FtpReply reply = sendCmd(QStringLiteral("SIZE ") + name, {});
    bool ok = false;
    const qint64 size = reply.text().value(0).trimmed().toLongLong(&ok);
    return reply.code() == 213 && ok ? std::optional(size) : std::nullopt;
}

void FtpClient::rename(const QString &from, const QString &to)
{
    const Call call(this);
    sendCmd(QStringLiteral("RNFR ") + from, {350});
    sendCmd(QStringLiteral("RNTO ") + to, {250});
}

void FtpClient::remove(const QString &name)
{
    const Call call(this);
    sendCmd(QStringLiteral("DELE ") + name, {250});
}

// The server is told where to go on just before the STOR it applies to.
void FtpClient::requestStore(const StoreRequest &store)
{
    if (store.offset > 0) {
        try {
            sendCmd(QStringLiteral("REST %1").arg(store.offset), {350});
        } catch (const FtpReplyError &refusal) {
            throw FtpRestartRefused(refusal.code(), m_lastReply.text());
        }
    }
    sendCmd(QStringLiteral("STOR ") + store.name, {125, 150});
}

std::unique_ptr<QSslSocket> FtpClient::openDataConnection(const StoreRequest &store, bool &finalReplyPending)
{
    requireConnected();
    if (m_passive)
        return openPassiveDataConnection(store, finalReplyPending);
    try {
        return openActiveDataConnection(store, finalReplyPending);
    } catch (const CannotConnectBack &refusal) {
        if (!m_passiveFallback)
            throw FtpReplyError(refusal.code(), refusal.message().split(QLatin1Char('\n')));
        emit status(StatusKind::StatusText,
                    QStringLiteral("The server cannot connect back for an active transfer (%1): trying passive mode.")
                        .arg(refusal.reason()));
        return openPassiveDataConnection(store, finalReplyPending);
    }
}

// The listener is up before PORT is sent: some servers connect while they handle PORT.
std::unique_ptr<QSslSocket> FtpClient::openActiveDataConnection(const StoreRequest &store, bool &finalReplyPending)
{
    DataListener listener;
    listen(listener);
    const QHostAddress announced = m_externalIp.isEmpty() ? listener.serverAddress() : QHostAddress(m_externalIp);
    try {
        sendCmd(QStringLiteral("PORT ") + portArgument(announced, listener.serverPort()), {200});
    } catch (const FtpReplyError &refusal) {
        throw CannotConnectBack(refusal.code(), refusal.message());
    }
    try {
        requestStore(store);
    } catch (const FtpReplyError &refusal) {
        // Servers that connect once they have the STOR say so when they could not.
        if (refusal.code() == 425)
            throw CannotConnectBack(refusal.code(), refusal.message());
        throw;
    }
    finalReplyPending = true;
    return acceptDataConnection(listener, finalReplyPending);
}

std::unique_ptr<QSslSocket> FtpClient::openPassiveDataConnection(const StoreRequest &store, bool &finalReplyPending)
{
    const FtpReply reply = sendCmd(QStringLiteral("PASV"), {227});
    static const QRegularExpression numbers(QStringLiteral(R"((\d+),(\d+),(\d+),(\d+),(\d+),(\d+))"));
    const QRegularExpressionMatch match = numbers.match(reply.text().join(QLatin1Char(' ')));
    if (!match.hasMatch())
        throw Error(QStringLiteral("The server's passive address cannot be read: %1").arg(reply.text().value(0)));
    const auto number = [&](int i) { return match.captured(i).toUInt(); };
    const QHostAddress address(quint32((number(1) << 24) | (number(2) << 16) | (number(3) << 8) | number(4)));
    auto data = std::make_unique<QSslSocket>();
    data->setProxy(QNetworkProxy::NoProxy);
    openConnection(*data, address, quint16(number(5) * 256 + number(6)));
    requestStore(store);
    finalReplyPending = true;
    return data;
}

void FtpClient::listen(QTcpServer &listener) const
{
    listener.setProxy(QNetworkProxy::NoProxy);
    listener.setListenBacklogSize(1);
    const quint32 first = m_dataPort != 0 ? m_dataPort : m_dataPortMin;
    const quint32 last = m_dataPort != 0 ? m_dataPort : qMax(m_dataPortMin, m_dataPortMax);
    for (quint32 port = first; port <= last; ++port) {
        if (listener.listen(m_control.localAddress(), quint16(port)))
            return;
    }
    throw socketError(listener.serverError());
}

// Waits for the server to connect. A server that answers on the control connection instead
// has given up on the transfer, and its answer ends the wait at once.
std::unique_ptr<QSslSocket> FtpClient::acceptDataConnection(QTcpServer &listener, bool &finalReplyPending)
{
    const QDeadlineTimer deadline = deadlineAfter(m_listenTimeout);
    while (!listener.hasPendingConnections()) {
        if (m_control.bytesAvailable() > 0 || m_control.state() != QAbstractSocket::ConnectedState) {
            finalReplyPending = false;
            const FtpReply reply = getResponse({});
            if (reply.code() == 425)
                throw CannotConnectBack(reply.code(), reply.text().join(QLatin1Char('\n')));
            throw FtpReplyError(reply.code(), reply.text());
        }
        if (deadline.hasExpired()) {
            if (!m_passiveFallback)
                throw Error(QStringLiteral("Accept timed out."));
            finalReplyPending = false; // the answer to ABOR settles the store
            abandonStore();
            throw CannotConnectBack(0, QStringLiteral("it did not connect within %1 seconds").arg(m_listenTimeout / 1000.0));
        }
        throwIfCancelled();
        WaitStep(this, m_isCancelled)
            .wakeOn(&listener, &QTcpServer::newConnection)
            .wakeOn(&m_control, &QIODevice::readyRead)
            .wakeOn(&m_control, &QAbstractSocket::disconnected)
            .run(remainingMs(deadline, AcceptStepMs));
    }
    std::unique_ptr<QSslSocket> data(static_cast<QSslSocket *>(listener.nextPendingConnection()));
    data->setParent(nullptr);
    listener.close();
    return data;
}

// Tells the server to give up a store whose data connection never came (ABOR) and reads its
// answers up to the one for ABOR, so the control connection can go on.
void FtpClient::abandonStore()
{
    writeControl("ABOR\r\n");
    for (int code = 0; code != 225 && code != 226 && code < 500;)
        code = getResponse({}).code();
}

// Streams the file in chunks; every send on the socket is reported as work.
void FtpClient::sendFile(QFile &file, const QString &localPath, qint64 offset, QSslSocket &data)
{
    const qint64 size = file.size();
    if (size > MaxFileSize)
        throw Error(QStringLiteral("%1 is too large to upload: files must be smaller than 2 GiB.").arg(localPath));
    if (offset > 0 && !file.seek(offset))
        throw Error(QStringLiteral("Cannot read file \"%1\". %2").arg(localPath, file.errorString()));
    beginWork(WorkMode::Write, size - offset);
    const auto workEnded = qScopeGuard([client = QPointer(this)] {
        if (client)
            client->endWork(WorkMode::Write);
    });
    connect(&data, &QTcpSocket::bytesWritten, this, [this](qint64 bytes) { reportWork(WorkMode::Write, bytes); });
    QByteArray chunk(ChunkSize, Qt::Uninitialized);
    for (qint64 sent = offset; sent < size;) {
        throwIfCancelled();
        const qint64 read = file.read(chunk.data(), qMin(ChunkSize, size - sent));
        if (read < 0)
            throw Error(QStringLiteral("Cannot read file \"%1\". %2").arg(localPath, file.errorString()));
        if (read == 0)
            throw Error(QStringLiteral("No data to read."));
        if (!writeAll(data, chunk.constData(), read, m_silenceLimit > 0 ? m_silenceLimit : m_transferTimeout))
            return; // the server closed the data connection; its reply tells why
        sent += read;
    }
}

// Ends TLS with its closing alert before the connection closes: servers take a TLS upload that
// ends without it for a cut one.
void FtpClient::closeEncrypted(QSslSocket &data)
{
    readSessionTicket(data);
    data.disconnectFromHost();
    const int limit = m_silenceLimit > 0 ? m_silenceLimit : m_readTimeout;
    const QDeadlineTimer deadline = deadlineAfter(limit);
    while (data.state() != QAbstractSocket::UnconnectedState && !deadline.hasExpired()) {
        WaitStep(this)
            .wakeOn(&data, &QAbstractSocket::disconnected)
            .wakeOn(&data, &QAbstractSocket::errorOccurred)
            .run(remainingMs(deadline, ReplyStepMs));
    }
    data.abort();
}

// A TLS 1.3 server sends a session ticket after the handshake. Closing with it unread makes the
// kernel reset the connection, and the server may lose the end of the upload with it. A server
// may send none, so the wait is short.
void FtpClient::readSessionTicket(QSslSocket &data)
{
    if (data.sessionProtocol() != QSsl::TlsV1_3)
        return;
    const QDeadlineTimer deadline(SessionTicketWaitMs);
    while (data.sslConfiguration().sessionTicket() == m_control.sslConfiguration().sessionTicket()
           && data.state() == QAbstractSocket::ConnectedState && !deadline.hasExpired()) {
        WaitStep(this)
            .wakeOn(&data, &QSslSocket::newSessionTicketReceived)
            .wakeOn(&data, &QAbstractSocket::disconnected)
            .run(remainingMs(deadline, ReplyStepMs));
    }
}

// Cancelled: the server is told to stop (ABOR) and the data connection is dropped at once.
// The server's verdict on a cut file is not worth waiting for.
void FtpClient::abortDataOperation(QSslSocket *data, bool finalReplyPending)
{
    if (finalReplyPending && m_control.state() == QAbstractSocket::ConnectedState) {
        m_control.write("ABOR\r\n");
        m_control.flush();
    }
    if (data)
        resetSocket(*data);
    emit status(StatusKind::Aborted, QStringLiteral("Transfer aborted"));
    if (finalReplyPending)
        drainAbortReplies();
}

// Reads what the server says to the cut transfer and to ABOR (426, then 225 or 226), briefly and
// whatever the cancel check says, so the connection can still clean up after the transfer.
// A server that does not answer in time is left to the disconnect.
void FtpClient::drainAbortReplies()
{
    const auto restore = qScopeGuard([this, isCancelled = m_isCancelled, readTimeout = m_readTimeout, silenceLimit = m_silenceLimit] {
        m_isCancelled = isCancelled;
        m_readTimeout = readTimeout;
        m_silenceLimit = silenceLimit;
    });
    m_isCancelled = {};
    m_readTimeout = m_silenceLimit = AbortReplyWindowMs;
    try {
        for (int code = 0; code != 225 && code != 226 && code < 500;)
            code = getResponse({}).code();
    } catch (const Error &) {
        closeControl();
    }
}

void FtpClient::finishDataOperation(QSslSocket *data, bool finalReplyPending)
{
    if (data && data->isEncrypted())
        closeEncrypted(*data);
    else if (data)
        closeSocket(*data);
    if (!finalReplyPending) {
        emit status(StatusKind::Aborted, QStringLiteral("Transfer aborted"));
        return;
    }
    emit status(StatusKind::Ready, QStringLiteral("Transfer complete"));
    getResponse({226, 225, 250});
}

// ---- Work reporting ----

void FtpClient::beginWork(WorkMode mode, qint64 total)
{
    Work &work = m_work[int(mode)];
    if (++work.level == 1) {
        work.count = 0;
        work.total = total;
        emit workBegin(mode, total);
    }
}

void FtpClient::reportWork(WorkMode mode, qint64 bytes)
{
    Work &work = m_work[int(mode)];
    if (work.level > 0) {
        work.count += bytes;
        emit this->work(mode, work.count);
    }
}

void FtpClient::endWork(WorkMode mode)
{
    Work &work = m_work[int(mode)];
    if (work.level == 1)
        emit workEnd(mode);
    --work.level;
}
