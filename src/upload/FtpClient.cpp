#include "upload/FtpClient.h"

#include "upload/FtpClientCall.h"
#include "upload/FtpReplyError.h"
#include "upload/FtpWait.h"
#include "upload/OneTimePassword.h"

#include <QNetworkProxy>
#include <QRegularExpression>
#include <QSslConfiguration>

// The control connection, the data connections and the store live in FtpClientControl.cpp,
// FtpClientData.cpp and FtpClientStore.cpp; this file holds the session and its commands.

FtpClient::FtpClient(QObject *parent) : QObject(parent)
{
    m_control.setProxy(QNetworkProxy::NoProxy);
}

FtpClient::~FtpClient() = default;

QString FtpClient::portArgument(const QHostAddress &address, quint16 port)
{
    bool ok = false;
    const quint32 ip = address.toIPv4Address(&ok);
    if (!ok)
        throw Error(QStringLiteral("Not an IPv4 address for PORT: %1").arg(address.toString()));
    return QStringLiteral("%1,%2,%3,%4,%5,%6")
        .arg(ip >> 24)
        .arg((ip >> 16) & 0xFF)
        .arg((ip >> 8) & 0xFF)
        .arg(ip & 0xFF)
        .arg(port / 256)
        .arg(port % 256);
}

// ---- Connecting and leaving ----

void FtpClient::connectToHost()
{
    const Call call(this);
    if (m_host.isEmpty())
        throw Error(QStringLiteral("A host name is required to connect."));
    if (m_port == 0)
        throw Error(QStringLiteral("A port is required to connect."));
    if (m_control.state() == QAbstractSocket::ConnectedState)
        throw Error(QStringLiteral("Already connected."));
    try {
        const QHostAddress address = resolveHost();
        emit status(StatusKind::Connecting, QStringLiteral("Connecting to %1.").arg(address.toString()));
        m_control.setSslConfiguration(QSslConfiguration::defaultConfiguration());
        openConnection(m_control, address, m_port);
        m_socketOpen = true;
        emit status(StatusKind::Connected, QStringLiteral("Connected."));
        m_greeting = getResponse({220});
        if (m_tls)
            secureControl();
        if (m_autoLogin)
            login();
        if (m_tls) {
            sendCmd(QStringLiteral("PBSZ 0"), {200});
            sendCmd(QStringLiteral("PROT P"), {200});
        }
        setUpSession();
        emit status(StatusKind::Ready, QStringLiteral("Connection established"));
    } catch (const Error &) {
        quitAndClose();
        throw;
    } catch (const FtpCancelled &) {
        quitAndClose();
        throw;
    }
}

void FtpClient::login()
{
    const FtpReply user = sendCmd(QStringLiteral("USER ") + m_username, {230, 232, 331});
    if (user.code() == 331) {
        const auto challenge = OneTimePassword::findChallenge(user.text().join(QLatin1Char('\n')));
        const QString password = challenge ? OneTimePassword::response(*challenge, m_password) : m_password;
        const FtpReply pass = sendCmd(QStringLiteral("PASS ") + password, {230, 332});
        if (pass.code() == 332) {
            if (m_account.isEmpty())
                throw FtpReplyError(pass.code(), pass.text());
            sendCmd(QStringLiteral("ACCT ") + m_account, {202, 230});
        }
    }
    const FtpReply features = sendCmd(QStringLiteral("FEAT"), {});
    m_capabilities = features.text().mid(1, features.text().size() - 2);
    sendCmd(m_transferType == TransferType::Binary ? QStringLiteral("TYPE I") : QStringLiteral("TYPE A"), {200});
}

void FtpClient::setUpSession()
{
    const FtpReply system = sendCmd(QStringLiteral("SYST"), {});
    m_systemDescription = system.code() == 500 ? QStringLiteral("Unknown") : system.text().value(0);
    if (!wantsSiteZone())
        return;
    const FtpReply zone = sendCmd(QStringLiteral("SITE ZONE"), {});
    if (zone.code() == 210)
        m_timeZoneNote = zone.text().value(0);
}

// Servers that report their time zone through SITE ZONE: some say so in their greeting,
// others list ZONE among the SITE facts of FEAT.
bool FtpClient::wantsSiteZone() const
{
    static const QStringList greetings = {QStringLiteral("Serv-U "), QStringLiteral("BPFTP Server "),
                                          QStringLiteral("TitanFTP server "), QStringLiteral("Titan FTP Server ")};
    const QString greeting = m_greeting.text().value(0);
    for (const QString &prefix : greetings) {
        if (greeting.startsWith(prefix, Qt::CaseInsensitive))
            return true;
    }
    static const QRegularExpression site(QStringLiteral(R"(^\s*SITE(\s|$))"), QRegularExpression::CaseInsensitiveOption);
    for (const QString &line : m_capabilities) {
        if (!site.match(line).hasMatch())
            continue;
        const QStringList facts = line.trimmed().mid(4).split(QLatin1Char(';'));
        for (const QString &fact : facts) {
            if (fact.trimmed().compare(QLatin1String("ZONE"), Qt::CaseInsensitive) == 0)
                return true;
        }
    }
    return false;
}

void FtpClient::disconnectFromHost()
{
    const Call call(this);
    quitAndClose();
}

// ---- Commands ----

void FtpClient::changeDir(const QString &folder)
{
    const Call call(this);
    sendCmd(QStringLiteral("CWD ") + folder, {200, 250});
}

std::optional<qint64> FtpClient::remoteSize(const QString &name)
{
    const Call call(this);
    const FtpReply reply = sendCmd(QStringLiteral("SIZE ") + name, {});
    bool ok = false;
    const qint64 size = reply.text().value(0).trimmed().toLongLong(&ok);
    return reply.code() == 213 && ok ? std::optional(size) : std::nullopt;
}

void FtpClient::rename(const QString &from, const QString &to)
{
    const Call call(this);
    sendCmd(QStringLiteral("RNFR ") + from, {350});
    sendCmd(QStringLiteral("RNTO ") + to, {250});
}

void FtpClient::remove(const QString &name)
{
    const Call call(this);
    sendCmd(QStringLiteral("DELE ") + name, {250});
}

// ---- Work reporting ----

void FtpClient::beginWork(WorkMode mode, qint64 total)
{
    Work &work = m_work[int(mode)];
    if (++work.level == 1) {
        work.count = 0;
        work.total = total;
        emit workBegin(mode, total);
    }
}

void FtpClient::reportWork(WorkMode mode, qint64 bytes)
{
    Work &work = m_work[int(mode)];
    if (work.level > 0) {
        work.count += bytes;
        emit this->work(mode, work.count);
    }
}

void FtpClient::endWork(WorkMode mode)
{
    Work &work = m_work[int(mode)];
    if (work.level == 1)
        emit workEnd(mode);
    --work.level;
}
