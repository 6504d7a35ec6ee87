#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

class ChoreProgress;
class ZipDeflater;

// Reads and compresses files on worker threads, one file per task, ahead of the writer, which
// takes the results in the order of the list. Workers stop taking new files while the results
// waiting for the writer hold too many bytes, so memory stays bounded however far the writer
// falls behind. Once the progress is cancelled, workers drop the file they compress within a
// slice of input, and take() throws ChoreCancelled.
class ZipCompressionPool
{
public:
    // Larger files are left to the writer, which streams them, so no file needs its whole size
    // in memory.
    static constexpr qint64 maxFileSize = 4 * 1024 * 1024;

    struct Result
    {
        // Missing: the file is gone, or what is there now holds no file (a pipe, a device).
        // Grown: the file holds more than maxFileSize bytes, more than when it was listed.
        // Dropped: the pool stopped or the chore was cancelled before the file was done.
        enum class Status { Ready, Missing, Failed, Grown, Dropped };
        Status status = Status::Ready;
        QByteArray data; // as the entry stores it: deflated, or empty for an empty file
        quint32 crc = 0;
        qint64 size = 0;
        QString error;
    };

    explicit ZipCompressionPool(QStringList paths, const ChoreProgress *progress = nullptr);
    ~ZipCompressionPool();
    Q_DISABLE_COPY_MOVE(ZipCompressionPool)

    // Waits for the file at this index of the list and hands its result over.
    Result take(qsizetype index);

private:
    void work();
    bool isStopped() const;
    Result compress(const QString &path, std::unique_ptr<ZipDeflater> &deflater, QByteArray &input,
                    QByteArray &output) const;
    static Result failure(const QString &error);

    const QStringList m_paths;
    const ChoreProgress *m_progress;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<std::optional<Result>> m_results;
    qsizetype m_next = 0;
    qint64 m_bytesWaiting = 0;
    std::atomic<bool> m_stopping = false;
    std::vector<std::thread> m_workers;
};
