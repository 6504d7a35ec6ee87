#include "app/ui/Icons.h"

namespace Icons {

QIcon named(const QString &name)
{
    return QIcon(QStringLiteral(":/icons/") + name);
}

QIcon todo(int code)
{
    if (code < 0 || code > 12)
        return {};
    return named(QStringLiteral("todo/%1.svg").arg(code, 2, 10, QLatin1Char('0')));
}

QIcon application()
{
    return named(QStringLiteral("trovas.svg"));
}

} // namespace Icons
