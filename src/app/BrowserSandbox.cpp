#include "app/BrowserSandbox.h"

#include <QList>
#include <QtGlobal>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {

const char kSwitchesVariable[] = "QTWEBENGINE_CHROMIUM_FLAGS";
const QByteArray kNoSandbox = QByteArrayLiteral("--no-sandbox");

} // namespace

namespace BrowserSandbox {

QByteArray switchesFor(const QByteArray &switches, bool root)
{
    if (!root || switches.simplified().split(' ').contains(kNoSandbox))
        return switches;
    return switches.trimmed().isEmpty() ? kNoSandbox : switches + ' ' + kNoSandbox;
}

void prepareForCurrentUser()
{
#ifdef Q_OS_UNIX
    const QByteArray current = qgetenv(kSwitchesVariable);
    const QByteArray wanted = switchesFor(current, geteuid() == 0);
    if (wanted != current)
        qputenv(kSwitchesVariable, wanted);
#endif
}

} // namespace BrowserSandbox
