#pragma once

#include "project/Error.h"
#include "upload/RemoteListing.h"
#include "upload/UploadProtocol.h"

#include <QByteArray>
#include <QString>

#include <exception>
#include <functional>
#include <memory>
#include <optional>

class ChoreProgress;
class HostTrust;
class PasswordSource;
class TransferQueue;
struct UploadEntry;

// What an upload run asks of its surroundings.
struct UploadServices
{
    // Decides on servers whose identity nothing vouches for; without it they are refused.
    HostTrust *hostTrust = nullptr;
    // Finds the passwords that entries do not hold; without it, each entry's own is used.
    PasswordSource *passwords = nullptr;
    // The file of pinned certificates; empty for the one in the settings folder.
    QString pinnedCertificates;
    // How long a server that says nothing is waited for, in milliseconds.
    int silenceLimitMs = 60000;
    // Connections a folder deploy opens to its server at once; 1 sends the files in order.
    int transfersAtOnce = 4;
    // FTP data connections that we open (PASV) rather than the server (PORT), as a deploy's
    // many transfers at once want: no listener each, and no server that cannot connect back.
    bool passive = false;
    // Where a folder deploy shows its files as they go; none for no list.
    TransferQueue *queue = nullptr;
    // For the short cleanup after a cancel: the transports made then ignore it (settle()).
    bool settled = false;
};

// Where and as whom to log in. Port 0 leaves the port to the protocol's settings.
struct UploadServer
{
    QString host;
    quint16 port = 0;
    QString user;
    QString password;
};

// Ends an upload that was cancelled; `note` says what the server may still hold, if anything.
class UploadCancelled : public std::exception
{
public:
    explicit UploadCancelled(QString note = {}) : m_note(std::move(note)) {}
    const QString &note() const { return m_note; }
    const char *what() const noexcept override { return "Cancelled"; }

private:
    QString m_note;
};

// The server turned the login down: the password it was given (`passwordTried`), or, with
// none given, every other way to log in. Another password may get in.
class LoginRefused : public Error
{
public:
    LoginRefused(const QString &message, bool passwordTried) : Error(message), m_passwordTried(passwordTried) {}
    bool passwordTried() const { return m_passwordTried; }

private:
    bool m_passwordTried;
};

// The SSH server presents another host key than known_hosts holds for it.
class HostKeyChanged : public Error
{
public:
    using Error::Error;
};

// One protocol's way of putting files on a server. Each call throws Error with a message for
// the user, or UploadCancelled once the chore is cancelled. Status lines go to the chore's log
// and the bytes sent to its progress.
class UploadTransport
{
public:
    virtual ~UploadTransport() = default;

    // Connects, checks the server's identity and logs in. Throws LoginRefused when the server
    // turns the login down.
    virtual void open(const UploadServer &server) = 0;
    virtual void changeFolder(const QString &folder) = 0;
    // Stores the local file as `name` in the current folder: under a temporary name first,
    // put in place only once the server holds all of it, and continuing a temporary an earlier
    // run of the same file left behind.
    // `name` may lead through folders below the current one ("docs/index.html").
    virtual void store(const QString &localPath, const QString &name) = 0;
    // Leaves the server; never throws.
    virtual void close() = 0;

    // What a folder deploy needs besides storing; paths lead from the current folder, with "/".
    // The files and folders in `folder` ("" for the current one).
    virtual QList<RemoteEntry> list(const QString &folder) = 0;
    // Creates `folder`; one that is there already is no failure.
    virtual void makeFolder(const QString &folder) = 0;
    // The content of a small file, or nothing when the server has no such file.
    virtual std::optional<QByteArray> read(const QString &path) = 0;
    virtual void remove(const QString &path) = 0;
    // After a cancel, lets the calls that follow run for a short while uncancelled, so what
    // arrived can still be written down.
    virtual void settle() = 0;

    // Where the bytes of a store go: `position` of the file's `size` are on the server. By
    // default the chore's progress follows the file, and falls back to 0 after it.
    using ByteReport = std::function<void(qint64 position, qint64 size)>;
    void setByteReport(ByteReport report) { m_byteReport = std::move(report); }

protected:
    void reportBytes(ChoreProgress &progress, qint64 position, qint64 size) const;
    void reportTransferEnd(ChoreProgress &progress) const;

private:
    ByteReport m_byteReport;
};

std::unique_ptr<UploadTransport> makeUploadTransport(UploadProtocol protocol, ChoreProgress &progress,
                                                     const UploadServices &services);

// What a cancel mid-file leaves: the part sent stays under its temporary name, never the real
// one, and the next upload of the unchanged file goes on from there.
QString keptPartNote(const QString &temporary);

// The name a file is stored under until it is whole: hidden beside it (in the same folder), and the same for as
// long as the local file keeps its size and time, so a later run can go on with it.
QString temporaryUploadName(const QString &localPath, const QString &name);
