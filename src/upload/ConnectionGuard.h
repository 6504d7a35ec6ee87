#pragma once

#include <QtGlobal>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

// Watches a connection that a library drives with blocking calls, from a thread of its own:
// once the chore is cancelled, or nothing has moved for the silence limit, it shuts the socket
// down, and the blocked call returns with an error at once. The caller then asks why.
class ConnectionGuard
{
public:
    enum class Verdict { None, Cancelled, Silent };

    ConnectionGuard(std::function<bool()> isCancelled, int silenceLimitMs);
    ~ConnectionGuard();
    Q_DISABLE_COPY_MOVE(ConnectionGuard)

    void watch(qintptr socket);
    // Something moved: the silence starts again.
    void stir();
    // How long a cancel waits before it drops the connection; the caller, which checks between
    // pieces of a transfer, then has that long to end the piece and clean up itself.
    void setCancelGrace(int ms);
    // From now on a cancel no longer drops the connection, and silence is borne for at most
    // `silenceLimitMs`: for the cleanup after a cancel. False when it was dropped already.
    bool standDown(int silenceLimitMs);
    Verdict verdict() const;

private:
    using Clock = std::chrono::steady_clock;

    void run();
    void drop(Verdict verdict);

    std::function<bool()> m_isCancelled;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stopping = false;
    qintptr m_socket = -1;
    std::chrono::milliseconds m_silenceLimit;
    std::chrono::milliseconds m_cancelGrace{0};
    bool m_watchCancel = true;
    Clock::time_point m_lastStir = Clock::now();
    Clock::time_point m_cancelSeen{};
    Verdict m_verdict = Verdict::None;
    std::thread m_thread;
};
