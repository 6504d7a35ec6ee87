#include "upload/UploadRun.h"

#include "chores/ChoreProgress.h"
#include "chores/ChoreRunner.h"
#include "project/Error.h"
#include "upload/FolderDeploy.h"
#include "upload/TargetUrl.h"
#include "upload/TransferQueue.h"
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

const QLatin1String RemoveStaleFragment("#remove-stale");

// Deploys a folder entry over connections opened as the entry's user; its files that fail are
// failures of their own.
void deployFolder(const UploadEntry &entry, int number, ChoreProgress &progress, const UploadServices &services)
{
    const UploadDestination destination = uploadDestination(entry, number);
    try {
        progress.log(QStringLiteral("Deploy: ") + entry.source);
        FolderDeploy deploy(entry.source, destination,
                            [&](const UploadServices &opening) { return openTransport(entry, destination, progress, opening); },
                            {targetRemovesStale(entry.target), services.transfersAtOnce}, progress, services);
        deploy.run();
    } catch (const Error &error) {
        progress.log(QStringLiteral("Failure: ") + entry.source);
        progress.addFailure(entry.source, error.message());
    } catch (const UploadCancelled &) {
        throw ChoreCancelled();
    }
}

void uploadFile(const UploadEntry &entry, int number, ChoreProgress &progress, const UploadServices &services, RunMemory &memory)
{
    if (QFileInfo(entry.source).isDir())
        return deployFolder(entry, number, progress, services);
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
    if (services.queue)
        services.queue->clear();
    try {
        for (int i = 0; i < count; ++i) {
            progress.checkCancelled();
            const UploadEntry &entry = uploads.at(i);
            const QFileInfo source(entry.source);
            const QString over = source.isFile() || source.isDir()
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

bool targetRemovesStale(const QString &target)
{
    return target.endsWith(RemoveStaleFragment);
}

QString targetWithRemoveStale(const QString &target, bool removeStale)
{
    const QString without = targetRemovesStale(target) ? target.chopped(RemoveStaleFragment.size()) : target;
    return removeStale ? without + RemoveStaleFragment : without;
}

QList<UploadPreview> previewUploads(const QList<UploadEntry> &uploads, ChoreProgress &progress, const UploadServices &services)
{
    QList<UploadPreview> previews;
    for (qsizetype i = 0; i < uploads.size(); ++i) {
        progress.checkCancelled();
        const UploadEntry &entry = uploads.at(i);
        // As the run itself: a missing file fails alone, a target that cannot be used stops.
        const QFileInfo source(entry.source);
        if (!source.isFile() && !source.isDir()) {
            progress.addFailure(entry.source, QStringLiteral("File does not exist"));
            continue;
        }
        UploadPreview preview{entry, uploadDestination(entry, int(i) + 1), std::nullopt};
        if (source.isDir()) {
            try {
                FolderDeploy deploy(entry.source, preview.destination,
                                    [&](const UploadServices &opening) {
                                        return openTransport(entry, preview.destination, progress, opening);
                                    },
                                    {targetRemovesStale(entry.target), 1}, progress, services);
                preview.plan = deploy.survey().plan;
            } catch (const Error &error) {
                progress.addFailure(entry.source, error.message());
                continue;
            } catch (const UploadCancelled &) {
                throw ChoreCancelled();
            }
        }
        previews.append(preview);
    }
    return previews;
}

// The folder as a URL of the protocol writes it.
QString previewHeadline(const UploadPreview &preview)
{
    const UploadDestination &destination = preview.destination;
    const QString &folder = destination.folder;
    const QString path = destination.protocol != UploadProtocol::Sftp ? QLatin1Char('/') + folder
        : folder.startsWith(QLatin1Char('/'))                          ? folder
        : folder.isEmpty()                                             ? QStringLiteral("/~")
                                                                       : QStringLiteral("/~/") + folder;
    return QStringLiteral("%1 -> %2://%3@%4:%5%6")
        .arg(preview.entry.source, protocolScheme(destination.protocol), preview.entry.user, destination.host)
        .arg(destination.port)
        .arg(path);
}

ChoreEndWording uploadEndWording(const ChoreReport &report, qsizetype uploads)
{
    const qsizetype failed = report.failures.size();
    QString headline = report.cancelled ? QStringLiteral("%1 of %2 uploads failed:").arg(failed).arg(uploads)
                                        : failedOfHeadline(failed, uploads, QStringLiteral("uploads"));
    // A folder entry's files fail one by one, so there may be more failures than entries.
    if (failed > uploads)
        headline = report.cancelled ? QStringLiteral("%1 files failed:").arg(failed)
                                    : QStringLiteral("Finished, but %1 files failed:").arg(failed);
    return {QStringLiteral("uploaded"), headline};
}
