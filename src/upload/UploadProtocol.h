#pragma once

#include <QString>

// How a file travels to its server, chosen by the scheme of the entry's target URL.
enum class UploadProtocol { Ftp, Ftps, Sftp };

// "sftp" and "ftps" (in any case) choose those; any other scheme is plain FTP.
UploadProtocol protocolOfScheme(const QString &scheme);
// "FTP", "FTPS", "SFTP", as the log and the messages name it.
QString protocolName(UploadProtocol protocol);
// "ftp", "ftps", "sftp", as a URL writes it.
QString protocolScheme(UploadProtocol protocol);
