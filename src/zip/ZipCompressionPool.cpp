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
// What deflate's matches can reach back: the input before a part that primes its compressor.
constexpr qint64 window = 32 * 1024;

} // namespace

struct ZipCompressionPool::Buffers
{
    QByteArray input{ZipCompressionPool::splitSize + 1, Qt::Uninitialized};
    QByteArray output;
    std::unique_ptr<ZipDeflater> deflater; // set up with the first task that needs it
};

QList<ZipCompressionPool::Task> ZipCompressionPool::tasksOf(const QString &path, qint64 size)
{
    if (size <= splitSize)
        return {Task{path}};
    QList<Task> parts;
    for (qint64 offset = 0; offset < size; offset += partSize) {
        const qint64 length = std::min(partSize, size - offset);
        parts.append(Task{path, offset, length, offset + length == size});
    }
    return parts;
}

ZipCompressionPool::ZipCompressionPool(QList<Task> tasks, const ChoreProgress *progress)
    : m_tasks(std::move(tasks)), m_progress(progress), m_results(size_t(m_tasks.size()))
{
    const qsizetype threads = std::min<qsizetype>(std::max(1U, std::thread::hardware_concurrency()),
                                                  m_tasks.size());
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
    Buffers buffers;
    for (;;) {
        qsizetype index = 0;
        {
            std::unique_lock lock(m_mutex);
            m_changed.wait(lock, [this] {
                return m_stopping || m_next == m_tasks.size() || m_bytesWaiting < waitingBudget;
            });
            if (m_stopping || m_next == m_tasks.size())
                return;
            index = m_next++;
        }
        // Every task must leave a result, or the writer would wait for it forever.
        Result result;
        try {
            result = run(m_tasks.at(index), buffers);
        } catch (const Error &error) {
            result = failure(error.message());
        } catch (const std::bad_alloc &) {
            result = failure(ZipErrors::cannotRead(m_tasks.at(index).path, QStringLiteral("not enough memory")));
        }
        {
            std::lock_guard lock(m_mutex);
            m_bytesWaiting += result.data.size();
            m_results[size_t(index)] = std::move(result);
        }
        m_changed.notify_all();
    }
}

ZipCompressionPool::Result ZipCompressionPool::run(const Task &task, Buffers &buffers) const
{
    if (isStopped()) {
        Result result;
        result.status = Result::Status::Dropped;
        return result;
    }
    return task.isPart() ? compressPart(task, buffers) : compressWhole(task, buffers);
}

// Why a file could not be opened, as a result: Missing when there is no file to add.
std::optional<ZipCompressionPool::Result> ZipCompressionPool::open(QFile &file)
{
    QString reason;
    switch (RegularFile::openForReading(file, reason)) {
    case RegularFile::Opened::Yes:
        return std::nullopt;
    case RegularFile::Opened::NotRegular: {
        Result result;
        result.status = Result::Status::Missing;
        return result;
    }
    case RegularFile::Opened::Failed:
        break;
    }
    Result result = failure(ZipErrors::cannotOpen(file.fileName(), reason));
    if (!file.exists())
        result.status = Result::Status::Missing;
    return result;
}

ZipCompressionPool::Result ZipCompressionPool::compressWhole(const Task &task, Buffers &buffers) const
{
    QFile file(task.path);
    if (std::optional<Result> unopened = open(file))
        return *unopened;
    // Read no more than the limit: the file may have grown since it was listed.
    const qint64 size = file.read(buffers.input.data(), buffers.input.size());
    if (size < 0 || file.error() != QFileDevice::NoError)
        return failure(ZipErrors::cannotRead(task.path, file.errorString()));
    if (size > splitSize) {
        Result result;
        result.status = Result::Status::Grown;
        return result;
    }
    if (size == 0)
        return {};
    return compress({}, QByteArrayView(buffers.input).first(size), true, buffers);
}

// A part reads the input before it as well, for its compressor to match against.
ZipCompressionPool::Result ZipCompressionPool::compressPart(const Task &task, Buffers &buffers) const
{
    QFile file(task.path);
    if (std::optional<Result> unopened = open(file))
        return *unopened;
    const qint64 before = std::min(window, task.offset);
    const qint64 wanted = before + task.length;
    if (!file.seek(task.offset - before))
        return failure(ZipErrors::cannotRead(task.path, file.errorString()));
    qint64 got = 0;
    while (got < wanted) {
        const qint64 count = file.read(buffers.input.data() + got, wanted - got);
        if (count < 0)
            return failure(ZipErrors::cannotRead(task.path, file.errorString()));
        if (count == 0)
            return failure(ZipErrors::cannotRead(task.path, QStringLiteral("it became shorter while it was zipped")));
        got += count;
    }
    const QByteArrayView input(buffers.input);
    return compress(input.first(before), input.sliced(before, task.length), task.last, buffers);
}

ZipCompressionPool::Result ZipCompressionPool::compress(QByteArrayView before, QByteArrayView input, bool last,
                                                        Buffers &buffers) const
{
    if (!buffers.deflater)
        buffers.deflater = std::make_unique<ZipDeflater>(
            [&output = buffers.output](QByteArrayView piece) { output.append(piece); });
    ZipDeflater &deflater = *buffers.deflater;
    deflater.restart();
    if (!before.isEmpty())
        deflater.setDictionary(before);
    buffers.output.clear(); // what a task that failed half-way left behind
    Result result;
    for (qsizetype at = 0; at < input.size(); at += slice) {
        if (isStopped()) {
            result.status = Result::Status::Dropped;
            return result;
        }
        deflater.write(input.sliced(at, std::min<qsizetype>(slice, input.size() - at)));
    }
    if (last)
        deflater.finish();
    else
        deflater.finishPart();
    result.size = input.size();
    result.crc = deflater.crc();
    result.data = std::exchange(buffers.output, QByteArray());
    return result;
}

ZipCompressionPool::Result ZipCompressionPool::failure(const QString &error)
{
    Result result;
    result.status = Result::Status::Failed;
    result.error = error;
    return result;
}
