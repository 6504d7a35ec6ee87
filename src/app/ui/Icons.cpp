#include "app/ui/Icons.h"

#include <QCoreApplication>
#include <QHash>

namespace Icons {

namespace {

// Each icon file is read once: the to-do icons appear in several lists and menus. The cache
// empties with the application, before the icon engines go.
QHash<QString, QIcon> &cache()
{
    static QHash<QString, QIcon> icons;
    return icons;
}

} // namespace

QIcon named(const QString &name)
{
    QHash<QString, QIcon> &icons = cache();
    if (icons.isEmpty())
        qAddPostRoutine([] { cache().clear(); });
    auto found = icons.constFind(name);
    if (found == icons.cend())
        found = icons.insert(name, QIcon(QStringLiteral(":/icons/") + name));
    return *found;
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
