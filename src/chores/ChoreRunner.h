#pragma once

#include "chores/ChoreProgress.h"

#include <QObject>
#include <QString>

#include <exception>
#include <functional>
#include <memory>

class QThread;
class QTimer;

// How a chore ended.
struct ChoreReport
{
    QString description;
    bool cancelled = false;
    // The files and folders the chore passed over.
    QList<ChoreFailure> failures;
    // What the end report says besides them; problems count as failures.
    QStringList notes;
    QStringList problems;
    // The error that ended the chore early, if one did.
    std::exception_ptr error;

    bool succeeded() const { return !cancelled && !error && failures.isEmpty() && problems.isEmpty(); }
    // Throws the error that ended the chore, if one did.
    void rethrowError() const;
};

// Runs long work (listing, copying, zipping, backing up, uploading) on a worker thread, one
// piece at a time, and reports its progress, log and end on the thread that owns the runner.
// The work gets a ChoreProgress to report through and to learn that it was cancelled; an
// exception it throws ends it and comes back in the report.
class ChoreRunner : public QObject
{
    Q_OBJECT

public:
    using Work = std::function<void(ChoreProgress &)>;
    using Done = std::function<void(const ChoreReport &)>;

    explicit ChoreRunner(QObject *parent = nullptr);
    // Cancels what runs and waits for it; its end is not reported.
    ~ChoreRunner() override;

    // Starts `work` on a worker. A chore that is still running is cancelled and forgotten: its
    // end is never reported, so a fresh start replaces a stale one. `done` runs on this
    // runner's thread once the work has ended, before finished() is emitted.
    void start(const QString &description, Work work, Done done = {});
    // Runs `work` on a worker and waits for its end, keeping this thread's events going.
    ChoreReport run(const QString &description, Work work);

    bool isRunning() const { return m_current != nullptr; }
    // Asks the running chore to stop at its next item.
    void cancel();
    // Cancels the running chore and blocks until its worker has ended; its end is not reported.
    void cancelAndWait();

Q_SIGNALS:
    void started(const QString &description);
    // At most every few tens of milliseconds while a chore runs, and once at its end.
    void progressed(const ChoreProgress::Snapshot &snapshot);
    void logged(const QString &line);
    void finished(const ChoreReport &report);

private:
    struct Job;

    void poll();
    void onWorkerEnded(const std::shared_ptr<Job> &job);

    std::shared_ptr<Job> m_current;
    QList<std::shared_ptr<Job>> m_jobs;
    QTimer *m_pollTimer = nullptr;
};
