#pragma once

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

// A real FTP server on 127.0.0.1, started for the tests and stopped with this object. Files
// arrive below root().
class RealFtpServer
{
public:
    // PyftpdlibPassiveOnly refuses PORT, as a server behind a firewall that cannot connect back;
    // PyftpdlibNeverConnects takes PORT and STOR (150) but never connects, as a server whose
    // connection is dropped on its way; PyftpdlibRefusesAfterStore answers STOR with 425, as
    // servers that connect only then; PyftpdlibWithoutRename refuses RNFR, as servers that
    // allow storing and nothing else; PyftpdlibWithoutResume refuses REST.
    enum class Kind {
        Pyftpdlib,
        PyftpdlibPassiveOnly,
        PyftpdlibNeverConnects,
        PyftpdlibRefusesAfterStore,
        PyftpdlibWithoutRename,
        PyftpdlibWithoutResume,
        Vsftpd
    };

    // vsftpd logs in system users only; this one is created (as root) when it is missing.
    static constexpr const char *SystemUser = "trovasftp";
    static constexpr const char *Password = "Trovas-Ftp-1";

    explicit RealFtpServer(Kind kind) : m_kind(kind)
    {
        QFile::setPermissions(m_dir.path(), QFile::permissions(m_dir.path()) | QFile::ExeOther | QFile::ReadOther);
        QDir(m_dir.path()).mkpath(QStringLiteral("root"));
        QDir(m_dir.path()).mkpath(QStringLiteral("empty"));
        // The server goes with the test, even when the test crashes.
        m_process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    }

    ~RealFtpServer() { stop(); }

    void stop()
    {
        m_process.terminate();
        if (!m_process.waitForFinished(5000))
            m_process.kill();
        m_process.waitForFinished(5000);
    }

    // Empty on success, else why the server could not run. The server can be made to take no
    // more than `readLimit` bytes a second on a data connection, so an upload lasts.
    QString start(int readLimit = 0)
    {
        m_port = freePort();
        if ((m_kind == Kind::Pyftpdlib && readLimit > 0) || (m_kind != Kind::Pyftpdlib && m_kind != Kind::Vsftpd)) {
            const char *quirk = m_kind == Kind::PyftpdlibPassiveOnly ? "passive-only"
                : m_kind == Kind::PyftpdlibNeverConnects            ? "never-connects"
                : m_kind == Kind::PyftpdlibRefusesAfterStore        ? "425-after-store"
                : m_kind == Kind::PyftpdlibWithoutRename            ? "no-rename"
                : m_kind == Kind::PyftpdlibWithoutResume            ? "no-resume"
                                                                    : "none";
            m_process.start(QStringLiteral("/usr/bin/python3"),
                            {"-c", QString::fromLatin1(ScriptedPyftpdlib), QString::number(m_port), root(), SystemUser,
                             Password, QString::number(readLimit), quirk});
        } else if (m_kind == Kind::Pyftpdlib) {
            m_process.start(QStringLiteral("/usr/bin/python3"),
                            {"-m", "pyftpdlib", "-i", "127.0.0.1", "-p", QString::number(m_port), "-w", "-d", root(), "-u",
                             SystemUser, "-P", Password});
        } else {
            if (::geteuid() != 0)
                return QStringLiteral("vsftpd serves system users and has to run as root");
            if (!ensureSystemUser())
                return QStringLiteral("cannot create the system user %1").arg(SystemUser);
            m_process.start(QStringLiteral("vsftpd"), {writeVsftpdConfig(readLimit)});
        }
        return waitUntilListening();
    }

    QString waitUntilListening()
    {
        if (!m_process.waitForStarted(5000))
            return m_process.errorString();
        for (int attempt = 0; attempt < 100; ++attempt) {
            QTcpSocket probe;
            probe.connectToHost(QHostAddress::LocalHost, m_port);
            if (probe.waitForConnected(100))
                return {};
            if (m_process.state() == QProcess::NotRunning)
                break;
            QThread::msleep(100);
        }
        return QStringLiteral("the server did not start: %1").arg(QString::fromLocal8Bit(m_process.readAll()));
    }

    quint16 port() const { return m_port; }

    // vsftpd and sshd log in system users only: this one, created (as root) when it is missing.
    static bool ensureSystemUser()
    {
        if (!run(QStringLiteral("id"), {"-u", SystemUser})
            && !run(QStringLiteral("useradd"), {"--system", "--home-dir", "/", "--shell", "/bin/sh", SystemUser}))
            return false;
        return run(QStringLiteral("chpasswd"), {}, QByteArray(SystemUser) + ':' + Password + '\n');
    }


    // vsftpd only: explicit TLS required for logins and data, with a self-signed certificate
    // made for this server. Call before start().
    void requireTls()
    {
        m_tls = true;
        makeCertificate();
    }
    QString certificatePath() const { return m_dir.filePath(QStringLiteral("tls.crt")); }
    // Stops the server and starts it again on the same port with a new certificate.
    QString renewCertificate()
    {
        stop();
        makeCertificate();
        m_process.start(QStringLiteral("vsftpd"), {writeVsftpdConfig(0)});
        return waitUntilListening();
    }
    // vsftpd's record of the transfers: "OK UPLOAD" or "FAIL UPLOAD" lines, among others.
    QByteArray transferLog() const
    {
        QFile log(transferLogPath());
        return log.open(QIODevice::ReadOnly) ? log.readAll() : QByteArray();
    }
    QString root() const { return m_dir.filePath(QStringLiteral("root")); }

    // A folder below the root that the server may write to, with all that is already in it.
    QString makeFolder(const QString &name) const
    {
        QDir(root()).mkpath(name);
        if (m_kind == Kind::Vsftpd)
            run(QStringLiteral("chown"), {"-R", SystemUser, root()});
        return QDir(root()).filePath(name);
    }

private:
    static constexpr const char *ScriptedPyftpdlib = R"(
import sys
from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler, ThrottledDTPHandler
from pyftpdlib.servers import FTPServer
port, root, user, password, limit, quirk = sys.argv[1:]
class Handler(FTPHandler):
    def ftp_PORT(self, line):
        if quirk == 'passive-only':
            self.respond('500 Active mode is not allowed here.')
        elif quirk in ('never-connects', '425-after-store'):
            self.respond('200 PORT command successful.')
        else:
            FTPHandler.ftp_PORT(self, line)
    def ftp_STOR(self, file, mode='w'):
        if quirk == '425-after-store' and self.data_channel is None and self._dtp_acceptor is None:
            self.respond('425 Failed to establish connection.')
        else:
            return FTPHandler.ftp_STOR(self, file, mode)
    def ftp_ABOR(self, line):
        if self._in_dtp_queue is not None:
            self._in_dtp_queue[0].close()
            self._in_dtp_queue = None
        FTPHandler.ftp_ABOR(self, line)
    def ftp_REST(self, line):
        if quirk == 'no-resume':
            self.respond('502 Command not implemented.')
        else:
            FTPHandler.ftp_REST(self, line)
    def ftp_RNFR(self, path):
        if quirk == 'no-rename':
            self.respond('550 Renaming is not allowed here.')
        else:
            FTPHandler.ftp_RNFR(self, path)
authorizer = DummyAuthorizer()
authorizer.add_user(user, password, root, perm='elradfmwMT')
Handler.authorizer = authorizer
if int(limit) > 0:
    ThrottledDTPHandler.read_limit = int(limit)
    Handler.dtp_handler = ThrottledDTPHandler
FTPServer(('127.0.0.1', int(port)), Handler).serve_forever()
)";

    static quint16 freePort()
    {
        QTcpServer server;
        server.listen(QHostAddress::LocalHost);
        return server.serverPort();
    }

    static bool run(const QString &program, const QStringList &arguments, const QByteArray &input = {})
    {
        QProcess process;
        process.start(program, arguments);
        process.write(input);
        process.closeWriteChannel();
        return process.waitForFinished(10000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    }

    QString writeVsftpdConfig(int readLimit) const
    {
        const QString path = m_dir.filePath(QStringLiteral("vsftpd.conf"));
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(QStringLiteral("listen=YES\nlisten_ipv6=NO\nlisten_address=127.0.0.1\nlisten_port=%1\nbackground=NO\n"
                                  "anonymous_enable=NO\nlocal_enable=YES\nwrite_enable=YES\nlocal_root=%2\n"
                                  "seccomp_sandbox=NO\nconnect_from_port_20=NO\nsecure_chroot_dir=%3\n")
                       .arg(m_port)
                       .arg(root(), m_dir.filePath(QStringLiteral("empty")))
                       .toUtf8());
        if (readLimit > 0)
            file.write("local_max_rate=" + QByteArray::number(readLimit) + '\n');
        file.write("xferlog_enable=YES\nvsftpd_log_file=" + QFile::encodeName(transferLogPath()) + '\n');
        if (m_tls) {
            file.write("ssl_enable=YES\nforce_local_logins_ssl=YES\nforce_local_data_ssl=YES\nssl_ciphers=HIGH\n"
                       "rsa_cert_file=" + QFile::encodeName(m_dir.filePath(QStringLiteral("tls.crt"))) + "\n"
                       "rsa_private_key_file=" + QFile::encodeName(m_dir.filePath(QStringLiteral("tls.key"))) + '\n');
        }
        return path;
    }

    void makeCertificate() const
    {
        run(QStringLiteral("openssl"), {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-subj", "/CN=localhost",
                                        "-keyout", m_dir.filePath(QStringLiteral("tls.key")), "-out",
                                        m_dir.filePath(QStringLiteral("tls.crt"))});
    }

    QString transferLogPath() const { return m_dir.filePath(QStringLiteral("vsftpd.log")); }

    Kind m_kind;
    bool m_tls = false;
    QTemporaryDir m_dir;
    QProcess m_process;
    quint16 m_port = 0;
};
