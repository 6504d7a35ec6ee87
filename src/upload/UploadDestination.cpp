#include "upload/UploadDestination.h"

#include "project/Error.h"
#include "project/Records.h"
#include "upload/TargetUrl.h"

#include <QDir>
#include <QRegularExpression>

#include <libssh/libssh.h>

#include <memory>

namespace {

quint16 portOfField(const QString &field)
{
    static const QRegularExpression wholeNumber(QStringLiteral("^[+-]?[0-9]+$"));
    if (!wholeNumber.match(field).hasMatch())
        throw Error(QStringLiteral("the port \"%1\" is not a whole number").arg(field));
    bool inRange = false;
    const int port = field.toInt(&inRange);
    if (!inRange || port < 1 || port > 65535)
        throw Error(QStringLiteral("the port \"%1\" is not a port number from 1 to 65535").arg(field));
    return quint16(port);
}

} // namespace

quint16 uploadPort(UploadProtocol protocol, int urlPort, const QString &field, const std::function<quint16()> &sshConfigPort)
{
    if (urlPort > 0)
        return quint16(urlPort);
    const bool sftp = protocol == UploadProtocol::Sftp;
    if (!field.isEmpty() && !(sftp && field == QLatin1String("21")))
        return portOfField(field);
    if (sftp)
        return sshConfigPort();
    return 21;
}

QString uploadFolder(UploadProtocol protocol, const QString &urlPath)
{
    if (protocol != UploadProtocol::Sftp)
        return urlPath.startsWith(QLatin1Char('/')) ? urlPath.mid(1) : urlPath;
    // The server resolves a relative path from the home folder.
    if (urlPath == QLatin1String("/~"))
        return {};
    if (urlPath.startsWith(QLatin1String("/~/")))
        return urlPath.mid(3);
    return urlPath;
}

UploadDestination uploadDestination(const UploadEntry &entry)
{
    const TargetUrl target = crackTargetUrl(entry.target);
    const UploadProtocol protocol = protocolOfScheme(target.scheme);
    const quint16 port = uploadPort(protocol, target.port, entry.port, [&target] { return sshConfiguredPort(target.host); });
    return {protocol, target.host, port, uploadFolder(protocol, target.path)};
}

UploadDestination uploadDestination(const UploadEntry &entry, int number)
{
    try {
        return uploadDestination(entry);
    } catch (const Error &error) {
        throw Error(QStringLiteral("Upload %1: %2").arg(number).arg(error.message()));
    }
}

quint16 sshConfiguredPort(const QString &host)
{
    const std::unique_ptr<ssh_session_struct, decltype(&ssh_free)> session(ssh_new(), &ssh_free);
    unsigned int port = 22;
    if (!session)
        return port;
    // The home folder as the environment names it, as OpenSSH's client does.
    const QByteArray sshFolder = (QDir::homePath() + QStringLiteral("/.ssh")).toUtf8();
    ssh_options_set(session.get(), SSH_OPTIONS_SSH_DIR, sshFolder.constData());
    ssh_options_set(session.get(), SSH_OPTIONS_HOST, host.toUtf8().constData());
    if (ssh_options_parse_config(session.get(), nullptr) == SSH_OK)
        ssh_options_get_port(session.get(), &port);
    return quint16(port);
}
