#pragma once

#include "upload/UploadTransport.h"

#include <memory>

class ChoreProgress;
class ConnectionGuard;
struct ssh_session_struct;
struct sftp_session_struct;

// Uploads over SFTP with libssh: the host key checked against known_hosts (an unknown one
// asked about, a changed one refused), ~/.ssh/config read as OpenSSH reads it, and the login
// by the SSH agent, the user's keys, then the entry's password. libssh blocks; a guard on
// another thread drops the connection when the chore is cancelled or the server falls silent.
class SftpTransport : public UploadTransport
{
public:
    SftpTransport(ChoreProgress &progress, const UploadServices &services);
    ~SftpTransport() override;
    Q_DISABLE_COPY_MOVE(SftpTransport)

    void open(const UploadServer &server) override;
    void changeFolder(const QString &folder) override;
    void store(const QString &localPath, const QString &name) override;
    void close() override;
    QList<RemoteEntry> list(const QString &folder) override;
    void makeFolder(const QString &folder) override;
    std::optional<QByteArray> read(const QString &path) override;
    void remove(const QString &path) override;
    void settle() override;

private:
    void configure(const UploadServer &server);
    void connectSocket();
    void handshake();
    void verifyHostKey();
    void logIn(const QString &password);
    void startSftp();
    qint64 resumableSize(const QByteArray &temporary, qint64 size);
    void send(const QString &localPath, const QByteArray &temporary, qint64 offset, qint64 size);
    void putInPlace(const QByteArray &temporary, const QByteArray &target);
    bool removeQuietly(const QByteArray &path);
    QByteArray remotePath(const QString &name) const;
    [[noreturn]] void fail(const QString &what);
    QString knownHostsName() const;
    QString sshError() const;
    QString sftpError() const;

    ChoreProgress &m_progress;
    const UploadServices &m_services;
    ssh_session_struct *m_session = nullptr;
    sftp_session_struct *m_sftp = nullptr;
    std::unique_ptr<ConnectionGuard> m_guard;
    QString m_host;       // as connected to, after ~/.ssh/config
    unsigned int m_port = 22;
    QString m_folder;
};
