#include "zip/ZipErrors.h"

#include <QDir>

namespace ZipErrors {

namespace {

// Paths of the walk carry a doubled separator after the zipped folder; the user sees it clean.
QString shown(const QString &path)
{
    return QDir::toNativeSeparators(QDir::cleanPath(path));
}

} // namespace

QString notFound(const QString &archive)
{
    return QStringLiteral("File \"%1\" not found!").arg(archive);
}

QString notAnArchive(const QString &archive)
{
    return QStringLiteral("\"%1\" is not a zip archive that entries can be added to.").arg(archive);
}

QString notOpen()
{
    return QStringLiteral("No zip archive is open.");
}

QString cannotCreate(const QString &path, const QString &reason)
{
    return QStringLiteral("Cannot create \"%1\": %2").arg(path, reason);
}

QString cannotOpen(const QString &path, const QString &reason)
{
    return QStringLiteral("Cannot open \"%1\": %2").arg(shown(path), reason);
}

QString cannotRead(const QString &path, const QString &reason)
{
    return QStringLiteral("Cannot read \"%1\": %2").arg(shown(path), reason);
}

QString cannotWrite(const QString &path, const QString &reason)
{
    return QStringLiteral("Cannot write \"%1\": %2").arg(path, reason);
}

QString nameTooLong(const QString &archive, const QString &entry)
{
    return QStringLiteral("Cannot add \"%1...\" to \"%2\": a zip archive holds names of at most 65,535 bytes.")
        .arg(entry.left(40), archive);
}

QString entryTooLarge(const QString &entry)
{
    return QStringLiteral("Cannot zip \"%1\": it grew past 4 GiB while it was zipped.")
        .arg(shown(entry));
}

} // namespace ZipErrors
