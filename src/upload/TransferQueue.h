#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QMutex>
#include <QString>

// The files of a deploy as the window's transfer list shows them: one row per file sent,
// waiting, skipped or removed, with its size, state, speed and, for a failed one, the reason.
// Written by the connections that send the files, read by the window; every member may be
// called from any thread.
class TransferQueue
{
public:
    enum class State { Waiting, Sending, Done, Failed, Unchanged, ToRemove, Removed };

    struct Row
    {
        QString path;
        qint64 size = 0;
        State state = State::Waiting;
        qint64 sent = 0;
        qint64 bytesPerSecond = 0;
        QString reason;

        bool operator==(const Row &) const = default;
    };

    // Starts a new list, so a run keeps its rows until the next one begins.
    void clear();
    // Adds a row and returns its number.
    int add(const QString &path, qint64 size, State state);
    void setState(int row, State state, const QString &reason = {});
    // `sent` bytes of the row's file are on their way; the speed follows from the time it took.
    void setSent(int row, qint64 sent);

    QList<Row> rows() const;
    // How many times the list changed; the window redraws only when it moved on.
    quint64 version() const;

private:
    mutable QMutex m_mutex;
    QList<Row> m_rows;
    QList<QElapsedTimer> m_started;
    quint64 m_version = 0;
};

// "Waiting", "Sending", "Done", ... as the list shows a state.
QString transferStateName(TransferQueue::State state);
