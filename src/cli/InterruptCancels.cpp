#include "cli/InterruptCancels.h"

#include "chores/ChoreRunner.h"

#include <QTimer>

#include <atomic>
#include <csignal>

namespace {

// All a signal handler may safely do is set a lock-free flag; a timer reads it.
std::atomic<bool> g_interrupted = false;

extern "C" void onInterrupt(int)
{
    g_interrupted = true;
}

} // namespace

InterruptCancels::InterruptCancels(ChoreRunner &runner, QObject *parent) : QObject(parent), m_poll(new QTimer(this))
{
    g_interrupted = false;
    std::signal(SIGINT, onInterrupt);
    std::signal(SIGTERM, onInterrupt);
    m_poll->setInterval(50);
    connect(m_poll, &QTimer::timeout, this, [&runner] {
        if (g_interrupted)
            runner.cancel();
    });
    m_poll->start();
}

InterruptCancels::~InterruptCancels()
{
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
}
