#include "upload/UploadTransport.h"

#include "upload/FtpTransport.h"
#include "upload/SftpTransport.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QFileInfo>

std::unique_ptr<UploadTransport> makeUploadTransport(UploadProtocol protocol, ChoreProgress &progress,
                                                     const UploadServices &services)
{
    if (protocol == UploadProtocol::Sftp)
        return std::make_unique<SftpTransport>(progress, services);
    return std::make_unique<FtpTransport>(protocol == UploadProtocol::Ftps, progress, services);
}

QString temporaryUploadName(const QString &localPath, const QString &name)
{
    const QFileInfo file(localPath);
    const QByteArray identity = QByteArray::number(file.size()) + ' '
        + QByteArray::number(file.lastModified().toMSecsSinceEpoch()) + ' ' + name.toUtf8();
    const QByteArray tag = QCryptographicHash::hash(identity, QCryptographicHash::Sha256).toHex().left(8);
    return QStringLiteral(".%1.%2.part").arg(name, QString::fromLatin1(tag));
}
