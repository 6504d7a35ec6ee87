#include "chores/ChoreProgress.h"

#include <algorithm>

QString failureLines(const QList<ChoreFailure> &failures)
{
    constexpr qsizetype listed = 10;
    QString lines;
    for (const ChoreFailure &failure : failures.first(std::min(failures.size(), listed)))
        lines += QStringLiteral("\n%1: %2").arg(failure.item, failure.reason);
    if (failures.size() > listed)
        lines += QStringLiteral("\n... and %1 more.").arg(failures.size() - listed);
    return lines;
}

void notePassedOver(const QList<ChoreFailure> &passedOver, ChoreProgress &progress)
{
    if (!passedOver.isEmpty())
        progress.addNote(QStringLiteral("Left out, as no file of the folder:") + failureLines(passedOver));
}

void ChoreProgress::setStatus(const QString &status)
{
    const QMutexLocker lock(&m_mutex);
    m_status = status;
}

void ChoreProgress::log(const QString &line)
{
    const QMutexLocker lock(&m_mutex);
    m_log.append(line);
}

void ChoreProgress::addFailure(const QString &item, const QString &reason)
{
    const QMutexLocker lock(&m_mutex);
    m_failures.append({item, reason});
}

void ChoreProgress::addNote(const QString &line)
{
    const QMutexLocker lock(&m_mutex);
    m_notes.append(line);
}

void ChoreProgress::addProblem(const QString &line)
{
    const QMutexLocker lock(&m_mutex);
    m_problems.append(line);
}

void ChoreProgress::checkCancelled() const
{
    if (m_cancelled)
        throw ChoreCancelled();
}

ChoreProgress::Snapshot ChoreProgress::snapshot() const
{
    const QMutexLocker lock(&m_mutex);
    return {m_done, m_total, m_status};
}

QStringList ChoreProgress::takeLog()
{
    const QMutexLocker lock(&m_mutex);
    return std::exchange(m_log, {});
}

QList<ChoreFailure> ChoreProgress::failures() const
{
    const QMutexLocker lock(&m_mutex);
    return m_failures;
}

QStringList ChoreProgress::notes() const
{
    const QMutexLocker lock(&m_mutex);
    return m_notes;
}

QStringList ChoreProgress::problems() const
{
    const QMutexLocker lock(&m_mutex);
    return m_problems;
}
