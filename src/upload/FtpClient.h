#pragma once

#include "project/Error.h"
#include "upload/FtpReply.h"

#include <QHostAddress>
#include <QObject>
#include <QSslError>
#include <QSslSocket>

#include <exception>
#include <functional>
#include <memory>
#include <optional>

class QDeadlineTimer;
class QFile;
class QTcpServer;

// Thrown by a call of the client that its cancel check stopped. It is no Error: the calls let
// it pass, and the caller decides what a cancelled upload means.
class FtpCancelled : public std::exception
{
public:
    const char *what() const noexcept override { return "Cancelled"; }
};

// Decides on a certificate the system does not trust: empty to go on, else why not.
using FtpCertificateCheck = std::function<QString(const QSslCertificate &certificate, const QList<QSslError> &errors)>;

// The client side of FTP that uploading needs: one control connection, a login, a change of
// folder, files stored over an active (or passive) data connection, and the goodbye.
// Every call blocks until its exchange with the server is over and throws Error (or
// FtpReplyError) when it fails. While it waits for the network it keeps the event loop of its
// thread running, so on the window's thread windows repaint and timers tick; on a worker, its
// cancel check ends a wait early. A call started meanwhile on the same
// client is refused with an Error; a client destroyed meanwhile ends the waiting call with an
// exception that is no Error.
class FtpClient : public QObject
{
    Q_OBJECT

public:
    enum class StatusKind { Resolving, Connecting, Connected, Disconnecting, Disconnected, StatusText, Transfer, Ready, Aborted };
    Q_ENUM(StatusKind)
    enum class WorkMode { Read, Write };
    Q_ENUM(WorkMode)
    enum class TransferType { Ascii, Binary };
    Q_ENUM(TransferType)

    static constexpr qint64 MaxFileSize = 2147483647;

    explicit FtpClient(QObject *parent = nullptr);
    ~FtpClient() override;

    QString host() const { return m_host; }
    void setHost(const QString &host) { m_host = host; }
    quint16 port() const { return m_port; }
    void setPort(quint16 port) { m_port = port; }
    QString username() const { return m_username; }
    void setUsername(const QString &username) { m_username = username; }
    QString password() const { return m_password; }
    void setPassword(const QString &password) { m_password = password; }
    QString account() const { return m_account; }
    void setAccount(const QString &account) { m_account = account; }
    bool autoLogin() const { return m_autoLogin; }
    void setAutoLogin(bool autoLogin) { m_autoLogin = autoLogin; }
    bool passive() const { return m_passive; }
    void setPassive(bool passive) { m_passive = passive; }
    TransferType transferType() const { return m_transferType; }
    void setTransferType(TransferType type) { m_transferType = type; }
    // Times in milliseconds. A connect time-out of 0 means the standing limit of two minutes;
    // a read or transfer time-out of 0 means no limit.
    int readTimeout() const { return m_readTimeout; }
    void setReadTimeout(int ms) { m_readTimeout = ms; }
    int connectTimeout() const { return m_connectTimeout; }
    void setConnectTimeout(int ms) { m_connectTimeout = ms; }
    int listenTimeout() const { return m_listenTimeout; }
    void setListenTimeout(int ms) { m_listenTimeout = ms; }
    int transferTimeout() const { return m_transferTimeout; }
    void setTransferTimeout(int ms) { m_transferTimeout = ms; }
    // The listening port of active transfers: DataPort if set, else the first free port of
    // DataPortMin..DataPortMax if that is set, else one the system chooses.
    quint16 dataPort() const { return m_dataPort; }
    void setDataPort(quint16 port) { m_dataPort = port; }
    quint16 dataPortMin() const { return m_dataPortMin; }
    void setDataPortMin(quint16 port) { m_dataPortMin = port; }
    quint16 dataPortMax() const { return m_dataPortMax; }
    void setDataPortMax(quint16 port) { m_dataPortMax = port; }
    // Explicit TLS: AUTH TLS after the greeting, then PBSZ 0 and PROT P after the login, so the
    // data connections are encrypted too. They resume the control connection's TLS session,
    // as servers that guard against stolen data connections require.
    bool tls() const { return m_tls; }
    void setTls(bool tls) { m_tls = tls; }
    // Asked when the server's certificate fails the system's checks; without it such a
    // certificate is refused.
    void setCertificateCheck(FtpCertificateCheck check) { m_certificateCheck = std::move(check); }
    // Once the server has said nothing for this long, a reply, a handshake or a transfer fails
    // with a message that names the time; 0 keeps waiting as long as the connection is open.
    int silenceLimit() const { return m_silenceLimit; }
    void setSilenceLimit(int ms) { m_silenceLimit = ms; }
    // Active transfers that the server cannot connect back to (PORT refused, 425, or no
    // connection within the listen time-out) are tried again once in passive mode.
    bool passiveFallback() const { return m_passiveFallback; }
    void setPassiveFallback(bool fallback) { m_passiveFallback = fallback; }
    // The address announced in PORT; empty means the local address of the control connection.
    QString externalIp() const { return m_externalIp; }
    void setExternalIp(const QString &address) { m_externalIp = address; }
    // Asked while a call waits for the network and between two chunks of a file: once it says
    // true, the call ends with FtpCancelled within a fraction of a second. Saying goodbye
    // (disconnectFromHost) is never cancelled.
    void setCancelCheck(std::function<bool()> isCancelled) { m_isCancelled = std::move(isCancelled); }

    // Connects, reads the greeting, logs in (AutoLogin) and finishes the set-up. On failure
    // the client is disconnected again before the error is thrown.
    void connectToHost();
    void changeDir(const QString &folder);
    // Stores the file under its own name (or `remoteName`) in the current remote folder,
    // replacing a file of that name. From `offset` on, the server is asked to go on at that
    // byte (REST) and the file is sent from there; a server that refuses REST throws
    // FtpRestartRefused. Files of 2 GiB and more are refused.
    void put(const QString &localPath, const QString &remoteName = {}, qint64 offset = 0);
    // The size of a remote file (SIZE), or nothing when the server cannot tell.
    std::optional<qint64> remoteSize(const QString &name);
    void rename(const QString &from, const QString &to);
    void remove(const QString &name);
    // Creates a folder (MKD); throws FtpReplyError when the server refuses, as it does for one
    // that exists already.
    void makeDir(const QString &name);
    // The facts of the files and folders in `folder` (MLSD), or nothing when the server does
    // not know the command.
    std::optional<QString> machineListing(const QString &folder);
    // The long listing of `folder` (LIST), in whatever form the server gives it.
    QString listing(const QString &folder);
    // The content of a remote file (RETR), up to `limit` bytes; a longer one throws Error.
    QByteArray retrieve(const QString &name, qint64 limit);
    // Says QUIT and closes the connection; tolerates a connection that is already closed.
    void disconnectFromHost();

    // The server's latest reply; every command replaces it.
    const FtpReply &lastReply() const { return m_lastReply; }

    // The argument of PORT for a listener: "h1,h2,h3,h4,p1,p2".
    static QString portArgument(const QHostAddress &address, quint16 port);

signals:
    void status(FtpClient::StatusKind kind, const QString &text);
    void workBegin(FtpClient::WorkMode mode, qint64 total);
    void work(FtpClient::WorkMode mode, qint64 count);
    void workEnd(FtpClient::WorkMode mode);

private:
    class Call;
    // The command that uses a data connection ("STOR name", "MLSD folder") and, for a store
    // that goes on, the byte to go on from.
    struct DataRequest
    {
        QString command;
        qint64 offset = 0;
    };

    void quitAndClose();
    FtpReply sendCmd(const QString &line, const QList<int> &allowed);
    FtpReply getResponse(const QList<int> &allowed);
    std::optional<QString> readLine(const QDeadlineTimer &deadline);
    static Error silence(const char *what, int ms);
    void writeControl(const QByteArray &bytes);
    bool writeAll(QSslSocket &socket, const char *data, qint64 size, int timeoutMs);
    void requireConnected() const;
    void throwIfCancelled() const;

    void openConnection(QTcpSocket &socket, const QHostAddress &address, quint16 port);
    QHostAddress resolveHost();
    void login();
    void setUpSession();
    bool wantsSiteZone() const;
    void closeControl();
    void secureControl();
    void encrypt(QSslSocket &socket);
    void secureData(QSslSocket &data);

    void requestData(const DataRequest &request);
    std::unique_ptr<QSslSocket> openDataConnection(const DataRequest &request, bool &finalReplyPending);
    std::unique_ptr<QSslSocket> openActiveDataConnection(const DataRequest &request, bool &finalReplyPending);
    std::unique_ptr<QSslSocket> openPassiveDataConnection(const DataRequest &request, bool &finalReplyPending);
    void listen(QTcpServer &listener) const;
    std::unique_ptr<QSslSocket> acceptDataConnection(QTcpServer &listener, bool &finalReplyPending);
    void abandonStore();
    void sendFile(QFile &file, const QString &localPath, qint64 offset, QSslSocket &data);
    QByteArray fetch(const DataRequest &request, qint64 limit);
    void receive(QSslSocket &data, QByteArray &received, qint64 limit);
    void finishDataOperation(QSslSocket *data, bool finalReplyPending);
    void abortDataOperation(QSslSocket *data, bool finalReplyPending);
    void drainAbortReplies();
    void closeEncrypted(QSslSocket &data);
    void readSessionTicket(QSslSocket &data);

    void beginWork(WorkMode mode, qint64 total);
    void reportWork(WorkMode mode, qint64 bytes);
    void endWork(WorkMode mode);

    QString m_host;
    quint16 m_port = 21;
    QString m_username;
    QString m_password;
    QString m_account;
    bool m_autoLogin = true;
    bool m_passive = false;
    TransferType m_transferType = TransferType::Binary;
    int m_readTimeout = 60000;
    int m_connectTimeout = 0;
    int m_listenTimeout = 10000;
    int m_transferTimeout = 0;
    quint16 m_dataPort = 0;
    quint16 m_dataPortMin = 0;
    quint16 m_dataPortMax = 0;
    QString m_externalIp;
    bool m_tls = false;
    FtpCertificateCheck m_certificateCheck;
    int m_silenceLimit = 0;
    bool m_passiveFallback = false;
    std::function<bool()> m_isCancelled;

    bool m_busy = false; // one of the four calls is running
    QSslSocket m_control;
    // The certificate errors accepted for the control connection, accepted again for the data.
    QList<QSslError> m_acceptedErrors;
    QString m_certificateRefusal;
    bool m_socketOpen = false; // from a successful connection attempt until it is closed here
    FtpReply m_greeting;
    FtpReply m_lastReply;
    // What the server told about itself; kept for the record, nothing reads it.
    QStringList m_capabilities;
    QString m_systemDescription;
    QString m_timeZoneNote;

    struct Work
    {
        int level = 0;
        qint64 total = 0;
        qint64 count = 0;
    };
    Work m_work[2];
};
