#include "upload/UploadRun.h"

#include "chores/ChoreProgress.h"
#include "chores/ChoreRunner.h"
#include "project/Error.h"
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

} // namespace

void runUploads(const QList<UploadEntry> &uploads, ChoreProgress &progress, const UploadServices &services)
{
    const int count = int(uploads.size());
    try {
        for (int i = 0; i < count; ++i) {
            progress.checkCancelled();
            const UploadEntry &entry = uploads.at(i);
            const QString over = QFileInfo(entry.source).isFile()
                ? QStringLiteral(" over ") + protocolName(uploadDestination(entry, i + 1).protocol)
                : QString();
            progress.setStatus(QStringLiteral("Uploading %1 of %2%3: %4").arg(i + 1).arg(count).arg(over, fileNameOf(entry.source)));
            uploadFile(entry, i + 1, progress, services);
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
    const UploadProtocol protocol = protocolOfScheme(target.scheme);
    quint16 port = portOf(entry, number);
    // The dialog's "21" on an SSH entry is no choice of port: SSH's own (or ~/.ssh/config's) applies.
    if (protocol == UploadProtocol::Sftp && port == 21)
        port = 0;
    return {protocol, target.host, port, folder};
}

void uploadFile(const UploadEntry &entry, int number, ChoreProgress &progress, const UploadServices &services)
{
    if (!QFileInfo(entry.source).isFile()) {
        progress.addFailure(entry.source, QStringLiteral("File does not exist"));
        return;
    }
    const UploadDestination destination = uploadDestination(entry, number);
    const std::unique_ptr<UploadTransport> transport = makeUploadTransport(destination.protocol, progress, services);

    bool cancelled = false;
    try {
        // The entry's own account; the one written into the URL is never used. An entry left
        // without a password fails alone.
        const QString password = services.password ? services.password(entry) : entry.password;
        transport->open({destination.host, destination.port, entry.user, password});
        progress.log(QStringLiteral("Change dir: ") + destination.folder);
        transport->changeFolder(destination.folder);
        progress.log(QStringLiteral("Upload: ") + entry.source);
        transport->store(entry.source, fileNameOf(entry.source));
    } catch (const Error &error) {
        progress.log(QStringLiteral("Failure: ") + entry.source);
        progress.addFailure(entry.source, error.message());
    } catch (const UploadCancelled &cancel) {
        cancelled = true;
        if (!cancel.note().isEmpty())
            progress.addFailure(entry.source, cancel.note());
    }
    transport->close();
    if (cancelled)
        throw ChoreCancelled();
}

ChoreEndWording uploadEndWording(const ChoreReport &report, qsizetype uploads)
{
    const qsizetype failed = report.failures.size();
    const QString headline = report.cancelled ? QStringLiteral("%1 of %2 uploads failed:").arg(failed).arg(uploads)
                                              : failedOfHeadline(failed, uploads, QStringLiteral("uploads"));
    return {QStringLiteral("uploaded"), headline};
}
