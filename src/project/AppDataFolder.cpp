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
    return withSeparator(QDir(base).filePath(QStringLiteral("Trovas")));
}

QString withSeparator(const QString &folder)
{
    // No settings folder: the files are looked for in the working folder, not in the root.
    if (folder.isEmpty())
        return {};
    const QString native = QDir::toNativeSeparators(folder);
    return native.endsWith(QDir::separator()) ? native : native + QDir::separator();
}

QString ensure()
{
    const QString folder = path();
    if (folder.isEmpty() || !QDir().mkpath(folder))
        throw Error(QStringLiteral("Cannot create the settings folder \"%1\"").arg(folder));
    return folder;
}

} // namespace AppDataFolder
