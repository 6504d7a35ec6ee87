#include "support/PrivateSessionBus.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QtTest>

namespace {

const QString kConnection = QStringLiteral("test-private-session-bus");

} // namespace

PrivateSessionBus::PrivateSessionBus()
{
    m_daemon.start(QStringLiteral("dbus-daemon"),
                   {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address=1")});
    if (!m_daemon.waitForStarted(10'000)) {
        m_failure = QStringLiteral("dbus-daemon does not start (install dbus): ") + m_daemon.errorString();
        return;
    }
    QByteArray line;
    // The address is checked just below.
    (void)QTest::qWaitFor([&] {
        m_daemon.waitForReadyRead(100);
        line += m_daemon.readAll();
        return line.contains('\n');
    }, 10'000);
    m_address = QString::fromUtf8(line).trimmed();
    if (m_address.isEmpty()) {
        m_failure = QStringLiteral("dbus-daemon gave no address");
        return;
    }
    qputenv("DBUS_SESSION_BUS_ADDRESS", m_address.toUtf8());
    if (!QDBusConnection::connectToBus(m_address, kConnection).isConnected())
        m_failure = QStringLiteral("cannot connect to the private bus at ") + m_address;
}

PrivateSessionBus::~PrivateSessionBus()
{
    QDBusConnection::disconnectFromBus(kConnection);
    for (const auto &mock : m_mocks) {
        mock->kill();
        mock->waitForFinished(5'000);
    }
    m_daemon.kill();
    m_daemon.waitForFinished(5'000);
}

QDBusConnection PrivateSessionBus::connection() const
{
    return QDBusConnection(kConnection);
}

QString PrivateSessionBus::startMock(const QString &name, const QStringList &arguments)
{
    if (!m_failure.isEmpty())
        return m_failure;
    auto mock = std::make_unique<QProcess>();
    mock->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // The system's Python, which has the system's python3-dbusmock.
    mock->start(QStringLiteral("/usr/bin/python3"), QStringList{QStringLiteral("-m"), QStringLiteral("dbusmock")} + arguments);
    if (!mock->waitForStarted(10'000))
        return QStringLiteral("/usr/bin/python3 does not start: ") + mock->errorString();
    QProcess *process = mock.get();
    m_mocks.push_back(std::move(mock));
    const QDBusConnection bus = connection();
    const bool owned = QTest::qWaitFor([&] {
        return bus.interface()->isServiceRegistered(name) || process->state() == QProcess::NotRunning;
    }, 20'000);
    if (!owned || process->state() == QProcess::NotRunning)
        return QStringLiteral("python3-dbusmock did not serve %1 (install python3-dbusmock)").arg(name);
    return {};
}
