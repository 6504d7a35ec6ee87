#include "upload/SftpTransport.h"

#include "chores/ChoreProgress.h"
#include "project/Error.h"
#include "project/RegularFile.h"
#include "upload/ConnectionGuard.h"
#include "upload/HostTrust.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <libssh/libssh.h>
#include <libssh/sftp.h>

#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

// Large enough to keep a fast link busy, small enough for the server (OpenSSH takes up to
// 256 KiB a request) and for a cancel to end the piece under way quickly.
constexpr qint64 ChunkSize = 128 * 1024;
constexpr int ConnectStepMs = 50;
// How long a cancel waits for the piece under way, so the temporary can still be removed.
constexpr int CancelGraceMs = 300;
constexpr int CleanupLimitMs = 2000;
// The largest file read back from a server: a deploy's record of a large site.
constexpr qint64 ReadLimit = 256 * 1024 * 1024;

QByteArray toSsh(const QString &text)
{
    return text.toUtf8();
}

} // namespace

SftpTransport::SftpTransport(ChoreProgress &progress, const UploadServices &services)
    : m_progress(progress), m_services(services),
      m_guard(std::make_unique<ConnectionGuard>([&progress] { return progress.isCancelled(); }, services.silenceLimitMs))
{
}

SftpTransport::~SftpTransport()
{
    close();
}

void SftpTransport::open(const UploadServer &server)
{
    m_progress.log(QStringLiteral("Uploading over SFTP"));
    configure(server);
    connectSocket();
    handshake();
    verifyHostKey();
    logIn(server.password);
    startSftp();
    m_progress.log(QStringLiteral("Connection established"));
}

// The options as OpenSSH's client would take them: ~/.ssh/config for the host alias first,
// then the entry's own port and user name where it gives them.
void SftpTransport::configure(const UploadServer &server)
{
    m_session = ssh_new();
    if (!m_session)
        throw Error(QStringLiteral("Cannot start an SSH session."));
    // The home folder as the environment names it, as OpenSSH's client does.
    const QByteArray sshFolder = toSsh(QDir::homePath() + QStringLiteral("/.ssh"));
    ssh_options_set(m_session, SSH_OPTIONS_SSH_DIR, sshFolder.constData());
    ssh_options_set(m_session, SSH_OPTIONS_HOST, toSsh(server.host).constData());
    if (ssh_options_parse_config(m_session, nullptr) != SSH_OK)
        throw Error(QStringLiteral("Cannot read the SSH configuration: %1").arg(sshError()));
    if (server.port != 0) {
        const unsigned int port = server.port;
        ssh_options_set(m_session, SSH_OPTIONS_PORT, &port);
    }
    if (!server.user.isEmpty())
        ssh_options_set(m_session, SSH_OPTIONS_USER, toSsh(server.user).constData());
    // The guard decides when the server has been silent too long; libssh's own limit is only
    // a backstop behind it.
    const long seconds = 2 * m_services.silenceLimitMs / 1000;
    const long microseconds = 0;
    ssh_options_set(m_session, SSH_OPTIONS_TIMEOUT, &seconds);
    ssh_options_set(m_session, SSH_OPTIONS_TIMEOUT_USEC, &microseconds);

    char *host = nullptr;
    if (ssh_options_get(m_session, SSH_OPTIONS_HOST, &host) == SSH_OK) {
        m_host = QString::fromUtf8(host);
        ssh_string_free_char(host);
    }
    ssh_options_get_port(m_session, &m_port);
}

// The TCP connection is made here rather than by libssh, so the guard can drop it, and a
// cancel or a silent server ends even the key exchange at once.
void SftpTransport::connectSocket()
{
    m_progress.log(QStringLiteral("Connecting to %1 port %2.").arg(m_host).arg(m_port));
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo *found = nullptr;
    if (const int failure = ::getaddrinfo(toSsh(m_host).constData(), QByteArray::number(m_port).constData(), &hints, &found))
        throw Error(QStringLiteral("Cannot find the host %1: %2").arg(m_host, QString::fromLocal8Bit(::gai_strerror(failure))));
    const std::unique_ptr<addrinfo, decltype(&::freeaddrinfo)> addresses(found, &::freeaddrinfo);

    int lastError = 0;
    for (const addrinfo *address = found; address; address = address->ai_next) {
        const int socket = ::socket(address->ai_family, address->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK, address->ai_protocol);
        if (socket == -1) {
            lastError = errno;
            continue;
        }
        int result = ::connect(socket, address->ai_addr, address->ai_addrlen);
        const QDeadlineTimer deadline(m_services.silenceLimitMs);
        while (result == -1 && errno == EINPROGRESS) {
            if (m_progress.isCancelled()) {
                ::close(socket);
                throw UploadCancelled();
            }
            if (deadline.hasExpired()) {
                ::close(socket);
                throw Error(QStringLiteral("The server did not answer for %1 seconds.").arg(m_services.silenceLimitMs / 1000.0));
            }
            pollfd wait{socket, POLLOUT, 0};
            if (::poll(&wait, 1, ConnectStepMs) > 0) {
                int error = 0;
                socklen_t length = sizeof error;
                ::getsockopt(socket, SOL_SOCKET, SO_ERROR, &error, &length);
                result = error == 0 ? 0 : -1;
                errno = error;
            }
        }
        if (result == 0) {
            ::fcntl(socket, F_SETFL, ::fcntl(socket, F_GETFL) & ~O_NONBLOCK);
            ssh_options_set(m_session, SSH_OPTIONS_FD, &socket);
            m_guard->watch(socket);
            return;
        }
        lastError = errno;
        ::close(socket);
    }
    throw Error(QStringLiteral("Cannot connect to %1 port %2: %3").arg(m_host).arg(m_port).arg(QString::fromLocal8Bit(std::strerror(lastError))));
}

void SftpTransport::handshake()
{
    if (ssh_connect(m_session) != SSH_OK)
        fail(QStringLiteral("The SSH connection to %1 failed").arg(m_host));
    m_guard->stir();
}

void SftpTransport::verifyHostKey()
{
    ssh_key key = nullptr;
    if (ssh_get_server_publickey(m_session, &key) != SSH_OK)
        fail(QStringLiteral("The server sent no host key"));
    unsigned char *hash = nullptr;
    size_t length = 0;
    const int hashed = ssh_get_publickey_hash(key, SSH_PUBLICKEY_HASH_SHA256, &hash, &length);
    ssh_key_free(key);
    if (hashed != SSH_OK)
        fail(QStringLiteral("Cannot read the host key"));
    char *printed = ssh_get_fingerprint_hash(SSH_PUBLICKEY_HASH_SHA256, hash, length);
    ssh_clean_pubkey_hash(&hash);
    const QString fingerprint = QString::fromLatin1(printed);
    ssh_string_free_char(printed);

    const QString server = m_port == 22 ? m_host : QStringLiteral("%1 port %2").arg(m_host).arg(m_port);
    switch (ssh_session_is_known_server(m_session)) {
    case SSH_KNOWN_HOSTS_OK:
        m_progress.log(QStringLiteral("The host key of %1 is the one in known_hosts.").arg(server));
        return;
    case SSH_KNOWN_HOSTS_CHANGED:
    case SSH_KNOWN_HOSTS_OTHER:
        throw HostKeyChanged(QStringLiteral("The host key of %1 has changed: it is now %2, and known_hosts holds another one. "
                                            "Someone may be listening in; nothing was sent. If the server's key was changed on "
                                            "purpose, remove its old key with \"ssh-keygen -R %3\" and upload again to trust the "
                                            "new one.")
                                 .arg(server, fingerprint, knownHostsName()));
    case SSH_KNOWN_HOSTS_UNKNOWN:
    case SSH_KNOWN_HOSTS_NOT_FOUND:
        break;
    case SSH_KNOWN_HOSTS_ERROR:
        fail(QStringLiteral("Cannot check the host key of %1 against known_hosts").arg(server));
    }
    const QString question = QStringLiteral("The server %1 presents key %2, which is not in known_hosts. Trust it?").arg(server, fingerprint);
    if (!m_services.hostTrust || !m_services.hostTrust->trust(question, fingerprint))
        throw Error(QStringLiteral("The host key of %1 is not in known_hosts and was not trusted: %2").arg(server, fingerprint));
    m_guard->stir(); // the user may have taken a while
    if (ssh_session_update_known_hosts(m_session) != SSH_OK)
        fail(QStringLiteral("Cannot add the host key of %1 to known_hosts").arg(server));
    m_progress.log(QStringLiteral("Added the host key of %1 to known_hosts.").arg(server));
}

// The agent and the user's keys first, then the password; the log says which one worked.
void SftpTransport::logIn(const QString &password)
{
    int result = ssh_userauth_none(m_session, nullptr);
    if (result == SSH_AUTH_SUCCESS)
        return m_progress.log(QStringLiteral("Logged in without a password."));
    const int methods = ssh_userauth_list(m_session, nullptr);
    if (methods & SSH_AUTH_METHOD_PUBLICKEY) {
        if (qEnvironmentVariableIsSet("SSH_AUTH_SOCK") && ssh_userauth_agent(m_session, nullptr) == SSH_AUTH_SUCCESS)
            return m_progress.log(QStringLiteral("Logged in with a key of the SSH agent."));
        m_guard->stir();
        if (ssh_userauth_publickey_auto(m_session, nullptr, nullptr) == SSH_AUTH_SUCCESS)
            return m_progress.log(QStringLiteral("Logged in with a key file."));
        m_guard->stir();
    }
    const bool takesPassword = methods & SSH_AUTH_METHOD_PASSWORD;
    if (!password.isEmpty() && takesPassword) {
        result = ssh_userauth_password(m_session, nullptr, toSsh(password).constData());
        if (result == SSH_AUTH_SUCCESS)
            return m_progress.log(QStringLiteral("Logged in with the password."));
    }
    if (m_guard->verdict() != ConnectionGuard::Verdict::None || !takesPassword)
        fail(QStringLiteral("The server refused the login"));
    throw LoginRefused(QStringLiteral("The server refused the login: %1").arg(sshError()), !password.isEmpty());
}

void SftpTransport::startSftp()
{
    m_sftp = sftp_new(m_session);
    if (!m_sftp || sftp_init(m_sftp) != SSH_OK)
        fail(QStringLiteral("The server offers no SFTP"));
    m_guard->stir();
}

void SftpTransport::changeFolder(const QString &folder)
{
    m_folder = folder;
    const QByteArray path = folder.isEmpty() ? QByteArrayLiteral(".") : toSsh(folder);
    sftp_attributes attributes = sftp_stat(m_sftp, path.constData());
    if (!attributes) {
        if (m_guard->verdict() == ConnectionGuard::Verdict::None && sftp_get_error(m_sftp) == SSH_FX_NO_SUCH_FILE)
            throw Error(QStringLiteral("The server has no folder \"%1\": %2").arg(folder, sftpError()));
        fail(QStringLiteral("The server did not open the folder \"%1\"").arg(folder));
    }
    const bool isFolder = attributes->type == SSH_FILEXFER_TYPE_DIRECTORY;
    sftp_attributes_free(attributes);
    if (!isFolder)
        throw Error(QStringLiteral("The server has no folder \"%1\": it is a file.").arg(folder));
}

QByteArray SftpTransport::remotePath(const QString &name) const
{
    return toSsh(m_folder.isEmpty() ? name : m_folder + QLatin1Char('/') + name);
}

void SftpTransport::store(const QString &localPath, const QString &name)
{
    const QByteArray temporary = remotePath(temporaryUploadName(localPath, name));
    const qint64 size = QFileInfo(localPath).size();
    const qint64 offset = resumableSize(temporary, size);
    m_progress.log(QStringLiteral("Starting SFTP transfer"));
    try {
        send(localPath, temporary, offset, size);
    } catch (const UploadCancelled &) {
        throw UploadCancelled(keptPartNote(QString::fromUtf8(temporary)));
    }
    sftp_attributes attributes = sftp_stat(m_sftp, temporary.constData());
    if (!attributes)
        fail(QStringLiteral("The server cannot tell the size of the uploaded file"));
    const qint64 held = qint64(attributes->size);
    sftp_attributes_free(attributes);
    if (held != size) {
        removeQuietly(temporary);
        throw Error(QStringLiteral("The server holds %1 of the file's %2 bytes after the transfer, so it was not put in place.")
                        .arg(held)
                        .arg(size));
    }
    putInPlace(temporary, remotePath(name));
    m_progress.log(QStringLiteral("Transfer complete"));
}

qint64 SftpTransport::resumableSize(const QByteArray &temporary, qint64 size)
{
    sftp_attributes attributes = sftp_stat(m_sftp, temporary.constData());
    if (!attributes) {
        if (m_guard->verdict() != ConnectionGuard::Verdict::None)
            fail(QString());
        return 0;
    }
    const qint64 held = qint64(attributes->size);
    sftp_attributes_free(attributes);
    if (held <= 0 || held > size)
        return 0;
    m_progress.log(QStringLiteral("Resuming the upload at byte %1 of %2.").arg(held).arg(size));
    return held;
}

void SftpTransport::send(const QString &localPath, const QByteArray &temporary, qint64 offset, qint64 size)
{
    QFile file(localPath);
    QString reason;
    if (RegularFile::openForReading(file, reason) != RegularFile::Opened::Yes)
        throw Error(QStringLiteral("Cannot open file \"%1\". %2").arg(localPath, reason));
    if (offset > 0 && !file.seek(offset))
        throw Error(QStringLiteral("Cannot read file \"%1\". %2").arg(localPath, file.errorString()));
    const int flags = O_WRONLY | O_CREAT | (offset > 0 ? 0 : O_TRUNC);
    sftp_file remote = sftp_open(m_sftp, temporary.constData(), flags, 0644);
    if (!remote)
        fail(QStringLiteral("The server refused to store the file"));
    const auto closeRemote = qScopeGuard([&remote] {
        if (remote)
            sftp_close(remote);
    });
    if (offset > 0 && sftp_seek64(remote, quint64(offset)) != SSH_OK)
        fail(QStringLiteral("Cannot go on with the upload at byte %1").arg(offset));

    reportBytes(m_progress, offset, size);
    m_guard->setCancelGrace(CancelGraceMs);
    QByteArray chunk(ChunkSize, Qt::Uninitialized);
    for (qint64 sent = offset; sent < size;) {
        if (m_progress.isCancelled())
            throw UploadCancelled();
        const qint64 read = file.read(chunk.data(), qMin(ChunkSize, size - sent));
        if (read <= 0)
            throw Error(read < 0 ? QStringLiteral("Cannot read file \"%1\". %2").arg(localPath, file.errorString())
                                 : QStringLiteral("No data to read."));
        if (sftp_write(remote, chunk.constData(), size_t(read)) != read)
            fail(QStringLiteral("The transfer failed after %1 of %2 bytes").arg(sent).arg(size));
        sent += read;
        m_guard->stir();
        reportBytes(m_progress, sent, size);
    }
    m_guard->setCancelGrace(0);
    const int closed = sftp_close(remote);
    remote = nullptr;
    if (closed != SSH_OK)
        fail(QStringLiteral("The server did not confirm the end of the transfer"));
    reportTransferEnd(m_progress);
}

// OpenSSH's server renames only onto a free name, so a file already there goes first.
void SftpTransport::putInPlace(const QByteArray &temporary, const QByteArray &target)
{
    if (sftp_rename(m_sftp, temporary.constData(), target.constData()) == SSH_OK)
        return;
    if (m_guard->verdict() == ConnectionGuard::Verdict::None && sftp_unlink(m_sftp, target.constData()) == SSH_OK
        && sftp_rename(m_sftp, temporary.constData(), target.constData()) == SSH_OK)
        return;
    const QString why = sftpError();
    removeQuietly(temporary);
    throw Error(QStringLiteral("The server refused to give the uploaded file its name \"%1\": %2").arg(QString::fromUtf8(target), why));
}

bool SftpTransport::removeQuietly(const QByteArray &path)
{
    return m_sftp && m_guard->verdict() == ConnectionGuard::Verdict::None && sftp_unlink(m_sftp, path.constData()) == SSH_OK;
}

void SftpTransport::close()
{
    if (m_sftp) {
        sftp_free(m_sftp);
        m_sftp = nullptr;
    }
    if (m_session) {
        if (ssh_is_connected(m_session)) {
            m_progress.log(QStringLiteral("Disconnecting."));
            ssh_disconnect(m_session);
            m_progress.log(QStringLiteral("Disconnected."));
        }
        ssh_free(m_session);
        m_session = nullptr;
    }
}

QList<RemoteEntry> SftpTransport::list(const QString &folder)
{
    const QByteArray path = folder.isEmpty() ? remotePath(QStringLiteral(".")) : remotePath(folder);
    sftp_dir dir = sftp_opendir(m_sftp, path.constData());
    if (!dir)
        fail(QStringLiteral("The server did not list the folder \"%1\"").arg(folder));
    const auto closeDir = qScopeGuard([dir] { sftp_closedir(dir); });
    QList<RemoteEntry> entries;
    while (sftp_attributes attributes = sftp_readdir(m_sftp, dir)) {
        const QString name = QString::fromUtf8(attributes->name);
        const int type = attributes->type;
        const qint64 size = qint64(attributes->size);
        sftp_attributes_free(attributes);
        if (name == QLatin1String(".") || name == QLatin1String(".."))
            continue;
        if (type == SSH_FILEXFER_TYPE_DIRECTORY)
            entries.append({name, 0, true});
        else if (type == SSH_FILEXFER_TYPE_REGULAR)
            entries.append({name, size, false});
        m_guard->stir();
    }
    if (!sftp_dir_eof(dir))
        fail(QStringLiteral("The server did not list the whole folder \"%1\"").arg(folder));
    return entries;
}

void SftpTransport::makeFolder(const QString &folder)
{
    const QByteArray path = remotePath(folder);
    if (sftp_mkdir(m_sftp, path.constData(), 0755) == SSH_OK)
        return;
    if (m_guard->verdict() != ConnectionGuard::Verdict::None)
        fail(QString());
    // OpenSSH answers a folder that is there already with a plain failure: look.
    sftp_attributes attributes = sftp_stat(m_sftp, path.constData());
    const bool isFolder = attributes && attributes->type == SSH_FILEXFER_TYPE_DIRECTORY;
    sftp_attributes_free(attributes);
    if (!isFolder)
        fail(QStringLiteral("The server did not create the folder \"%1\"").arg(folder));
}

std::optional<QByteArray> SftpTransport::read(const QString &path)
{
    sftp_file remote = sftp_open(m_sftp, remotePath(path).constData(), O_RDONLY, 0);
    if (!remote) {
        if (m_guard->verdict() == ConnectionGuard::Verdict::None && sftp_get_error(m_sftp) == SSH_FX_NO_SUCH_FILE)
            return std::nullopt;
        fail(QStringLiteral("The server did not send \"%1\"").arg(path));
    }
    const auto closeRemote = qScopeGuard([remote] { sftp_close(remote); });
    QByteArray content;
    QByteArray chunk(ChunkSize, Qt::Uninitialized);
    for (;;) {
        const ssize_t read = sftp_read(remote, chunk.data(), size_t(chunk.size()));
        if (read < 0)
            fail(QStringLiteral("The server did not send all of \"%1\"").arg(path));
        if (read == 0)
            return content;
        content.append(chunk.constData(), read);
        if (content.size() > ReadLimit)
            throw Error(QStringLiteral("\"%1\" on the server is larger than %2 bytes.").arg(path).arg(ReadLimit));
        m_guard->stir();
    }
}

void SftpTransport::remove(const QString &path)
{
    if (sftp_unlink(m_sftp, remotePath(path).constData()) != SSH_OK)
        fail(QStringLiteral("The server did not remove \"%1\"").arg(path));
}

void SftpTransport::settle()
{
    m_guard->standDown(CleanupLimitMs);
}

// Says why a libssh call failed: the guard's reason when it dropped the connection, else
// what the library reports.
void SftpTransport::fail(const QString &what)
{
    switch (m_guard->verdict()) {
    case ConnectionGuard::Verdict::Cancelled:
        throw UploadCancelled();
    case ConnectionGuard::Verdict::Silent:
        throw Error(QStringLiteral("The server did not answer for %1 seconds.").arg(m_services.silenceLimitMs / 1000.0));
    case ConnectionGuard::Verdict::None:
        break;
    }
    const QString error = m_sftp && sftp_get_error(m_sftp) != SSH_FX_OK ? sftpError() : sshError();
    throw Error(what.isEmpty() ? error : QStringLiteral("%1: %2").arg(what, error));
}

// The host as known_hosts names it: "[host]:port" for a port other than 22.
QString SftpTransport::knownHostsName() const
{
    return m_port == 22 ? m_host : QStringLiteral("[%1]:%2").arg(m_host).arg(m_port);
}

QString SftpTransport::sshError() const
{
    return QString::fromUtf8(ssh_get_error(m_session));
}

QString SftpTransport::sftpError() const
{
    switch (sftp_get_error(m_sftp)) {
    case SSH_FX_NO_SUCH_FILE:
        return QStringLiteral("no such file or folder");
    case SSH_FX_PERMISSION_DENIED:
        return QStringLiteral("permission denied");
    case SSH_FX_FAILURE:
        return QStringLiteral("the server reports a failure");
    case SSH_FX_FILE_ALREADY_EXISTS:
        return QStringLiteral("the file already exists");
    default:
        return sshError();
    }
}
