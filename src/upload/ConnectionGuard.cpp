#include "upload/ConnectionGuard.h"

#ifdef Q_OS_WIN
#include <winsock2.h>
#else
#include <sys/socket.h>
#endif

namespace {

constexpr std::chrono::milliseconds CheckStep{20};

} // namespace

ConnectionGuard::ConnectionGuard(std::function<bool()> isCancelled, int silenceLimitMs)
    : m_isCancelled(std::move(isCancelled)), m_silenceLimit(silenceLimitMs), m_thread([this] { run(); })
{
}

ConnectionGuard::~ConnectionGuard()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    m_thread.join();
}

void ConnectionGuard::watch(qintptr socket)
{
    const std::lock_guard lock(m_mutex);
    m_socket = socket;
    m_lastStir = Clock::now();
}

void ConnectionGuard::stir()
{
    const std::lock_guard lock(m_mutex);
    m_lastStir = Clock::now();
}

void ConnectionGuard::setCancelGrace(int ms)
{
    const std::lock_guard lock(m_mutex);
    m_cancelGrace = std::chrono::milliseconds(ms);
}

bool ConnectionGuard::standDown(int silenceLimitMs)
{
    const std::lock_guard lock(m_mutex);
    m_watchCancel = false;
    m_silenceLimit = std::chrono::milliseconds(silenceLimitMs);
    m_lastStir = Clock::now();
    return m_verdict == Verdict::None;
}

ConnectionGuard::Verdict ConnectionGuard::verdict() const
{
    const std::lock_guard lock(m_mutex);
    return m_verdict;
}

void ConnectionGuard::run()
{
    std::unique_lock lock(m_mutex);
    while (!m_wake.wait_for(lock, CheckStep, [this] { return m_stopping; })) {
        if (m_socket == -1 || m_verdict != Verdict::None)
            continue;
        const Clock::time_point now = Clock::now();
        if (m_watchCancel && m_isCancelled()) {
            if (m_cancelSeen == Clock::time_point{})
                m_cancelSeen = now;
            if (now - m_cancelSeen >= m_cancelGrace)
                drop(Verdict::Cancelled);
        } else if (m_silenceLimit.count() > 0 && now - m_lastStir > m_silenceLimit) {
            drop(Verdict::Silent);
        }
    }
}

// Shut down, not closed: the descriptor stays the library's to close, and is never reused
// under its feet.
void ConnectionGuard::drop(Verdict verdict)
{
    m_verdict = verdict;
#ifdef Q_OS_WIN
    ::shutdown(SOCKET(m_socket), SD_BOTH);
#else
    ::shutdown(int(m_socket), SHUT_RDWR);
#endif
}
