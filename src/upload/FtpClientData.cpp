// The data connections of FtpClient: opened actively (PORT, the server connects back) or
// passively (PASV), encrypted like the control connection, and closed with TLS's alert.
#include "upload/FtpClient.h"

#include "upload/FtpReplyError.h"
#include "upload/FtpWait.h"

#include <QDeadlineTimer>
#include <QNetworkProxy>
#include <QRegularExpression>
#include <QSslConfiguration>
#include <QTcpServer>

using namespace FtpWait;

namespace {

constexpr int AcceptStepMs = 1000;
constexpr int SessionTicketWaitMs = 1000;

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

// The data connection's handshake resumes the control connection's session and accepts just
// the certificate the control connection accepted.
void FtpClient::secureData(QSslSocket &data)
{
    data.setSslConfiguration(m_control.sslConfiguration());
    data.ignoreSslErrors(m_acceptedErrors);
    encrypt(data);
}

std::unique_ptr<QSslSocket> FtpClient::openDataConnection(const DataRequest &request, bool &finalReplyPending)
{
    requireConnected();
    if (m_passive)
        return openPassiveDataConnection(request, finalReplyPending);
    try {
        return openActiveDataConnection(request, finalReplyPending);
    } catch (const CannotConnectBack &refusal) {
        if (!m_passiveFallback)
            throw FtpReplyError(refusal.code(), refusal.message().split(QLatin1Char('\n')));
        emit status(StatusKind::StatusText,
                    QStringLiteral("The server cannot connect back for an active transfer (%1): trying passive mode.")
                        .arg(refusal.reason()));
        return openPassiveDataConnection(request, finalReplyPending);
    }
}

// The server is told where to go on just before the command it applies to.
void FtpClient::requestData(const DataRequest &request)
{
    if (request.offset > 0) {
        try {
            sendCmd(QStringLiteral("REST %1").arg(request.offset), {350});
        } catch (const FtpReplyError &refusal) {
            throw FtpRestartRefused(refusal.code(), m_lastReply.text());
        }
    }
    sendCmd(request.command, {125, 150});
}

// The listener is up before PORT is sent: some servers connect while they handle PORT.
std::unique_ptr<QSslSocket> FtpClient::openActiveDataConnection(const DataRequest &request, bool &finalReplyPending)
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
        requestData(request);
    } catch (const FtpReplyError &refusal) {
        // Servers that connect once they have the STOR say so when they could not.
        if (refusal.code() == 425)
            throw CannotConnectBack(refusal.code(), refusal.message());
        throw;
    }
    finalReplyPending = true;
    return acceptDataConnection(listener, finalReplyPending);
}

std::unique_ptr<QSslSocket> FtpClient::openPassiveDataConnection(const DataRequest &request, bool &finalReplyPending)
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
    requestData(request);
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
