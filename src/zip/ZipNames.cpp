#include "zip/ZipNames.h"

#include "project/FileNameBytes.h"

#include <QDir>

namespace ZipNames {

namespace {

// Removes what makes a "/"-separated path absolute: the drive ("C:") and the network prefix
// ("//server/share") on Windows; the leading separators that remain go with the collapse.
QString withoutDrive(const QString &name)
{
#ifdef Q_OS_WIN
    if (name.startsWith(QLatin1String("//"))) {
        const qsizetype server = name.indexOf(QLatin1Char('/'), 2);
        const qsizetype share = server < 0 ? -1 : name.indexOf(QLatin1Char('/'), server + 1);
        return share < 0 ? QString() : name.mid(share);
    }
    if (name.size() >= 2 && name.at(1) == QLatin1Char(':'))
        return name.mid(2);
#endif
    return name;
}

} // namespace

QString relativeName(const QString &path, const QString &root)
{
    if (root.isEmpty() || !path.startsWith(root, fileNameCase))
        return path;
    QString rest = path.mid(root.size());
    if (rest.startsWith(QDir::separator()))
        rest.remove(0, 1);
    return rest;
}

QString zipName(const QString &name)
{
    const QString slashed = withoutDrive(QDir::fromNativeSeparators(name));
    QString result;
    result.reserve(slashed.size());
    for (const QChar c : slashed) {
        const bool separator = c == QLatin1Char('/');
        if (separator && (result.isEmpty() || result.endsWith(QLatin1Char('/'))))
            continue;
        result.append(c);
    }
    return result;
}

QString dosName(const QString &name)
{
    return QDir::toNativeSeparators(zipName(name));
}

QByteArray entryBytes(const QString &zipName)
{
    return FileNameBytes::encode(zipName);
}

QByteArray entryKey(const QByteArray &storedName)
{
    if constexpr (fileNameCase == Qt::CaseSensitive)
        return storedName;
    return QString::fromUtf8(storedName).toCaseFolded().toUtf8();
}

} // namespace ZipNames
