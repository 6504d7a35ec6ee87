#include "upload/FtpWait.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTcpSocket>
#include <QTimer>

#include <cerrno>
#include <chrono>

#ifdef Q_OS_WIN
#include <winsock2.h>
#else
#include <sys/socket.h>
#endif

namespace FtpWait {

namespace {
constexpr int CancelPollMs = 50;
}

void WaitStep::run(qint64 ms)
{
    QTimer::singleShot(std::chrono::milliseconds(qMax<qint64>(ms, 0)), Qt::PreciseTimer, &m_context, [this] { m_woken = true; });
    QTimer cancelPoll;
    if (m_isCancelled && ms > CancelPollMs) {
        QObject::connect(&cancelPoll, &QTimer::timeout, &m_context, [this] { m_woken = m_woken || m_isCancelled(); });
        cancelPoll.start(CancelPollMs);
    }
    while (!m_woken)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    if (!m_client)
        throw ClientDestroyed();
}

Error socketError(int number, const QString &text)
{
    return Error(QStringLiteral("Socket Error # %1\r\n%2").arg(number).arg(text));
}

Error socketError(QAbstractSocket::SocketError error)
{
    int number = EIO;
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError: number = ECONNREFUSED; break;
    case QAbstractSocket::RemoteHostClosedError: number = ECONNRESET; break;
    case QAbstractSocket::SocketAccessError: number = EACCES; break;
    case QAbstractSocket::SocketResourceError: number = EMFILE; break;
    case QAbstractSocket::SocketTimeoutError: number = ETIMEDOUT; break;
    case QAbstractSocket::NetworkError: number = ENETUNREACH; break;
    case QAbstractSocket::AddressInUseError: number = EADDRINUSE; break;
    case QAbstractSocket::SocketAddressNotAvailableError: number = EADDRNOTAVAIL; break;
    case QAbstractSocket::UnsupportedSocketOperationError: number = EAFNOSUPPORT; break;
    default: break;
    }
    return socketError(number, qt_error_string(number));
}

qint64 remainingMs(const QDeadlineTimer &deadline, int step)
{
    return deadline.isForever() ? step : qMin<qint64>(step, deadline.remainingTime());
}

QDeadlineTimer deadlineAfter(int ms)
{
    return ms > 0 ? QDeadlineTimer(ms) : QDeadlineTimer(QDeadlineTimer::Forever);
}

void resetSocket(QTcpSocket &socket)
{
    if (socket.socketDescriptor() != -1) {
        const linger dropAtOnce{1, 0};
#ifdef Q_OS_WIN
        ::setsockopt(SOCKET(socket.socketDescriptor()), SOL_SOCKET, SO_LINGER, reinterpret_cast<const char *>(&dropAtOnce), sizeof dropAtOnce);
#else
        ::setsockopt(int(socket.socketDescriptor()), SOL_SOCKET, SO_LINGER, &dropAtOnce, sizeof dropAtOnce);
#endif
    }
    socket.abort();
}

void closeSocket(QTcpSocket &socket)
{
    if (socket.socketDescriptor() != -1) {
#ifdef Q_OS_WIN
        ::shutdown(SOCKET(socket.socketDescriptor()), SD_SEND);
#else
        ::shutdown(int(socket.socketDescriptor()), SHUT_WR);
#endif
    }
    socket.abort();
}

} // namespace FtpWait
