#pragma once

#include <QByteArray>
#include <QHash>
#include <QRegularExpression>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

#include <atomic>
#include <memory>

// A scripted FTP server on 127.0.0.1 for the replies no real server gives. It runs on its own
// thread, answers each command by its verb (a normal login and upload unless told otherwise)
// and records what it received. One client at a time.
class ScriptedFtpServer
{
public:
    // What the server does for one command: each part in turn, skipping the empty ones.
    struct Answer
    {
        Answer(QByteArray reply = {}, bool receiveData = false, int pauseMs = 0, QByteArray followUp = {}, bool close = false)
            : reply(std::move(reply)), receiveData(receiveData), pauseMs(pauseMs), followUp(std::move(followUp)), close(close)
        {
        }
        QByteArray reply; // sent at once
        bool receiveData; // connect to the last PORT address and read until the client closes
        int pauseMs;      // then wait (with receiveData: once connected, before reading)
        QByteArray followUp; // then send this
        bool close;       // then close the control connection
        qint64 dataLimit = -1; // with receiveData: close the data connection after this many bytes
    };

    ScriptedFtpServer()
    {
        m_answers = {
            {"USER", {"331 Password required\r\n"}},
            {"PASS", {"230 Logged in\r\n"}},
            {"FEAT", {"211-Features:\r\n MDTM\r\n SIZE\r\n211 End\r\n"}},
            {"TYPE", {"200 Type set\r\n"}},
            {"SYST", {"215 UNIX Type: L8\r\n"}},
            {"CWD", {"250 Folder changed\r\n"}},
            {"PORT", {"200 PORT command successful\r\n"}},
            {"STOR", {"150 Opening data connection\r\n", true, 0, "226 Transfer complete\r\n"}},
            {"QUIT", {"221 Goodbye\r\n", false, 0, {}, true}},
        };
    }

    ~ScriptedFtpServer() { finish(); }

    void setGreeting(const Answer &greeting) { m_greeting = greeting; }
    void on(const QByteArray &verb, const Answer &answer) { m_answers.insert(verb, answer); }

    // Starts listening; returns the port.
    quint16 start()
    {
        m_thread.reset(QThread::create([this] { run(); }));
        m_thread->start();
        while (m_port == 0)
            QThread::msleep(1);
        return m_port;
    }

    // Waits for the client's session to end and stops; the records are complete afterwards.
    void finish()
    {
        m_stop = true;
        if (m_thread)
            m_thread->wait();
    }
    QStringList commands() const { return m_commands; }
    QByteArray received() const { return m_received; }

private:
    void run()
    {
        QTcpServer server;
        server.listen(QHostAddress::LocalHost);
        m_port = server.serverPort();
        while (!m_stop) {
            if (!server.waitForNewConnection(20))
                continue;
            std::unique_ptr<QTcpSocket> socket(server.nextPendingConnection());
            socket->setParent(nullptr);
            serve(*socket);
        }
    }

    void serve(QTcpSocket &socket)
    {
        if (!perform(socket, m_greeting))
            return;
        for (;;) {
            while (!socket.canReadLine()) {
                if (!socket.waitForReadyRead(100) && socket.state() != QAbstractSocket::ConnectedState)
                    return;
            }
            const QString line = QString::fromUtf8(socket.readLine()).remove(QLatin1Char('\r')).remove(QLatin1Char('\n'));
            m_commands.append(line);
            const QByteArray verb = line.section(QLatin1Char(' '), 0, 0).toUpper().toLatin1();
            if (!perform(socket, m_answers.value(verb, Answer{"500 Unknown command\r\n"})))
                return;
        }
    }

    // False when the answer ended the session.
    bool perform(QTcpSocket &socket, const Answer &answer)
    {
        send(socket, answer.reply);
        if (answer.receiveData)
            receiveData(answer.pauseMs, answer.dataLimit);
        else
            QThread::msleep(answer.pauseMs);
        send(socket, answer.followUp);
        if (answer.close)
            socket.disconnectFromHost();
        return !answer.close;
    }

    static void send(QTcpSocket &socket, const QByteArray &bytes)
    {
        socket.write(bytes);
        while (socket.bytesToWrite() > 0 && socket.waitForBytesWritten(1000)) {
        }
    }

    void receiveData(int pauseMs, qint64 limit)
    {
        static const QRegularExpression port(QStringLiteral(R"(^PORT (\d+),(\d+),(\d+),(\d+),(\d+),(\d+)$)"));
        const QStringList ports = m_commands.filter(port);
        const QRegularExpressionMatch match = port.match(ports.value(ports.size() - 1));
        if (!match.hasMatch())
            return;
        const auto n = [&](int i) { return match.captured(i).toUInt(); };
        QTcpSocket data;
        data.connectToHost(QHostAddress((n(1) << 24) | (n(2) << 16) | (n(3) << 8) | n(4)), quint16(n(5) * 256 + n(6)));
        if (!data.waitForConnected(5000))
            return;
        QThread::msleep(pauseMs);
        while ((limit < 0 || m_received.size() < limit) && (data.waitForReadyRead(5000) || data.bytesAvailable() > 0))
            m_received += data.read(limit < 0 ? data.bytesAvailable() : limit - m_received.size());
    }

    Answer m_greeting{"220 Scripted server ready\r\n"};
    QHash<QByteArray, Answer> m_answers;
    std::unique_ptr<QThread> m_thread;
    std::atomic<quint16> m_port = 0;
    std::atomic<bool> m_stop = false;
    QStringList m_commands;
    QByteArray m_received;
};
