#include "upload/ui/PromptHostTrust.h"

#include "chores/ChoreProgress.h"
#include "platform/Prompts.h"

#include <QCoreApplication>
#include <QThread>

#include <atomic>
#include <memory>

bool PromptHostTrust::trust(const QString &question, const QString &)
{
    if (QThread::currentThread() == qApp->thread())
        return m_prompts.question(question);
    // Shared with the window's thread, which may answer after this run gave up waiting.
    enum Answer { Pending, Yes, No };
    const auto answer = std::make_shared<std::atomic<Answer>>(Pending);
    QMetaObject::invokeMethod(
        qApp, [&prompts = m_prompts, question, answer] { *answer = prompts.question(question) ? Yes : No; }, Qt::QueuedConnection);
    while (*answer == Pending) {
        if (m_progress.isCancelled())
            return false;
        QThread::msleep(20);
    }
    return *answer == Yes;
}
