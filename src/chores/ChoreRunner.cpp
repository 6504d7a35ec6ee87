#include "chores/ChoreRunner.h"

#include <QEventLoop>
#include <QThread>
#include <QTimer>

struct ChoreRunner::Job
{
    QString description;
    Work work;
    Done done;
    ChoreProgress progress;
    std::exception_ptr error;
    std::unique_ptr<QThread> thread;

    ~Job()
    {
        // Never while it runs: the runner waits for every worker before it lets go of it.
        if (thread)
            thread.release()->deleteLater();
    }
};

void ChoreReport::rethrowError() const
{
    if (error)
        std::rethrow_exception(error);
}

ChoreRunner::ChoreRunner(QObject *parent) : QObject(parent), m_pollTimer(new QTimer(this))
{
    // Often enough for a live progress bar, seldom enough to cost the window nothing.
    m_pollTimer->setInterval(40);
    connect(m_pollTimer, &QTimer::timeout, this, &ChoreRunner::poll);
}

ChoreRunner::~ChoreRunner()
{
    m_current.reset();
    for (const std::shared_ptr<Job> &job : std::as_const(m_jobs)) {
        job->progress.cancel();
        job->thread->wait();
        job->thread.reset();
    }
}

void ChoreRunner::start(const QString &description, Work work, Done done)
{
    if (m_current)
        m_current->progress.cancel();
    auto job = std::make_shared<Job>();
    job->description = description;
    job->work = std::move(work);
    job->done = std::move(done);
    Job *raw = job.get();
    job->thread.reset(QThread::create([raw] {
        try {
            raw->work(raw->progress);
        } catch (const ChoreCancelled &) {
            // The progress already says so.
        } catch (...) {
            raw->error = std::current_exception();
        }
    }));
    // Delivered on this runner's thread, after the worker has ended.
    connect(job->thread.get(), &QThread::finished, this, [this, weak = std::weak_ptr<Job>(job)] {
        if (const std::shared_ptr<Job> ended = weak.lock())
            onWorkerEnded(ended);
    });
    m_jobs.append(job);
    m_current = job;
    job->thread->start();
    m_pollTimer->start();
    emit started(description);
}

ChoreReport ChoreRunner::run(const QString &description, Work work)
{
    ChoreReport result;
    QEventLoop loop;
    start(description, std::move(work), [&result, &loop](const ChoreReport &report) {
        result = report;
        loop.quit();
    });
    loop.exec();
    return result;
}

void ChoreRunner::cancel()
{
    if (m_current)
        m_current->progress.cancel();
}

void ChoreRunner::cancelAndWait()
{
    if (!m_current)
        return;
    const std::shared_ptr<Job> job = std::exchange(m_current, nullptr);
    job->progress.cancel();
    job->thread->wait();
    m_pollTimer->stop();
}

void ChoreRunner::poll()
{
    if (!m_current)
        return;
    for (const QString &line : m_current->progress.takeLog())
        emit logged(line);
    emit progressed(m_current->progress.snapshot());
}

void ChoreRunner::onWorkerEnded(const std::shared_ptr<Job> &job)
{
    // Finished is sent just before the thread ends; let it end.
    job->thread->wait();
    const bool current = job == m_current;
    if (current) {
        poll();
        m_current.reset();
        m_pollTimer->stop();
    }
    m_jobs.removeOne(job);
    if (!current)
        return;
    const ChoreProgress &progress = job->progress;
    ChoreReport report{job->description, progress.isCancelled(), progress.failures(), progress.notes(),
                       progress.problems(), job->error};
    if (job->done)
        job->done(report);
    emit finished(report);
}
