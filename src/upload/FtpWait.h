#pragma once

#include "project/Error.h"

#include <QAbstractSocket>
#include <QDeadlineTimer>
#include <QObject>
#include <QPointer>

#include <exception>
#include <functional>

class QTcpSocket;

// What the FTP client's control connection, data connections and stores share: waits on the
// network that keep the event loop running, deadlines, and socket failures as messages.
namespace FtpWait {

// How long one wait for a reply or a handshake step lasts before it looks again.
constexpr int ReplyStepMs = 250;

// Thrown when a slot destroyed the client while one of its calls waited: nothing of the
// client may be touched any more, so it is no Error that the calls themselves catch.
class ClientDestroyed : public std::exception
{
public:
    const char *what() const noexcept override { return "The FTP client was closed while it waited for the server."; }
};

// One step of a network wait: the application handles its pending events (repaints, timers,
// input) for at most the step's time and the step ends early once the network stirs.
// It runs the event dispatcher itself rather than a nested event loop: once the application
// is quitting, a nested loop returns at once and the wait would spin without ever reading the
// network again. With a cancel check, the step also ends soon after the check turns true.
class WaitStep
{
public:
    explicit WaitStep(QObject *client, const std::function<bool()> &isCancelled = {})
        : m_client(client), m_isCancelled(isCancelled)
    {
        wakeOn(client, &QObject::destroyed);
    }

    template <typename Sender, typename Signal>
    WaitStep &wakeOn(const Sender *sender, Signal signal)
    {
        QObject::connect(sender, signal, &m_context, [this] { m_woken = true; });
        return *this;
    }

    void run(qint64 ms);

private:
    QPointer<QObject> m_client;
    std::function<bool()> m_isCancelled;
    QObject m_context;
    bool m_woken = false;
};

Error socketError(int number, const QString &text);
Error socketError(QAbstractSocket::SocketError error);
qint64 remainingMs(const QDeadlineTimer &deadline, int step);
QDeadlineTimer deadlineAfter(int ms);
// Drops the connection with a reset: what still waits in the system's send buffer is thrown
// away rather than trickling on to the server after the transfer was cancelled.
void resetSocket(QTcpSocket &socket);
// Shuts down the sending side, so the peer sees the end of the data, then closes.
void closeSocket(QTcpSocket &socket);

} // namespace FtpWait
