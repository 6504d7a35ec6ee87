#include "zip/ZipCompressionPool.h"

#include "chores/ChoreProgress.h"
#include "project/Error.h"
#include "project/RegularFile.h"
#include "zip/ZipDeflater.h"
#include "zip/ZipErrors.h"

#include <QFile>

namespace {

constexpr qint64 waitingBudget = 64 * 1024 * 1024;
// How much input goes to the compressor between two looks at whether to stop: a slice takes
// well under a tenth of a second at the slowest.
constexpr qsizetype slice = 1024 * 1024;
// How often a writer waiting for a result looks whether the chore was cancelled.
constexpr auto cancelPoll = std::chrono::milliseconds(50);

} // namespace

ZipCompressionPool::ZipCompressionPool(QStringList paths, const ChoreProgress *progress)
    : m_paths(std::move(paths)), m_progress(progress), m_results(size_t(m_paths.size()))
{
    const qsizetype threads = std::min<qsizetype>(std::max(1U, std::thread::hardware_concurrency()),
                                                  m_paths.size());
    for (qsizetype i = 0; i < threads; ++i)
        m_workers.emplace_back([this] { work(); });
}

ZipCompressionPool::~ZipCompressionPool()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    for (std::thread &worker : m_workers)
        worker.join();
}

ZipCompressionPool::Result ZipCompressionPool::take(qsizetype index)
{
    std::unique_lock lock(m_mutex);
    std::optional<Result> &slot = m_results[size_t(index)];
    // Nobody signals a cancel, so the wait looks for it now and then.
    while (!m_changed.wait_for(lock, cancelPoll, [&] { return slot.has_value(); })) {
        if (m_progress)
            m_progress->checkCancelled();
    }
    Result result = std::move(*slot);
    slot.reset();
    m_bytesWaiting -= result.data.size();
    lock.unlock();
    m_changed.notify_all();
    if (result.status == Result::Status::Dropped)
        throw ChoreCancelled();
    return result;
}

bool ZipCompressionPool::isStopped() const
{
    return m_stopping || (m_progress && m_progress->isCancelled());
}

void ZipCompressionPool::work()
{
    QByteArray input(maxFileSize + 1, Qt::Uninitialized);
    QByteArray output;
    std::unique_ptr<ZipDeflater> deflater; // set up with the first file that needs it
    for (;;) {
        qsizetype index = 0;
        {
            std::unique_lock lock(m_mutex);
            m_changed.wait(lock, [this] {
                return m_stopping || m_next == m_paths.size() || m_bytesWaiting < waitingBudget;
            });
            if (m_stopping || m_next == m_paths.size())
                return;
            index = m_next++;
        }
        // Every task must leave a result, or the writer would wait for it forever.
        Result result;
        try {
            result = compress(m_paths.at(index), deflater, input, output);
        } catch (const Error &error) {
            result = failure(error.message());
        } catch (const std::bad_alloc &) {
            result = failure(ZipErrors::cannotRead(m_paths.at(index), QStringLiteral("not enough memory")));
        }
        {
            std::lock_guard lock(m_mutex);
            m_bytesWaiting += result.data.size();
            m_results[size_t(index)] = std::move(result);
        }
        m_changed.notify_all();
    }
}

ZipCompressionPool::Result ZipCompressionPool::compress(const QString &path,
                                                        std::unique_ptr<ZipDeflater> &deflater,
                                                        QByteArray &input, QByteArray &output) const
{
    QFile file(path);
    QString reason;
    switch (RegularFile::openForReading(file, reason)) {
    case RegularFile::Opened::Yes:
        break;
    case RegularFile::Opened::NotRegular: {
        Result result;
        result.status = Result::Status::Missing;
        return result;
    }
    case RegularFile::Opened::Failed: {
        Result result = failure(ZipErrors::cannotOpen(path, reason));
        if (!file.exists())
            result.status = Result::Status::Missing;
        return result;
    }
    }
    // Read no more than the limit: the file may have grown since it was listed.
    const qint64 size = file.read(input.data(), input.size());
    if (size < 0 || file.error() != QFileDevice::NoError)
        return failure(ZipErrors::cannotRead(path, file.errorString()));
    Result result;
    if (size > maxFileSize) {
        result.status = Result::Status::Grown;
        return result;
    }
    result.size = size;
    if (size == 0)
        return result;
    if (!deflater)
        deflater = std::make_unique<ZipDeflater>([&output](QByteArrayView piece) { output.append(piece); });
    deflater->restart();
    output.clear(); // what a file that failed half-way left behind
    for (qsizetype at = 0; at < size; at += slice) {
        if (isStopped()) {
            result.status = Result::Status::Dropped;
            return result;
        }
        deflater->write(QByteArrayView(input).sliced(at, std::min<qsizetype>(slice, size - at)));
    }
    deflater->finish();
    result.crc = deflater->crc();
    result.data = std::exchange(output, QByteArray());
    return result;
}

ZipCompressionPool::Result ZipCompressionPool::failure(const QString &error)
{
    Result result;
    result.status = Result::Status::Failed;
    result.error = error;
    return result;
}
