#include "upload/TransferQueue.h"

void TransferQueue::clear()
{
    const QMutexLocker lock(&m_mutex);
    m_rows.clear();
    m_started.clear();
    ++m_version;
}

int TransferQueue::add(const QString &path, qint64 size, State state)
{
    const QMutexLocker lock(&m_mutex);
    m_rows.append({path, size, state});
    m_started.append(QElapsedTimer());
    ++m_version;
    return int(m_rows.size() - 1);
}

void TransferQueue::setState(int row, State state, const QString &reason)
{
    const QMutexLocker lock(&m_mutex);
    if (row < 0 || row >= m_rows.size())
        return;
    Row &changed = m_rows[row];
    changed.state = state;
    changed.reason = reason;
    if (state == State::Sending)
        m_started[row].start();
    if (state == State::Done)
        changed.sent = changed.size;
    ++m_version;
}

void TransferQueue::setSent(int row, qint64 sent)
{
    const QMutexLocker lock(&m_mutex);
    if (row < 0 || row >= m_rows.size())
        return;
    Row &changed = m_rows[row];
    changed.sent = sent;
    const qint64 ms = m_started[row].isValid() ? m_started[row].elapsed() : 0;
    changed.bytesPerSecond = ms > 0 ? sent * 1000 / ms : 0;
    ++m_version;
}

QList<TransferQueue::Row> TransferQueue::rows() const
{
    const QMutexLocker lock(&m_mutex);
    return m_rows;
}

quint64 TransferQueue::version() const
{
    const QMutexLocker lock(&m_mutex);
    return m_version;
}

QString transferStateName(TransferQueue::State state)
{
    switch (state) {
    case TransferQueue::State::Waiting:
        return QStringLiteral("Waiting");
    case TransferQueue::State::Sending:
        return QStringLiteral("Sending");
    case TransferQueue::State::Done:
        return QStringLiteral("Done");
    case TransferQueue::State::Failed:
        return QStringLiteral("Failed");
    case TransferQueue::State::Unchanged:
        return QStringLiteral("Unchanged");
    case TransferQueue::State::ToRemove:
        return QStringLiteral("To remove");
    case TransferQueue::State::Removed:
        return QStringLiteral("Removed");
    }
    return {};
}
