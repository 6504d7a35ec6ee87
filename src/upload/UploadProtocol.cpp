#include "upload/UploadProtocol.h"

UploadProtocol protocolOfScheme(const QString &scheme)
{
    if (scheme.compare(QLatin1String("sftp"), Qt::CaseInsensitive) == 0)
        return UploadProtocol::Sftp;
    if (scheme.compare(QLatin1String("ftps"), Qt::CaseInsensitive) == 0)
        return UploadProtocol::Ftps;
    return UploadProtocol::Ftp;
}

QString protocolName(UploadProtocol protocol)
{
    return protocolScheme(protocol).toUpper();
}

QString protocolScheme(UploadProtocol protocol)
{
    switch (protocol) {
    case UploadProtocol::Sftp:
        return QStringLiteral("sftp");
    case UploadProtocol::Ftps:
        return QStringLiteral("ftps");
    case UploadProtocol::Ftp:
        break;
    }
    return QStringLiteral("ftp");
}
