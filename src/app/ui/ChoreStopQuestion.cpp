#include "app/ui/ChoreStopQuestion.h"

#include "app/ui/ChoreEndReport.h"
#include "chores/ChoreRunner.h"

#include <QEventLoop>
#include <QScopedValueRollback>

bool ChoreStopQuestion::stopFirst(const QString &question)
{
    if (!m_runner.isRunning())
        return true;
    // One answer at a time: a second command while the chore winds down waits for nothing.
    if (m_stopping || !m_prompts.question(question))
        return false;
    if (!m_runner.isRunning()) // it ended while the question was open, and has said so
        return true;
    const QScopedValueRollback<bool> stopping(m_stopping, true);
    QEventLoop ended;
    QObject::connect(&m_runner, &ChoreRunner::finished, &ended, &QEventLoop::quit);
    m_endReport.silenceNext();
    m_runner.cancel();
    m_cancelling();
    ended.exec();
    return true;
}
