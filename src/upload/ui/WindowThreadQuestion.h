#pragma once

#include "chores/ChoreProgress.h"

#include <QCoreApplication>
#include <QThread>

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>

// Asks the user from a chore's worker: `ask` runs on the window's thread, and the worker waits
// for its answer, or for a cancel, which gives `whenCancelled`. On the window's thread itself
// it simply asks.
template<typename Answer, typename Ask>
Answer askOnWindowThread(const ChoreProgress &progress, Ask ask, Answer whenCancelled)
{
    if (QThread::currentThread() == qApp->thread())
        return ask();
    // Shared with the window's thread, which may answer after the worker gave up waiting.
    struct Shared
    {
        std::mutex mutex;
        std::optional<Answer> answer;
        std::atomic<bool> done = false;
    };
    const auto shared = std::make_shared<Shared>();
    QMetaObject::invokeMethod(
        qApp,
        [ask = std::move(ask), shared] {
            Answer answer = ask();
            const std::lock_guard lock(shared->mutex);
            shared->answer = std::move(answer);
            shared->done = true;
        },
        Qt::QueuedConnection);
    while (!shared->done) {
        if (progress.isCancelled())
            return whenCancelled;
        QThread::msleep(20);
    }
    const std::lock_guard lock(shared->mutex);
    return std::move(*shared->answer);
}
