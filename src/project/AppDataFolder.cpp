#include "project/AppDataFolder.h"

#include "project/Error.h"

#include <QDir>
#include <QStandardPaths>

namespace AppDataFolder {

QString path()
{
#if defined(Q_OS_WIN)
    const QString base = qEnvironmentVariable("APPDATA");
#elif defined(Q_OS_MACOS)
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
#else
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
#endif
    if (base.isEmpty())
        return {};
    return QDir::toNativeSeparators(QDir(base).filePath(QStringLiteral("Trovas")) + QLatin1Char('/'));
}

QString ensure()
{
    const QString folder = path();
    if (folder.isEmpty() || !QDir().mkpath(folder))
        throw Error(QStringLiteral("Cannot create the settings folder \"%1\"").arg(folder));
    return folder;
}

} // namespace AppDataFolder
