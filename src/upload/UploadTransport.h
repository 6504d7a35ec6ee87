#pragma once

#include "upload/UploadProtocol.h"

#include <QString>

#include <exception>
#include <functional>
#include <memory>

class ChoreProgress;
class HostTrust;
struct UploadEntry;

// What an upload run asks of its surroundings.
struct UploadServices
{
    // Decides on servers whose identity nothing vouches for; without it they are refused.
    HostTrust *hostTrust = nullptr;
    // The password of an entry; without it, the entry's own. Throws Error when there is none.
    std::function<QString(const UploadEntry &)> password;
    // The file of pinned certificates; empty for the one in the settings folder.
    QString pinnedCertificates;
    // How long a server that says nothing is waited for, in milliseconds.
    int silenceLimitMs = 60000;
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

// One protocol's way of putting files on a server. Each call throws Error with a message for
// the user, or UploadCancelled once the chore is cancelled. Status lines go to the chore's log
// and the bytes sent to its progress.
class UploadTransport
{
public:
    virtual ~UploadTransport() = default;

    // Connects, checks the server's identity and logs in.
    virtual void open(const UploadServer &server) = 0;
    virtual void changeFolder(const QString &folder) = 0;
    // Stores the local file as `name` in the current folder: under a temporary name first,
    // put in place only once the server holds all of it, and continuing a temporary an earlier
    // run of the same file left behind.
    virtual void store(const QString &localPath, const QString &name) = 0;
    // Leaves the server; never throws.
    virtual void close() = 0;
};

std::unique_ptr<UploadTransport> makeUploadTransport(UploadProtocol protocol, ChoreProgress &progress,
                                                     const UploadServices &services);

// The name a file is stored under until it is whole: hidden beside it, and the same for as
// long as the local file keeps its size and time, so a later run can go on with it.
QString temporaryUploadName(const QString &localPath, const QString &name);
