#pragma once

#include "upload/FtpReply.h"

#include <QHostAddress>
#include <QObject>
#include <QTcpSocket>

#include <exception>
#include <functional>
#include <memory>
#include <optional>

class QFile;
class QTcpServer;

// Thrown by a call of the client that its cancel check stopped. It is no Error: the calls let
// it pass, and the caller decides what a cancelled upload means.
class FtpCancelled : public std::exception
{
public:
    const char *what() const noexcept override { return "Cancelled"; }
};

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
    // Stores the file under its own name in the current remote folder, replacing a file of
    // that name. Files of 2 GiB and more are refused.
    void put(const QString &localPath);
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

    void quitAndClose();
    FtpReply sendCmd(const QString &line, const QList<int> &allowed);
    FtpReply getResponse(const QList<int> &allowed);
    std::optional<QString> readLine();
    void writeControl(const QByteArray &bytes);
    bool writeAll(QTcpSocket &socket, const char *data, qint64 size, int timeoutMs);
    void requireConnected() const;
    void throwIfCancelled() const;

    void openConnection(QTcpSocket &socket, const QHostAddress &address, quint16 port);
    QHostAddress resolveHost();
    void login();
    void setUpSession();
    bool wantsSiteZone() const;
    void closeControl();

    std::unique_ptr<QTcpSocket> openDataConnection(const QString &remoteName, bool &finalReplyPending);
    std::unique_ptr<QTcpSocket> openActiveDataConnection(const QString &remoteName, bool &finalReplyPending);
    std::unique_ptr<QTcpSocket> openPassiveDataConnection(const QString &remoteName, bool &finalReplyPending);
    void listen(QTcpServer &listener) const;
    std::unique_ptr<QTcpSocket> acceptDataConnection(QTcpServer &listener, bool &finalReplyPending);
    void sendFile(QFile &file, QTcpSocket &data);
    void finishDataOperation(QTcpSocket *data, bool finalReplyPending);
    void abortDataOperation(QTcpSocket *data, bool finalReplyPending);

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
    std::function<bool()> m_isCancelled;

    bool m_busy = false; // one of the four calls is running
    QTcpSocket m_control;
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
