#include "upload/FolderDeploy.h"

#include "chores/ChoreProgress.h"
#include "project/Error.h"
#include "upload/SyncState.h"
#include "upload/TransferQueue.h"
#include "upload/UploadRun.h"

#include <QElapsedTimer>
#include <QLocale>
#include <QMutex>
#include <QTemporaryFile>
#include <QThread>

#include <algorithm>

namespace {

// Every folder a path leads through, the outermost first: "a/b/c" gives "a", "a/b".
QStringList foldersOf(const QString &path)
{
    QStringList folders;
    for (qsizetype slash = path.indexOf(QLatin1Char('/')); slash > 0; slash = path.indexOf(QLatin1Char('/'), slash + 1))
        folders.append(path.left(slash));
    return folders;
}

constexpr qint64 RateEveryMs = 250;

QString bytesText(qint64 bytes)
{
    return QStringLiteral("%1 bytes").arg(QLocale::system().toString(bytes));
}

} // namespace

// The files still to send, shared by the connections that send them, and what arrived.
struct FolderDeploy::Shared
{
    QMutex mutex;
    QMutex opening;
    QList<MirrorStep> queue;
    qsizetype next = 0;
    QHash<QString, QString> localPaths;
    QHash<QString, int> rows; // in the transfer list
    TransferQueue *list = nullptr;
    QSet<QString> arrived;
    int sent = 0;
    QElapsedTimer clock;
    qint64 lastRateMs = -RateEveryMs;

    std::optional<MirrorStep> take()
    {
        const QMutexLocker lock(&mutex);
        return next < queue.size() ? std::optional(queue.at(next++)) : std::nullopt;
    }
    void markArrived(const QString &path)
    {
        const QMutexLocker lock(&mutex);
        arrived.insert(path);
        ++sent;
    }
    // The status bar's line: how far, how fast, how long still; at most four times a second.
    void showRate(ChoreProgress &progress)
    {
        const QMutexLocker lock(&mutex);
        const qint64 ms = clock.elapsed();
        if (ms - lastRateMs < RateEveryMs && sent < queue.size())
            return;
        lastRateMs = ms;
        const ChoreProgress::Snapshot now = progress.snapshot();
        const qint64 perSecond = ms > 0 ? now.done * 1000 / ms : 0;
        const QString left = perSecond > 0 ? QStringLiteral(", %1 s left").arg((now.total - now.done) / perSecond) : QString();
        progress.setStatus(QStringLiteral("Uploading %1 of %2 files, %3/s%4")
                               .arg(qMin(sent + 1, int(queue.size())))
                               .arg(queue.size())
                               .arg(QLocale::system().formattedDataSize(perSecond), left));
    }
    void show(const QString &path, TransferQueue::State state, const QString &reason = {}) const
    {
        if (list)
            list->setState(rows.value(path, -1), state, reason);
    }
    void showSent(const QString &path, qint64 bytes) const
    {
        if (list)
            list->setSent(rows.value(path, -1), bytes);
    }
};

namespace {

// Sends files from the shared queue over one connection until none is left. The bytes go to
// the progress as they leave; a file that fails is the progress's failure and the next one
// goes on. UploadCancelled ends it.
template <typename Shared>
void sendFromQueue(UploadTransport &transport, Shared &shared, ChoreProgress &progress)
{
    qint64 position = 0; // of the file under way
    QString path;
    transport.setByteReport([&](qint64 now, qint64) {
        progress.addDone(now - position);
        position = now;
        shared.showSent(path, now);
        shared.showRate(progress);
    });
    while (const std::optional<MirrorStep> step = shared.take()) {
        path = step->path;
        position = 0;
        const QString localPath = shared.localPaths.value(path);
        try {
            progress.checkCancelled();
            progress.log(QStringLiteral("Upload: ") + path);
            shared.show(path, TransferQueue::State::Sending);
            transport.store(localPath, path);
            progress.addDone(step->size - position);
            shared.markArrived(path);
            shared.show(path, TransferQueue::State::Done);
            shared.showRate(progress);
        } catch (const Error &error) {
            progress.log(QStringLiteral("Failure: ") + path);
            progress.addFailure(localPath, error.message());
            shared.show(path, TransferQueue::State::Failed, error.message());
        } catch (const UploadCancelled &cancel) {
            if (!cancel.note().isEmpty())
                progress.addFailure(localPath, cancel.note());
            shared.show(path, TransferQueue::State::Failed, QStringLiteral("Cancelled"));
            throw;
        } catch (const ChoreCancelled &) {
            shared.show(path, TransferQueue::State::Failed, QStringLiteral("Cancelled"));
            throw;
        }
    }
}

} // namespace

FolderDeploy::FolderDeploy(const QString &folder, const UploadDestination &destination, Opener open,
                           const DeployOptions &options, ChoreProgress &progress, const UploadServices &services)
    : m_folder(folder), m_destination(destination), m_open(std::move(open)), m_options(options), m_progress(progress),
      m_services(services)
{
    m_services.passive = true;
}

FolderDeploy::~FolderDeploy()
{
    if (m_main)
        m_main->close();
}

const DeploySurvey &FolderDeploy::survey()
{
    if (m_surveyed)
        return m_survey;
    m_survey.local = scanLocalTree(m_folder, m_progress);
    openMain();
    m_survey.state = readState();
    QList<RemoteFile> listing;
    if (m_survey.state) {
        for (const MirrorFile &file : *m_survey.state) {
            for (const QString &folder : foldersOf(file.path))
                m_remoteFolders.insert(folder);
        }
    } else {
        QList<QString> folders;
        listing = listTree(folders);
        m_remoteFolders = QSet<QString>(folders.cbegin(), folders.cend());
    }
    QList<MirrorFile> local;
    for (const LocalFile &file : m_survey.local)
        local.append(file.file);
    m_survey.plan = planMirror(local, m_survey.state, listing, m_options.removeStale);
    m_surveyed = true;
    return m_survey;
}

void FolderDeploy::openMain()
{
    m_main = m_open(m_services);
    const QString &target = m_destination.folder;
    try {
        m_main->changeFolder(target);
        return;
    } catch (const Error &) {
        // Made below, then opened again; a folder that cannot be made fails there.
    }
    m_progress.log(QStringLiteral("Creating the folder ") + target);
    const bool absolute = target.startsWith(QLatin1Char('/'));
    QString made = absolute ? QStringLiteral("/") : QString();
    for (const QString &part : target.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        made += (made.isEmpty() || made == QLatin1String("/") ? QString() : QStringLiteral("/")) + part;
        m_main->makeFolder(made);
    }
    m_main->changeFolder(target);
}

std::optional<QList<MirrorFile>> FolderDeploy::readState()
{
    const std::optional<QByteArray> json = m_main->read(SyncState::FileName);
    if (!json) {
        m_progress.log(QStringLiteral("No record of an earlier deploy on the server: comparing with its files."));
        return std::nullopt;
    }
    std::optional<QList<MirrorFile>> state = SyncState::fromJson(*json);
    if (!state)
        m_progress.addNote(QStringLiteral("The record of earlier deploys on the server (%1) is damaged: the files were compared "
                                          "with the server's listing, and nothing was removed.")
                               .arg(SyncState::FileName));
    return state;
}

// Every file below the target folder with its size, folder by folder; `folders` gets the
// folders found on the way.
QList<RemoteFile> FolderDeploy::listTree(QList<QString> &folders)
{
    QList<RemoteFile> files;
    QList<QString> pending{QString()};
    while (!pending.isEmpty()) {
        const QString folder = pending.takeFirst();
        const QString prefix = folder.isEmpty() ? QString() : folder + QLatin1Char('/');
        for (const RemoteEntry &entry : m_main->list(folder)) {
            if (entry.folder) {
                pending.append(prefix + entry.name);
                folders.append(prefix + entry.name);
            } else {
                files.append({prefix + entry.name, entry.size});
            }
        }
    }
    return files;
}

void FolderDeploy::run()
{
    survey();
    const QList<MirrorStep> uploads = m_survey.plan.stepsOf(MirrorAction::Upload);
    const QList<MirrorStep> removals = m_survey.plan.stepsOf(MirrorAction::Remove);
    m_progress.log(QStringLiteral("%1 files to upload, %2 unchanged, %3 to remove.")
                       .arg(uploads.size())
                       .arg(m_survey.plan.stepsOf(MirrorAction::Skip).size())
                       .arg(removals.size()));
    QSet<QString> arrived;
    for (const MirrorStep &step : m_survey.plan.stepsOf(MirrorAction::Skip))
        arrived.insert(step.path);
    QSet<QString> removed;
    bool cancelled = false;
    try {
        m_shared = std::make_unique<Shared>();
        makeFolders(uploads);
        uploadAll(uploads);
        removed = removeStale(removals);
    } catch (const UploadCancelled &) {
        cancelled = true;
    } catch (const ChoreCancelled &) {
        cancelled = true;
    }
    if (m_shared)
        arrived.unite(m_shared->arrived);
    // Even after a cancel, what arrived is written down, briefly and uncancelled.
    cancelled = cancelled || m_progress.isCancelled();
    if (cancelled)
        m_main->settle();
    writeState(arrived, removed, cancelled);
    if (cancelled)
        throw UploadCancelled();
}

// The folders the uploads lead through that the server may lack, outermost first. A folder
// that cannot be made is logged; the files in it then fail with the server's reason.
void FolderDeploy::makeFolders(const QList<MirrorStep> &uploads)
{
    for (const MirrorStep &step : uploads) {
        for (const QString &folder : foldersOf(step.path)) {
            if (m_remoteFolders.contains(folder))
                continue;
            m_progress.checkCancelled();
            m_remoteFolders.insert(folder);
            try {
                m_main->makeFolder(folder);
            } catch (const Error &error) {
                m_progress.log(QStringLiteral("Cannot create the folder %1: %2").arg(folder, error.message()));
            }
        }
    }
}

void FolderDeploy::uploadAll(const QList<MirrorStep> &uploads)
{
    Shared &shared = *m_shared;
    shared.queue = uploads;
    for (const LocalFile &file : m_survey.local)
        shared.localPaths.insert(file.file.path, file.localPath);
    shared.list = m_services.queue;
    if (shared.list) {
        for (const MirrorStep &step : uploads)
            shared.rows.insert(step.path, shared.list->add(step.path, step.size, TransferQueue::State::Waiting));
    }
    m_progress.setTotal(m_survey.plan.bytesOf(MirrorAction::Upload));
    m_progress.setDone(0);
    shared.clock.start();

    const qsizetype helpers = qMin<qsizetype>(qMax(m_options.jobs, 1), uploads.size()) - 1;
    std::vector<std::unique_ptr<QThread>> threads;
    for (qsizetype i = 0; i < helpers; ++i) {
        threads.emplace_back(QThread::create([this, &shared] { helpSend(shared); }));
        threads.back()->start();
    }
    std::exception_ptr failure;
    try {
        sendFromQueue(*m_main, shared, m_progress);
    } catch (...) {
        failure = std::current_exception();
    }
    for (const std::unique_ptr<QThread> &thread : threads)
        thread->wait();
    if (failure)
        std::rethrow_exception(failure);
    m_progress.checkCancelled();
}

// One more connection, on its own thread, taking files from the same queue. Its failure to
// connect only means fewer files go at once.
void FolderDeploy::helpSend(Shared &shared)
{
    std::unique_ptr<UploadTransport> transport;
    try {
        {
            // One login after the other: the run's passwords are looked up on one thread at a time.
            const QMutexLocker opening(&shared.opening);
            transport = m_open(m_services);
        }
        transport->changeFolder(m_destination.folder);
        sendFromQueue(*transport, shared, m_progress);
    } catch (const Error &error) {
        m_progress.addNote(QStringLiteral("A further connection to the server failed, so fewer files went at once: %1")
                               .arg(error.message()));
    } catch (const UploadCancelled &) {
        // the run ends with the cancel
    } catch (const ChoreCancelled &) {
        // likewise
    }
    if (transport)
        transport->close();
}

QSet<QString> FolderDeploy::removeStale(const QList<MirrorStep> &removals)
{
    QSet<QString> removed;
    TransferQueue *list = m_services.queue;
    for (const MirrorStep &step : removals) {
        m_progress.checkCancelled();
        const int row = list ? list->add(step.path, step.size, TransferQueue::State::ToRemove) : -1;
        try {
            m_main->remove(step.path);
            removed.insert(step.path);
            m_progress.log(QStringLiteral("Removed: ") + step.path);
            if (list)
                list->setState(row, TransferQueue::State::Removed);
        } catch (const Error &error) {
            m_progress.addFailure(step.path, error.message());
            if (list)
                list->setState(row, TransferQueue::State::Failed, error.message());
        }
    }
    return removed;
}

// Written only when it changes, so a deploy that finds nothing to do sends nothing. A connection
// that broke on the way, or was cut by the cancel, is replaced by a fresh one for it.
void FolderDeploy::writeState(const QSet<QString> &arrived, const QSet<QString> &removed, bool cancelled)
{
    QList<MirrorFile> local;
    for (const LocalFile &file : m_survey.local)
        local.append(file.file);
    const QList<MirrorFile> state = SyncState::afterRun(m_survey.state, local, arrived, removed);
    if (m_survey.state && state == *m_survey.state)
        return;
    const QString problem = QStringLiteral("The record of this deploy was not written on the server, so the next run "
                                           "compares with the server's files: %1");
    QTemporaryFile file;
    if (!file.open() || file.write(SyncState::toJson(state)) < 0 || !file.flush())
        return m_progress.addProblem(problem.arg(file.errorString()));
    const auto store = [&](UploadTransport &transport) {
        transport.setByteReport([](qint64, qint64) {});
        transport.store(file.fileName(), SyncState::FileName);
        m_progress.log(QStringLiteral("Recorded %1 files in %2.").arg(state.size()).arg(SyncState::FileName));
    };
    try {
        try {
            store(*m_main);
        } catch (const Error &) {
            UploadServices settled = m_services;
            settled.settled = cancelled;
            const std::unique_ptr<UploadTransport> fresh = m_open(settled);
            fresh->changeFolder(m_destination.folder);
            store(*fresh);
            fresh->close();
        } catch (const UploadCancelled &) {
            throw Error(QStringLiteral("cancelled"));
        }
    } catch (const Error &error) {
        m_progress.addProblem(problem.arg(error.message()));
    } catch (const UploadCancelled &) {
        m_progress.addProblem(problem.arg(QStringLiteral("cancelled")));
    }
}

QStringList describeMirrorPlan(const MirrorPlan &plan)
{
    static const char *const verbs[] = {"upload", "skip  ", "remove"};
    QStringList lines;
    for (const MirrorStep &step : plan.steps)
        lines.append(QStringLiteral("%1  %2  (%3)").arg(QLatin1String(verbs[int(step.action)]), step.path, bytesText(step.size)));
    lines.append(QStringLiteral("%1 to upload (%2), %3 unchanged, %4 to remove")
                     .arg(plan.stepsOf(MirrorAction::Upload).size())
                     .arg(bytesText(plan.bytesOf(MirrorAction::Upload)))
                     .arg(plan.stepsOf(MirrorAction::Skip).size())
                     .arg(plan.stepsOf(MirrorAction::Remove).size()));
    return lines;
}
