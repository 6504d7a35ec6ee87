// Reading with FtpClient: folder listings and small files, received over a data connection.
#include "upload/FtpClient.h"

#include "upload/FtpClientCall.h"
#include "upload/FtpReplyError.h"
#include "upload/FtpWait.h"

#include <QDeadlineTimer>
#include <QScopeGuard>

#include <exception>

using namespace FtpWait;

namespace {

// No listing of one folder comes near this.
constexpr qint64 ListingLimit = 64 * 1024 * 1024;

} // namespace

void FtpClient::makeDir(const QString &name)
{
    const Call call(this);
    sendCmd(QStringLiteral("MKD ") + name, {257, 250});
}

std::optional<QString> FtpClient::machineListing(const QString &folder)
{
    const Call call(this);
    const QString command = folder.isEmpty() ? QStringLiteral("MLSD") : QStringLiteral("MLSD ") + folder;
    try {
        return QString::fromUtf8(fetch({command}, ListingLimit));
    } catch (const FtpReplyError &refusal) {
        // 500 and 502: the command is unknown; anything else is the folder's own answer.
        if (refusal.code() == 500 || refusal.code() == 502)
            return std::nullopt;
        throw;
    }
}

QString FtpClient::listing(const QString &folder)
{
    const Call call(this);
    return QString::fromUtf8(fetch({folder.isEmpty() ? QStringLiteral("LIST") : QStringLiteral("LIST ") + folder}, ListingLimit));
}

QByteArray FtpClient::retrieve(const QString &name, qint64 limit)
{
    const Call call(this);
    return fetch({QStringLiteral("RETR ") + name}, limit);
}

QByteArray FtpClient::fetch(const DataRequest &request, qint64 limit)
{
    bool finalReplyPending = false;
    std::unique_ptr<QSslSocket> data;
    QByteArray received;
    std::exception_ptr failure;
    try {
        data = openDataConnection(request, finalReplyPending);
        if (m_tls)
            secureData(*data);
        receive(*data, received, limit);
    } catch (const Error &) {
        failure = std::current_exception();
    } catch (const FtpCancelled &) {
        abortDataOperation(data.get(), finalReplyPending);
        throw;
    }
    if (failure && finalReplyPending) {
        // Cut short on our side: the server's verdict on the transfer is of no interest.
        abortDataOperation(data.get(), finalReplyPending);
        std::rethrow_exception(failure);
    }
    finishDataOperation(data.get(), finalReplyPending);
    if (failure)
        std::rethrow_exception(failure);
    return received;
}

// Everything the server sends until it closes the data connection.
void FtpClient::receive(QSslSocket &data, QByteArray &received, qint64 limit)
{
    bool closedByPeer = false;
    const QMetaObject::Connection alert = connect(&data, &QSslSocket::alertReceived, this, [&closedByPeer](QSsl::AlertLevel, QSsl::AlertType type, const QString &) {
        closedByPeer = closedByPeer || type == QSsl::AlertType::CloseNotify;
    });
    const auto forget = qScopeGuard([alert] { QObject::disconnect(alert); });
    const int quietMs = m_silenceLimit > 0 ? m_silenceLimit : m_transferTimeout;
    QDeadlineTimer quietUntil = deadlineAfter(quietMs);
    for (;;) {
        if (data.bytesAvailable() > 0) {
            received += data.readAll();
            if (received.size() > limit)
                throw Error(QStringLiteral("The server sent more than %1 bytes.").arg(limit));
            quietUntil = deadlineAfter(quietMs);
            continue;
        }
        // A server may end an encrypted transfer with TLS's closing alert and then wait for
        // ours before it closes the connection.
        if (data.state() != QAbstractSocket::ConnectedState || closedByPeer)
            return;
        if (quietUntil.hasExpired())
            throw silence("sent nothing", quietMs);
        throwIfCancelled();
        WaitStep(this, m_isCancelled)
            .wakeOn(&data, &QIODevice::readyRead)
            .wakeOn(&data, &QAbstractSocket::disconnected)
            .wakeOn(&data, &QAbstractSocket::errorOccurred)
            .wakeOn(&data, &QSslSocket::alertReceived)
            .run(remainingMs(quietUntil, ReplyStepMs));
    }
}
