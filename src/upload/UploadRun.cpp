#include "upload/UploadRun.h"

#include "chores/ChoreProgress.h"
#include "chores/ChoreRunner.h"
#include "project/Error.h"
#include "upload/FtpClient.h"
#include "upload/FtpReplyError.h"
#include "upload/TargetUrl.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

QString fileNameOf(const QString &path)
{
    const QString normal = QDir::fromNativeSeparators(path);
    return normal.mid(normal.lastIndexOf(QLatin1Char('/')) + 1);
}

quint16 portOf(const UploadEntry &entry, int number)
{
    static const QRegularExpression wholeNumber(QStringLiteral("^[+-]?[0-9]+$"));
    if (!wholeNumber.match(entry.port).hasMatch())
        throw Error(QStringLiteral("Upload %1: the port \"%2\" is not a whole number").arg(number).arg(entry.port));
    bool inRange = false;
    const int port = entry.port.toInt(&inRange);
    if (!inRange || port < 1 || port > 65535)
        throw Error(QStringLiteral("Upload %1: the port \"%2\" is not a port number from 1 to 65535").arg(number).arg(entry.port));
    return quint16(port);
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

enum class UploadStep { Connecting, ChangingFolder, Storing };

// What went wrong, in words that say which side failed: a server's refusal is quoted with its
// reply, so a missing remote folder is never mistaken for a missing local file.
QString failureReason(const Error &error, UploadStep step, const QString &folder)
{
    const auto *refusal = dynamic_cast<const FtpReplyError *>(&error);
    if (!refusal)
        return QString(error.message()).replace(QLatin1String("\r\n"), QLatin1String(": "));
    const QString reply = QStringLiteral("%1 %2").arg(refusal->code()).arg(refusal->message());
    switch (step) {
    case UploadStep::Connecting:
        return QStringLiteral("The server refused the login: %1").arg(reply);
    case UploadStep::ChangingFolder:
        if (refusal->code() == 550)
            return QStringLiteral("The server has no folder \"%1\": %2").arg(folder, reply);
        return QStringLiteral("The server refused to open the folder \"%1\": %2").arg(folder, reply);
    case UploadStep::Storing:
        break;
    }
    return QStringLiteral("The server refused to store the file: %1").arg(reply);
}

} // namespace

void runUploads(const QList<UploadEntry> &uploads, ChoreProgress &progress)
{
    FtpClient client;
    client.setCancelCheck([&progress] { return progress.isCancelled(); });
    QObject::connect(&client, &FtpClient::status, &client,
                     [&progress](FtpClient::StatusKind, const QString &text) { progress.log(text); });
    QObject::connect(&client, &FtpClient::workBegin, &client, [&progress](FtpClient::WorkMode, qint64 total) {
        progress.setDone(0);
        progress.setTotal(total);
    });
    QObject::connect(&client, &FtpClient::work, &client,
                     [&progress](FtpClient::WorkMode, qint64 count) { progress.setDone(count); });
    QObject::connect(&client, &FtpClient::workEnd, &client, [&progress](FtpClient::WorkMode) { progress.setDone(0); });

    const int count = int(uploads.size());
    try {
        for (int i = 0; i < count; ++i) {
            progress.checkCancelled();
            const UploadEntry &entry = uploads.at(i);
            progress.setStatus(QStringLiteral("Uploading %1 of %2: %3").arg(i + 1).arg(count).arg(fileNameOf(entry.source)));
            uploadFile(client, entry, i + 1, progress);
        }
    } catch (const ChoreCancelled &) {
        progress.log(QStringLiteral("Cancelled"));
        throw;
    }
}

UploadDestination uploadDestination(const UploadEntry &entry, int number)
{
    TargetUrl target;
    try {
        target = crackTargetUrl(entry.target);
    } catch (const Error &error) {
        throw Error(QStringLiteral("Upload %1: %2").arg(number).arg(error.message()));
    }
    // Only the first slash goes: "//srv/files" names the absolute folder "/srv/files".
    const QString folder = target.path.startsWith(QLatin1Char('/')) ? target.path.mid(1) : target.path;
    return {target.host, portOf(entry, number), folder};
}

void uploadFile(FtpClient &client, const UploadEntry &entry, int number, ChoreProgress &progress)
{
    if (!QFileInfo(entry.source).isFile()) {
        progress.addFailure(entry.source, QStringLiteral("File does not exist"));
        return;
    }
    const UploadDestination destination = uploadDestination(entry, number);
    const QString &folder = destination.folder;
    // The entry's own account; the one written into the URL is never used.
    client.setHost(destination.host);
    client.setPort(destination.port);
    client.setUsername(entry.user);
    client.setPassword(entry.password);

    UploadStep step = UploadStep::Connecting;
    bool cancelled = false;
    try {
        client.connectToHost();
        step = UploadStep::ChangingFolder;
        progress.log(QStringLiteral("Change dir: ") + folder);
        client.changeDir(folder);
        step = UploadStep::Storing;
        const TransferWatch watch(client);
        progress.log(QStringLiteral("Upload: ") + entry.source);
        client.put(entry.source);
        if (!watch.complete()) {
            // Stored in part, though the server said nothing against it.
            progress.log(QStringLiteral("Failure: ") + entry.source);
            progress.addFailure(entry.source, watch.shortfall());
        }
    } catch (const Error &error) {
        progress.log(QStringLiteral("Failure: ") + entry.source);
        progress.addFailure(entry.source, failureReason(error, step, folder));
    } catch (const FtpCancelled &) {
        cancelled = true;
        if (step == UploadStep::Storing)
            progress.addFailure(entry.source, QStringLiteral("Cancelled during the transfer: the file on the server may be incomplete."));
    }
    client.disconnectFromHost();
    if (cancelled)
        throw ChoreCancelled();
}

QString uploadEndMessage(const ChoreReport &report, int uploads)
{
    const QString lines = failureLines(report.failures);
    if (report.cancelled)
        return report.failures.isEmpty() ? QStringLiteral("Cancelled") : QStringLiteral("Cancelled:") + lines;
    if (report.failures.isEmpty())
        return QStringLiteral("Finished");
    return failedUploadsHeading(int(report.failures.size()), uploads) + lines;
}

QString failedUploadsHeading(int failed, int uploads)
{
    return QStringLiteral("Finished, but %1 of %2 uploads failed:").arg(failed).arg(uploads);
}
