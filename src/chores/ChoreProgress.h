#pragma once

#include <QList>
#include <QMutex>
#include <QString>
#include <QStringList>

#include <atomic>
#include <exception>

// A file or folder a chore passed over, with the reason the system gave.
struct ChoreFailure
{
    QString item;
    QString reason;

    bool operator==(const ChoreFailure &) const = default;
};

// The first failures, a line each behind a line break ("\n/a/b: Permission denied"), and how
// many more there are.
QString failureLines(const QList<ChoreFailure> &failures);

class ChoreProgress;

// Names in the end report, in one note, what a walk of folders passed over although it was no
// folder: links out of the tree, links that lead nowhere, pipes, sockets and devices.
void notePassedOver(const QList<ChoreFailure> &passedOver, ChoreProgress &progress);

// Thrown by ChoreProgress::checkCancelled() to end a chore between two items.
class ChoreCancelled : public std::exception
{
public:
    const char *what() const noexcept override { return "cancelled"; }
};

// What a chore running on a worker thread reports through, and how it learns that it was
// cancelled. Every member may be called from any thread.
class ChoreProgress
{
public:
    struct Snapshot
    {
        qint64 done = 0;
        qint64 total = 0;
        QString status;
    };

    // The amount of work, once it is known (files or bytes, as the chore counts).
    void setTotal(qint64 total) { m_total = total; }
    // For chores that learn their work piece by piece (one folder after another).
    void addTotal(qint64 amount) { m_total += amount; }
    void addDone(qint64 amount = 1) { m_done += amount; }
    void setDone(qint64 done) { m_done = done; }
    // What the chore does now, for the status bar: "Copying: main.cpp".
    void setStatus(const QString &status);
    // A line for the log the chore keeps (the FTP log, for uploads).
    void log(const QString &line);
    void addFailure(const QString &item, const QString &reason);
    // A line for the end report besides the failures: what the user should know ("Hard links
    // were not possible here"). A problem also makes the chore count as failed ("The folders
    // were not zipped").
    void addNote(const QString &line);
    void addProblem(const QString &line);

    void cancel() { m_cancelled = true; }
    bool isCancelled() const { return m_cancelled; }
    // Throws ChoreCancelled once cancel() was called; chores call it between two items.
    void checkCancelled() const;

    Snapshot snapshot() const;
    // The log lines since the last call, oldest first.
    QStringList takeLog();
    QList<ChoreFailure> failures() const;
    QStringList notes() const;
    QStringList problems() const;

private:
    std::atomic<qint64> m_done = 0;
    std::atomic<qint64> m_total = 0;
    std::atomic<bool> m_cancelled = false;
    mutable QMutex m_mutex;
    QString m_status;
    QStringList m_log;
    QList<ChoreFailure> m_failures;
    QStringList m_notes;
    QStringList m_problems;
};
