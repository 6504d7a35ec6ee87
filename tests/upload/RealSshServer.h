#pragma once

#include "RealFtpServer.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>

#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

// OpenSSH's sshd on 127.0.0.1, in the foreground, with a throwaway host key, serving SFTP to
// the system user of the FTP tests (by password, or by the client key it authorises), and an
// ssh-agent that can hold that key. Files go wherever the absolute path says; folders() are
// the user's to write in, and so is home(), where the SFTP session starts.
class RealSshServer
{
public:
    static constexpr const char *User = RealFtpServer::SystemUser;
    static constexpr const char *Password = RealFtpServer::Password;

    RealSshServer()
    {
        QFile::setPermissions(m_dir.path(), QFile::permissions(m_dir.path()) | QFile::ExeOther | QFile::ReadOther);
        for (QProcess *process : {&m_sshd, &m_agent})
            process->setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    }

    ~RealSshServer()
    {
        stop(m_sshd);
        stop(m_agent);
    }

    // Empty on success, else why the server could not run.
    QString start()
    {
        if (::geteuid() != 0)
            return QStringLiteral("sshd logs in system users and has to run as root");
        if (!RealFtpServer::ensureSystemUser())
            return QStringLiteral("cannot create the system user %1").arg(User);
        if (!keygen(QStringLiteral("host_key")) || !keygen(QStringLiteral("client_key")))
            return QStringLiteral("ssh-keygen failed");
        QFile::remove(path(QStringLiteral("authorized_keys")));
        QFile::copy(path(QStringLiteral("client_key.pub")), path(QStringLiteral("authorized_keys")));
        QFile::setPermissions(path(QStringLiteral("authorized_keys")), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther);
        QDir().mkpath(QStringLiteral("/run/sshd")); // sshd's privilege separation needs it
        m_port = freePort();
        return launch();
    }

    // Starts again on the same port with a new host key: the "changed key" of a known host.
    QString changeHostKey()
    {
        stop(m_sshd);
        QFile::remove(path(QStringLiteral("host_key")));
        QFile::remove(path(QStringLiteral("host_key.pub")));
        if (!keygen(QStringLiteral("host_key")))
            return QStringLiteral("ssh-keygen failed");
        return launch();
    }

    // Starts an agent holding the client key; its socket, for SSH_AUTH_SOCK.
    QString startAgent()
    {
        const QString socket = path(QStringLiteral("agent.sock"));
        m_agent.start(QStringLiteral("ssh-agent"), {"-D", "-a", socket});
        for (int attempt = 0; attempt < 50 && !QFile::exists(socket); ++attempt)
            QThread::msleep(100);
        QProcess add;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("SSH_AUTH_SOCK"), socket);
        add.setProcessEnvironment(environment);
        add.start(QStringLiteral("ssh-add"), {path(QStringLiteral("client_key"))});
        add.waitForFinished(10000);
        return add.exitCode() == 0 ? socket : QString();
    }

    quint16 port() const { return m_port; }
    QString clientKey() const { return path(QStringLiteral("client_key")); }
    QString hostKeyFingerprint() const
    {
        QProcess keygen;
        keygen.start(QStringLiteral("ssh-keygen"), {"-l", "-E", "sha256", "-f", path(QStringLiteral("host_key.pub"))});
        keygen.waitForFinished(10000);
        return QString::fromLatin1(keygen.readAllStandardOutput()).section(QLatin1Char(' '), 1, 1);
    }
    // The folder relative paths start in: the user's home, as far as SFTP goes.
    QString home() const { return folder(QStringLiteral("home")); }
    // A folder the user may write in, made on first use.
    QString folder(const QString &name) const
    {
        const QString folder = path(QStringLiteral("files/") + name);
        QDir().mkpath(folder);
        QFile::setPermissions(path(QStringLiteral("files")), QFile::permissions(m_dir.path()));
        QProcess::execute(QStringLiteral("chown"), {"-R", User, path(QStringLiteral("files"))});
        return folder;
    }
    QString log() const { return QString::fromLocal8Bit(m_log); }

private:
    QString path(const QString &name) const { return m_dir.filePath(name); }

    bool keygen(const QString &name) const
    {
        return QProcess::execute(QStringLiteral("ssh-keygen"), {"-q", "-t", "ed25519", "-N", "", "-f", path(name)}) == 0;
    }

    QString launch()
    {
        const QString config = path(QStringLiteral("sshd_config"));
        QFile file(config);
        file.open(QIODevice::WriteOnly);
        file.write(QStringLiteral("Port %1\nListenAddress 127.0.0.1\nHostKey %2\nPidFile none\nAuthorizedKeysFile %3\n"
                                  "StrictModes no\nUsePAM no\nPasswordAuthentication yes\nPubkeyAuthentication yes\n"
                                  "KbdInteractiveAuthentication no\nSubsystem sftp internal-sftp -d %4\nLogLevel VERBOSE\n")
                       .arg(m_port)
                       .arg(path(QStringLiteral("host_key")), path(QStringLiteral("authorized_keys")), home())
                       .toUtf8());
        file.close();
        QObject::connect(&m_sshd, &QProcess::readyReadStandardError, [this] { m_log += m_sshd.readAllStandardError(); });
        m_sshd.start(QStringLiteral("/usr/sbin/sshd"), {"-D", "-e", "-f", config});
        if (!m_sshd.waitForStarted(5000))
            return m_sshd.errorString();
        for (int attempt = 0; attempt < 100; ++attempt) {
            QTcpSocket probe;
            probe.connectToHost(QHostAddress::LocalHost, m_port);
            if (probe.waitForConnected(100))
                return {};
            if (m_sshd.state() == QProcess::NotRunning)
                break;
            QThread::msleep(100);
        }
        return QStringLiteral("sshd did not start: %1").arg(QString::fromLocal8Bit(m_log + m_sshd.readAll()));
    }

    static void stop(QProcess &process)
    {
        process.disconnect();
        process.terminate();
        if (!process.waitForFinished(5000))
            process.kill();
        process.waitForFinished(5000);
    }

    static quint16 freePort()
    {
        QTcpServer server;
        server.listen(QHostAddress::LocalHost);
        return server.serverPort();
    }

    QTemporaryDir m_dir;
    QProcess m_sshd;
    QProcess m_agent;
    QByteArray m_log;
    quint16 m_port = 0;
};
