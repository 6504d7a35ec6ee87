#pragma once

#include <QElapsedTimer>
#include <QHostAddress>
#include <QPointer>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>

#include <deque>
#include <functional>
#include <memory>

// A TCP relay on 127.0.0.1 that holds every chunk for a fixed time in each direction, as a far
// server would (these machines' kernels have no netem). For FTP it also relays the passive data
// connections: a 227 or 229 reply is rewritten to a port of a relay of its own for that data
// connection. Runs on a thread of its own, so the benchmarked programs' waits do not slow it.
class DelayRelay
{
public:
    DelayRelay(quint16 upstreamPort, int delayMs, bool ftp) : m_upstreamPort(upstreamPort), m_delayMs(delayMs), m_ftp(ftp)
    {
        m_clock.start();
        m_hub.moveToThread(&m_thread);
        m_thread.start();
        QMetaObject::invokeMethod(&m_hub, [this] { m_port = listen(m_upstreamPort, m_ftp); }, Qt::BlockingQueuedConnection);
    }
    ~DelayRelay()
    {
        QMetaObject::invokeMethod(&m_hub, [this] { qDeleteAll(m_hub.children()); }, Qt::BlockingQueuedConnection);
        m_thread.quit();
        m_thread.wait();
    }
    quint16 port() const { return m_port; }

private:
    // One direction of one connection: chunks wait until their time has come.
    struct Pipe
    {
        std::deque<std::pair<qint64, QByteArray>> pending;
    };

    quint16 listen(quint16 upstream, bool ftpControl)
    {
        auto *server = new QTcpServer(&m_hub);
        server->listen(QHostAddress::LocalHost, 0);
        QObject::connect(server, &QTcpServer::newConnection, server, [this, server, upstream, ftpControl] {
            while (QTcpSocket *client = server->nextPendingConnection()) {
                client->setParent(&m_hub);
                relay(client, upstream, ftpControl);
            }
            // A data connection's relay serves that one connection.
            if (upstream != m_upstreamPort) {
                server->close();
                server->deleteLater();
            }
        });
        return server->serverPort();
    }

    void relay(QTcpSocket *client, quint16 upstream, bool ftpControl)
    {
        auto *server = new QTcpSocket(&m_hub);
        server->connectToHost(QHostAddress::LocalHost, upstream);
        auto toServer = std::make_shared<Pipe>();
        auto toClient = std::make_shared<Pipe>();
        auto controlLine = std::make_shared<QByteArray>();
        const auto pump = [this](QTcpSocket *from, QTcpSocket *to, std::shared_ptr<Pipe> pipe,
                                 std::function<QByteArray(QByteArray)> rewrite) {
            QObject::connect(from, &QIODevice::readyRead, to, [this, from, to, pipe, rewrite] {
                QByteArray bytes = from->readAll();
                if (rewrite)
                    bytes = rewrite(bytes);
                pipe->pending.emplace_back(m_clock.elapsed() + m_delayMs, bytes);
                QTimer::singleShot(m_delayMs, Qt::PreciseTimer, to, [this, to, pipe] { flush(to, pipe); });
            });
            QObject::connect(from, &QAbstractSocket::disconnected, to, [this, to, pipe] {
                QTimer::singleShot(m_delayMs + 1, Qt::PreciseTimer, to, [this, to, pipe] {
                    flush(to, pipe);
                    to->disconnectFromHost();
                });
            });
        };
        std::function<QByteArray(QByteArray)> rewrite;
        if (ftpControl) {
            rewrite = [this, controlLine](QByteArray bytes) { return rewritePassive(*controlLine, bytes); };
        }
        // What the client sends before the upstream connection is up waits in its pipe.
        QObject::connect(server, &QAbstractSocket::connected, client, [this, server, toServer] {
            QTimer::singleShot(m_delayMs, Qt::PreciseTimer, server, [this, server, toServer] { flush(server, toServer); });
        });
        pump(client, server, toServer, {});
        pump(server, client, toClient, rewrite);
        for (QTcpSocket *socket : {client, server})
            QObject::connect(socket, &QAbstractSocket::disconnected, socket, &QObject::deleteLater);
    }

    void flush(QTcpSocket *to, const std::shared_ptr<Pipe> &pipe)
    {
        if (to->state() != QAbstractSocket::ConnectedState)
            return; // tried again when the connection is up
        while (!pipe->pending.empty() && pipe->pending.front().first <= m_clock.elapsed() + 1) {
            to->write(pipe->pending.front().second);
            pipe->pending.pop_front();
        }
    }

    // Passive replies point at a relay of the data port instead of the server's port.
    QByteArray rewritePassive(QByteArray &partial, const QByteArray &bytes)
    {
        partial += bytes;
        QByteArray whole;
        for (qsizetype end = partial.indexOf('\n'); end >= 0; end = partial.indexOf('\n')) {
            QByteArray line = partial.left(end + 1);
            partial.remove(0, end + 1);
            static const QRegularExpression pasv(QStringLiteral(R"(^227 .*\((\d+),(\d+),(\d+),(\d+),(\d+),(\d+)\))"));
            static const QRegularExpression epsv(QStringLiteral(R"(^229 .*\(\|\|\|(\d+)\|\))"));
            const QString text = QString::fromLatin1(line);
            if (const auto match = pasv.match(text); match.hasMatch()) {
                const quint16 port = listen(quint16(match.captured(5).toUInt() * 256 + match.captured(6).toUInt()), false);
                line = QStringLiteral("227 Entering Passive Mode (127,0,0,1,%1,%2).\r\n").arg(port / 256).arg(port % 256).toLatin1();
            } else if (const auto match = epsv.match(text); match.hasMatch()) {
                const quint16 port = listen(quint16(match.captured(1).toUInt()), false);
                line = QStringLiteral("229 Entering Extended Passive Mode (|||%1|).\r\n").arg(port).toLatin1();
            }
            whole += line;
        }
        return whole;
    }

    quint16 m_upstreamPort;
    int m_delayMs;
    bool m_ftp;
    quint16 m_port = 0;
    QThread m_thread;
    QObject m_hub;
    QElapsedTimer m_clock;

};
