#pragma once

#include "upload/FtpClient.h"
#include "upload/UploadTransport.h"

class ChoreProgress;

// Uploads over FTP, in the clear or with explicit TLS (FTPS): the FtpClient, its status lines
// in the log, its byte counts as progress, and the server's refusals in words that say which
// step failed.
class FtpTransport : public UploadTransport
{
public:
    FtpTransport(bool tls, ChoreProgress &progress, const UploadServices &services);

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
    QString checkCertificate(const QSslCertificate &certificate, const QList<QSslError> &errors);
    void storeWhole(const QString &localPath, const QString &name, qint64 offset);
    bool removeQuietly(const QString &name);
    qint64 resumableSize(const QString &temporary, qint64 size);

    bool m_tls;
    ChoreProgress &m_progress;
    const UploadServices &m_services;
    FtpClient m_client;
    UploadServer m_server;
    qint64 m_offset = 0; // where the current transfer began in the file
    qint64 m_size = 0;
    bool m_machineListing = true; // until the server turns MLSD down
};
