#include "upload/UploadTransport.h"

#include "chores/ChoreProgress.h"
#include "upload/FtpTransport.h"
#include "upload/SftpTransport.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QFileInfo>

std::unique_ptr<UploadTransport> makeUploadTransport(UploadProtocol protocol, ChoreProgress &progress,
                                                     const UploadServices &services)
{
    std::unique_ptr<UploadTransport> transport;
    if (protocol == UploadProtocol::Sftp)
        transport = std::make_unique<SftpTransport>(progress, services);
    else
        transport = std::make_unique<FtpTransport>(protocol == UploadProtocol::Ftps, progress, services);
    if (services.settled)
        transport->settle();
    return transport;
}

QString temporaryUploadName(const QString &localPath, const QString &name)
{
    const QFileInfo file(localPath);
    const QByteArray identity = QByteArray::number(file.size()) + ' '
        + QByteArray::number(file.lastModified().toMSecsSinceEpoch()) + ' ' + name.toUtf8();
    const QByteArray tag = QCryptographicHash::hash(identity, QCryptographicHash::Sha256).toHex().left(8);
    const qsizetype slash = name.lastIndexOf(QLatin1Char('/'));
    return QStringLiteral("%1.%2.%3.part").arg(name.left(slash + 1), name.mid(slash + 1), QString::fromLatin1(tag));
}

QString keptPartNote(const QString &temporary)
{
    return QStringLiteral("Cancelled during the transfer; the part already sent stays on the server as \"%1\", and the next "
                          "upload goes on from there.")
        .arg(temporary);
}

void UploadTransport::reportBytes(ChoreProgress &progress, qint64 position, qint64 size) const
{
    if (m_byteReport)
        return m_byteReport(position, size);
    progress.setTotal(size);
    progress.setDone(position);
}

void UploadTransport::reportTransferEnd(ChoreProgress &progress) const
{
    if (!m_byteReport)
        progress.setDone(0);
}
