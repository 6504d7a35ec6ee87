#include "upload/UploadRun.h"

#include "chores/ChoreProgress.h"
#include "chores/ChoreRunner.h"
#include "project/Error.h"
#include "upload/TargetUrl.h"
#include "upload/UploadPasswords.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

namespace {

QString fileNameOf(const QString &path)
{
    const QString normal = QDir::fromNativeSeparators(path);
    return normal.mid(normal.lastIndexOf(QLatin1Char('/')) + 1);
}

// What one run learns along the way that concerns its later entries.
struct RunMemory
{
    // "host:port" of the SSH servers whose host key has changed; told once, not tried again.
    QSet<QString> changedHostKeys;
};

QString serverOf(const UploadDestination &destination)
{
    return QStringLiteral("%1:%2").arg(destination.host).arg(destination.port);
}

// Opens the transport as the entry's user: with the password found for it, and where the
// server refuses, once more with one the user gives. SFTP tries the user's keys before asking.
std::unique_ptr<UploadTransport> openTransport(const UploadEntry &entry, const UploadDestination &destination,
                                               ChoreProgress &progress, const UploadServices &services)
{
    const bool keysFirst = destination.protocol == UploadProtocol::Sftp;
    QString password = services.passwords ? services.passwords->find(entry, !keysFirst) : entry.password;
    for (;;) {
        std::unique_ptr<UploadTransport> transport = makeUploadTransport(destination.protocol, progress, services);
        try {
            // The entry's own account; the one written into the URL is never used.
            transport->open({destination.host, destination.port, entry.user, password});
            if (services.passwords)
                services.passwords->loggedIn(entry, password);
            return transport;
        } catch (const LoginRefused &refusal) {
            transport->close();
            if (!services.passwords)
                throw;
            std::optional<QString> another;
            try {
                another = refusal.passwordTried() ? services.passwords->afterRefusal(entry) : services.passwords->find(entry);
            } catch (const Error &none) {
                throw Error(QStringLiteral("%1. %2").arg(refusal.message(), none.message()));
            }
            if (!another || another->isEmpty() || *another == password)
                throw;
            password = *another;
        }
    }
}

void uploadFile(const UploadEntry &entry, int number, ChoreProgress &progress, const UploadServices &services, RunMemory &memory)
{
    if (!QFileInfo(entry.source).isFile()) {
        progress.addFailure(entry.source, QStringLiteral("File does not exist"));
        return;
    }
    const UploadDestination destination = uploadDestination(entry, number);
    if (memory.changedHostKeys.contains(serverOf(destination))) {
        progress.addFailure(entry.source, QStringLiteral("Not uploaded: the host key of %1 has changed, as told for the first upload to it.")
                                              .arg(serverOf(destination)));
        return;
    }
    std::unique_ptr<UploadTransport> transport;
    bool cancelled = false;
    try {
        transport = openTransport(entry, destination, progress, services);
        progress.log(QStringLiteral("Change dir: ") + destination.folder);
        transport->changeFolder(destination.folder);
        progress.log(QStringLiteral("Upload: ") + entry.source);
        transport->store(entry.source, fileNameOf(entry.source));
    } catch (const Error &error) {
        if (dynamic_cast<const HostKeyChanged *>(&error))
            memory.changedHostKeys.insert(serverOf(destination));
        progress.log(QStringLiteral("Failure: ") + entry.source);
        progress.addFailure(entry.source, error.message());
    } catch (const UploadCancelled &cancel) {
        cancelled = true;
        if (!cancel.note().isEmpty())
            progress.addFailure(entry.source, cancel.note());
    }
    if (transport)
        transport->close();
    if (cancelled)
        throw ChoreCancelled();
}

} // namespace

void runUploads(const QList<UploadEntry> &uploads, ChoreProgress &progress, const UploadServices &services)
{
    const int count = int(uploads.size());
    RunMemory memory;
    try {
        for (int i = 0; i < count; ++i) {
            progress.checkCancelled();
            const UploadEntry &entry = uploads.at(i);
            const QString over = QFileInfo(entry.source).isFile()
                ? QStringLiteral(" over ") + protocolName(uploadDestination(entry, i + 1).protocol)
                : QString();
            progress.setStatus(QStringLiteral("Uploading %1 of %2%3: %4").arg(i + 1).arg(count).arg(over, fileNameOf(entry.source)));
            uploadFile(entry, i + 1, progress, services, memory);
        }
    } catch (const ChoreCancelled &) {
        progress.log(QStringLiteral("Cancelled"));
        throw;
    }
}

ChoreEndWording uploadEndWording(const ChoreReport &report, qsizetype uploads)
{
    const qsizetype failed = report.failures.size();
    const QString headline = report.cancelled ? QStringLiteral("%1 of %2 uploads failed:").arg(failed).arg(uploads)
                                              : failedOfHeadline(failed, uploads, QStringLiteral("uploads"));
    return {QStringLiteral("uploaded"), headline};
}
