#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

class ChoreProgress;
class QFile;
class ZipDeflater;

// Reads and compresses files on worker threads ahead of the writer, which takes the results in
// the order of the tasks. A task is a whole file or, for a file larger than splitSize, one
// part of it: such a file is cut into parts of partSize that are compressed at the same time
// and join into one deflate stream. Workers stop taking new tasks while the results waiting for
// the writer hold too many bytes, so memory stays bounded however far the writer falls behind.
// Once the progress is cancelled, workers drop the task they compress within a slice of input,
// and take() throws ChoreCancelled.
class ZipCompressionPool
{
public:
    // Files up to this size are compressed whole, in one stream, in memory.
    static constexpr qint64 splitSize = 4 * 1024 * 1024;
    static constexpr qint64 partSize = 1024 * 1024;

    struct Task
    {
        QString path;
        // A part: where it begins in the file, its length, and whether it ends the file. A
        // whole file has the length -1.
        qint64 offset = 0;
        qint64 length = -1;
        bool last = true;

        bool isPart() const { return length >= 0; }
    };

    struct Result
    {
        // Missing: the file is gone, or what is there now holds no file (a pipe, a device).
        // Grown: a whole file holds more than splitSize bytes, more than when it was listed.
        // Dropped: the pool stopped or the chore was cancelled before the task was done.
        enum class Status { Ready, Missing, Failed, Grown, Dropped };
        Status status = Status::Ready;
        QByteArray data; // as the entry stores it: deflated, or empty for an empty file
        quint32 crc = 0;
        qint64 size = 0;
        QString error;
    };

    // The tasks of a file of this size as it was listed: the whole file, or its parts.
    static QList<Task> tasksOf(const QString &path, qint64 size);

    explicit ZipCompressionPool(QList<Task> tasks, const ChoreProgress *progress = nullptr);
    ~ZipCompressionPool();
    Q_DISABLE_COPY_MOVE(ZipCompressionPool)

    // Waits for the task at this index of the list and hands its result over.
    Result take(qsizetype index);

private:
    struct Buffers;

    void work();
    bool isStopped() const;
    Result run(const Task &task, Buffers &buffers) const;
    Result compressWhole(const Task &task, Buffers &buffers) const;
    Result compressPart(const Task &task, Buffers &buffers) const;
    Result compress(QByteArrayView before, QByteArrayView input, bool last, Buffers &buffers) const;
    static std::optional<Result> open(QFile &file);
    static Result failure(const QString &error);

    const QList<Task> m_tasks;
    const ChoreProgress *m_progress;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<std::optional<Result>> m_results;
    qsizetype m_next = 0;
    qint64 m_bytesWaiting = 0;
    std::atomic<bool> m_stopping = false;
    std::vector<std::thread> m_workers;
};
