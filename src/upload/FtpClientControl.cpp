// The control connection of FtpClient: connecting, commands and their replies, TLS on the
// control connection, and closing it.
#include "upload/FtpClient.h"

#include "upload/FtpWait.h"

#include <QDeadlineTimer>
#include <QHostInfo>
#include <QSslConfiguration>
#include <QScopeGuard>

#ifdef Q_OS_WIN
#include <ws2tcpip.h>
#else
#include <netdb.h>
#endif

using namespace FtpWait;

namespace {

constexpr int MaxLineLength = 16384;
constexpr int ConnectLimitMs = 120000;
constexpr int ConnectStepMs = 125;
constexpr int SendStepMs = 250;
constexpr int QuitReplyWindowMs = 10;

} // namespace

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
