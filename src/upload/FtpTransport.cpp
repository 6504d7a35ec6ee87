#include "upload/FtpTransport.h"

#include "chores/ChoreProgress.h"
#include "upload/FtpReplyError.h"
#include "upload/HostTrust.h"
#include "upload/PinnedCertificates.h"

#include <QDir>
#include <QFileInfo>
#include <QScopeGuard>
#include <QSslCertificate>

namespace {

// Long enough for a server to answer a cleanup command, short enough for a cancel.
constexpr int CleanupLimitMs = 2000;
// The largest file read back from a server: a deploy's record of a large site.
constexpr qint64 ReadLimit = 256 * 1024 * 1024;

QString replyText(const FtpReplyError &refusal)
{
    return QStringLiteral("%1 %2").arg(refusal.code()).arg(refusal.message());
}

// Whether the whole file went out: the byte count reached the size, or the file was empty
// and the server confirmed storing it.
class TransferWatch
{
public:
    explicit TransferWatch(FtpClient &client)
    {
        QObject::connect(&client, &FtpClient::workBegin, &m_context, [this](FtpClient::WorkMode, qint64 total) {
            m_total = total;
            m_sent = 0;
        });
        QObject::connect(&client, &FtpClient::work, &m_context, [this](FtpClient::WorkMode, qint64 count) { m_sent = count; });
    }

    bool complete() const { return m_sent == m_total || m_total == 0; }
    // Why the server holds less than the file, for an incomplete transfer.
    QString shortfall() const
    {
        return QStringLiteral("The server ended the transfer after %1 of %2 bytes.").arg(m_sent).arg(m_total);
    }

private:
    QObject m_context;
    qint64 m_total = -1;
    qint64 m_sent = 0;
};

} // namespace

FtpTransport::FtpTransport(bool tls, ChoreProgress &progress, const UploadServices &services)
    : m_tls(tls), m_progress(progress), m_services(services)
{
    m_client.setTls(tls);
    m_client.setPassiveFallback(true);
    m_client.setPassive(services.passive);
    m_client.setSilenceLimit(services.silenceLimitMs);
    m_client.setConnectTimeout(services.silenceLimitMs);
    m_client.setCancelCheck([&progress] { return progress.isCancelled(); });
    m_client.setCertificateCheck([this](const QSslCertificate &certificate, const QList<QSslError> &errors) {
        return checkCertificate(certificate, errors);
    });
    QObject::connect(&m_client, &FtpClient::status, &m_client,
                     [&progress](FtpClient::StatusKind, const QString &text) { progress.log(text); });
    QObject::connect(&m_client, &FtpClient::workBegin, &m_client, [this](FtpClient::WorkMode, qint64 total) {
        m_size = m_offset + total;
        reportBytes(m_progress, m_offset, m_size);
    });
    QObject::connect(&m_client, &FtpClient::work, &m_client,
                     [this](FtpClient::WorkMode, qint64 count) { reportBytes(m_progress, m_offset + count, m_size); });
    QObject::connect(&m_client, &FtpClient::workEnd, &m_client, [this](FtpClient::WorkMode) { reportTransferEnd(m_progress); });
}

void FtpTransport::open(const UploadServer &server)
{
    m_server = server;
    if (m_tls) // plain FTP keeps the log it always had
        m_progress.log(QStringLiteral("Uploading over FTPS"));
    m_client.setHost(server.host);
    m_client.setPort(server.port != 0 ? server.port : 21);
    m_client.setUsername(server.user);
    m_client.setPassword(server.password);
    bool connected = false;
    const QMetaObject::Connection watch = QObject::connect(
        &m_client, &FtpClient::status, &m_client,
        [&connected](FtpClient::StatusKind kind, const QString &) { connected |= kind == FtpClient::StatusKind::Connected; });
    const auto unwatch = qScopeGuard([&watch] { QObject::disconnect(watch); });
    try {
        m_client.connectToHost();
    } catch (const FtpReplyError &refusal) {
        const QString message = QStringLiteral("The server refused the login: %1").arg(replyText(refusal));
        // 530: not logged in; another password may do.
        if (refusal.code() == 530)
            throw LoginRefused(message, !server.password.isEmpty());
        throw Error(message);
    } catch (const Error &error) {
        // Socket errors come on two lines.
        const QString message = QString(error.message()).replace(QLatin1String("\r\n"), QLatin1String(": "));
        if (connected)
            throw Error(message);
        throw Error(QStringLiteral("Cannot connect to %1 port %2: %3").arg(server.host).arg(m_client.port()).arg(message));
    } catch (const FtpCancelled &) {
        throw UploadCancelled();
    }
}

void FtpTransport::changeFolder(const QString &folder)
{
    try {
        m_client.changeDir(folder);
    } catch (const FtpReplyError &refusal) {
        // Said of the server, so a missing remote folder is never taken for a missing local file.
        if (refusal.code() == 550)
            throw Error(QStringLiteral("The server has no folder \"%1\": %2").arg(folder, replyText(refusal)));
        throw Error(QStringLiteral("The server refused to open the folder \"%1\": %2").arg(folder, replyText(refusal)));
    } catch (const FtpCancelled &) {
        throw UploadCancelled();
    }
}

void FtpTransport::store(const QString &localPath, const QString &name)
{
    const QString temporary = temporaryUploadName(localPath, name);
    const qint64 size = QFileInfo(localPath).size();
    try {
        const qint64 offset = resumableSize(temporary, size);
        if (offset < size || size == 0)
            storeWhole(localPath, temporary, offset);
        const std::optional<qint64> held = m_client.remoteSize(temporary);
        if (held && *held != size) {
            removeQuietly(temporary);
            throw Error(QStringLiteral("The server holds %1 of the file's %2 bytes after the transfer, so it was not put in place.")
                            .arg(*held)
                            .arg(size));
        }
    } catch (const FtpCancelled &) {
        throw UploadCancelled(keptPartNote(temporary));
    }
    try {
        m_client.rename(temporary, name);
    } catch (const FtpReplyError &refusal) {
        removeQuietly(temporary);
        if (m_tls)
            throw Error(QStringLiteral("The server refused to give the uploaded file its name \"%1\": %2").arg(name, replyText(refusal)));
        m_progress.log(QStringLiteral("The server refused to rename the uploaded file (%1): storing it under its own name directly.")
                           .arg(replyText(refusal)));
        try {
            storeWhole(localPath, name, 0);
        } catch (const FtpCancelled &) {
            throw UploadCancelled(
                QStringLiteral("Cancelled during the transfer; the file \"%1\" on the server may be incomplete.").arg(name));
        }
    } catch (const FtpCancelled &) {
        // Cancelled while the server renamed the whole file: the part stays, and is resumed.
        throw UploadCancelled(keptPartNote(temporary));
    }
}

// The size of a temporary an earlier run left, when the transfer can go on from there.
qint64 FtpTransport::resumableSize(const QString &temporary, qint64 size)
{
    if (size == 0)
        return 0;
    const std::optional<qint64> held = m_client.remoteSize(temporary);
    if (!held || *held <= 0 || *held > size)
        return 0;
    m_progress.log(QStringLiteral("Resuming the upload at byte %1 of %2.").arg(*held).arg(size));
    return *held;
}

void FtpTransport::storeWhole(const QString &localPath, const QString &name, qint64 offset)
{
    const TransferWatch watch(m_client);
    m_offset = offset;
    try {
        m_client.put(localPath, name, offset);
    } catch (const FtpRestartRefused &refusal) {
        // What was stored before is of no use then: the whole file goes again, over it.
        m_progress.log(QStringLiteral("The server refused to resume the upload (%1): uploading the whole file again.")
                           .arg(replyText(refusal)));
        return storeWhole(localPath, name, 0);
    } catch (const FtpReplyError &refusal) {
        throw Error(QStringLiteral("The server refused to store the file: %1").arg(replyText(refusal)));
    }
    if (!watch.complete()) {
        // Stored in part, though the server said nothing against it.
        removeQuietly(name);
        throw Error(watch.shortfall());
    }
}

bool FtpTransport::removeQuietly(const QString &name)
{
    try {
        m_client.remove(name);
        return true;
    } catch (const Error &) {
        return false;
    } catch (const FtpCancelled &) {
        return false;
    }
}

void FtpTransport::close()
{
    m_client.disconnectFromHost();
}

QList<RemoteEntry> FtpTransport::list(const QString &folder)
{
    try {
        if (m_machineListing) {
            if (const std::optional<QString> facts = m_client.machineListing(folder))
                return parseMachineListing(*facts);
            m_machineListing = false;
        }
        return parseUnixListing(m_client.listing(folder));
    } catch (const FtpReplyError &refusal) {
        throw Error(QStringLiteral("The server refused to list the folder \"%1\": %2").arg(folder, replyText(refusal)));
    } catch (const FtpCancelled &) {
        throw UploadCancelled();
    }
}

void FtpTransport::makeFolder(const QString &folder)
{
    try {
        m_client.makeDir(folder);
    } catch (const FtpReplyError &) {
        // Most likely there already; a store into it says so if not.
    } catch (const FtpCancelled &) {
        throw UploadCancelled();
    }
}

std::optional<QByteArray> FtpTransport::read(const QString &path)
{
    try {
        return m_client.retrieve(path, ReadLimit);
    } catch (const FtpReplyError &refusal) {
        if (refusal.code() == 550)
            return std::nullopt;
        throw Error(QStringLiteral("The server refused to send \"%1\": %2").arg(path, replyText(refusal)));
    } catch (const FtpCancelled &) {
        throw UploadCancelled();
    }
}

void FtpTransport::remove(const QString &path)
{
    try {
        m_client.remove(path);
    } catch (const FtpReplyError &refusal) {
        throw Error(QStringLiteral("The server refused to remove \"%1\": %2").arg(path, replyText(refusal)));
    } catch (const FtpCancelled &) {
        throw UploadCancelled();
    }
}

void FtpTransport::settle()
{
    m_client.setCancelCheck({});
    m_client.setSilenceLimit(CleanupLimitMs);
}

QString FtpTransport::checkCertificate(const QSslCertificate &certificate, const QList<QSslError> &errors)
{
    const QString fingerprint = QString::fromLatin1(certificate.digest(QCryptographicHash::Sha256).toHex(':').toUpper());
    const QString server = QStringLiteral("%1:%2").arg(m_server.host).arg(m_client.port());
    QStringList reasons;
    for (const QSslError &error : errors)
        reasons.append(error.errorString());
    reasons.removeDuplicates();
    try {
        const PinnedCertificates pins(m_services.pinnedCertificates.isEmpty() ? PinnedCertificates::defaultPath()
                                                                              : m_services.pinnedCertificates);
        if (const std::optional<QString> pinned = pins.find(m_server.host, m_client.port())) {
            if (sameFingerprint(*pinned, fingerprint))
                return {};
            // The pinned fingerprint itself is never told.
            return QStringLiteral("The certificate of %1 has changed: it is now SHA-256 %2, not the one trusted before. "
                                  "Not connected. If the certificate was changed on purpose, remove the line of %1 from "
                                  "%3 and upload again to trust the new one.")
                .arg(server, fingerprint, QDir::toNativeSeparators(pins.path()));
        }
        const QString question = QStringLiteral("The server %1 presents a certificate the system does not trust (%2), with "
                                                "the SHA-256 fingerprint %3. Trust it?")
                                     .arg(server, reasons.join(QLatin1String("; ")), fingerprint);
        if (!m_services.hostTrust || !m_services.hostTrust->trust(question, fingerprint))
            return QStringLiteral("The certificate of %1 is not trusted (%2); its SHA-256 fingerprint is %3.")
                .arg(server, reasons.join(QLatin1String("; ")), fingerprint);
        pins.pin(m_server.host, m_client.port(), fingerprint);
        m_progress.log(QStringLiteral("Trusting the certificate of %1 from now on.").arg(server));
        return {};
    } catch (const Error &error) {
        return error.message();
    }
}
