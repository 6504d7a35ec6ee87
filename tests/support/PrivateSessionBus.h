#pragma once

#include <QDBusConnection>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

// A D-Bus session bus of the test's own, with mocked desktop services (python3-dbusmock) on it,
// so tests never meet the user's desktop and run beside each other. Becomes the session bus of
// the process: make it before anything uses the session bus. Ends its processes when destroyed.
class PrivateSessionBus
{
public:
    PrivateSessionBus();
    ~PrivateSessionBus();

    // Empty when the bus runs; else what failed.
    const QString &failure() const { return m_failure; }
    // The test's own connection to the bus, apart from the program's.
    QDBusConnection connection() const;
    // Starts `python3 -m dbusmock ARGUMENTS` on the bus and waits until it owns `name`.
    // Returns what failed, empty on success.
    QString startMock(const QString &name, const QStringList &arguments);

private:
    QProcess m_daemon;
    std::vector<std::unique_ptr<QProcess>> m_mocks;
    QString m_address;
    QString m_failure;
};
