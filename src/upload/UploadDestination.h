#pragma once

#include "upload/UploadProtocol.h"

#include <QString>

#include <functional>

struct UploadEntry;

// Where an entry's file goes: the protocol its URL's scheme names, the host of its URL, the
// port it connects to and the remote folder.
struct UploadDestination
{
    UploadProtocol protocol = UploadProtocol::Ftp;
    QString host;
    quint16 port = 0;
    QString folder;
};

// The port an entry connects to: the one written in its URL, else its Port field, else for
// SFTP the one ~/.ssh/config gives the host (`sshConfigPort`, asked only then), else the
// protocol's own. An SFTP entry's "21" is the dialog's old default, no choice of port.
// Throws Error when the Port field it comes to is no port number.
quint16 uploadPort(UploadProtocol protocol, int urlPort, const QString &field, const std::function<quint16()> &sshConfigPort);

// The remote folder a URL path names. For SFTP the path is absolute, as every SFTP client
// reads it, and "/~/" starts in the home folder; for FTP and FTPS it starts in the login
// folder, as FTP URLs do, so "//srv/files" names the absolute "/srv/files".
QString uploadFolder(UploadProtocol protocol, const QString &urlPath);

// Throws Error when the entry's target or port cannot be used.
UploadDestination uploadDestination(const UploadEntry &entry);
// The same, the message naming the entry, `number` counted from 1, when its target or port cannot be used.
UploadDestination uploadDestination(const UploadEntry &entry, int number);

// The port OpenSSH's client would take for `host` from ~/.ssh/config; 22 when it names none
// or cannot be read (connecting then says why).
quint16 sshConfiguredPort(const QString &host);
