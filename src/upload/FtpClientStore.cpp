// Storing a file with FtpClient: the STOR (after REST when resuming), the file streamed over the
// data connection, and the end of the store, finished or aborted.
#include "upload/FtpClient.h"

#include "project/RegularFile.h"
#include "upload/FtpClientCall.h"
#include "upload/FtpReplyError.h"
#include "upload/FtpWait.h"

#include <QFile>
#include <QRegularExpression>
#include <QScopeGuard>

#include <exception>

using namespace FtpWait;

namespace {

constexpr qint64 ChunkSize = 32768;
constexpr int AbortReplyWindowMs = 1000;

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

} // namespace

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
        data = openDataConnection({QStringLiteral("STOR ") + name, offset}, finalReplyPending);
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
