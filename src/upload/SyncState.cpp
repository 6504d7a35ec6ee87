#include "upload/SyncState.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>

namespace SyncState {

namespace {
constexpr int FormatVersion = 1;
}

QByteArray toJson(const QList<MirrorFile> &files)
{
    QJsonArray entries;
    for (const MirrorFile &file : files) {
        entries.append(QJsonObject{{QStringLiteral("path"), file.path},
                                   {QStringLiteral("size"), file.size},
                                   {QStringLiteral("sha256"), QString::fromLatin1(file.sha256.toHex())}});
    }
    const QJsonObject root{{QStringLiteral("version"), FormatVersion}, {QStringLiteral("files"), entries}};
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

std::optional<QList<MirrorFile>> fromJson(const QByteArray &json)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    const QJsonObject root = document.object();
    if (error.error != QJsonParseError::NoError || root.value(QStringLiteral("version")).toInt() != FormatVersion
        || !root.value(QStringLiteral("files")).isArray())
        return std::nullopt;
    QList<MirrorFile> files;
    for (const QJsonValue &value : root.value(QStringLiteral("files")).toArray()) {
        const QJsonObject entry = value.toObject();
        const QString path = entry.value(QStringLiteral("path")).toString();
        const double size = entry.value(QStringLiteral("size")).toDouble(-1);
        const QByteArray sha256 = QByteArray::fromHex(entry.value(QStringLiteral("sha256")).toString().toLatin1());
        if (!isSafeRelativePath(path) || size < 0 || size != qint64(size) || sha256.size() != 32)
            return std::nullopt;
        files.append({path, qint64(size), sha256});
    }
    return files;
}

QList<MirrorFile> afterRun(const std::optional<QList<MirrorFile>> &before, const QList<MirrorFile> &local,
                           const QSet<QString> &arrived, const QSet<QString> &removed)
{
    QMap<QString, MirrorFile> byPath;
    for (const MirrorFile &file : before.value_or(QList<MirrorFile>()))
        byPath.insert(file.path, file);
    for (const MirrorFile &file : local) {
        if (arrived.contains(file.path))
            byPath.insert(file.path, file);
    }
    for (const QString &path : removed)
        byPath.remove(path);
    return byPath.values();
}

bool isSafeRelativePath(const QString &path)
{
    if (path.isEmpty() || path.startsWith(QLatin1Char('/')) || path.contains(QLatin1Char('\\'))
        || path.contains(QLatin1Char('\r')) || path.contains(QLatin1Char('\n')) || path.contains(QChar(0)))
        return false;
    for (const QStringView part : QStringView(path).split(QLatin1Char('/'))) {
        if (part.isEmpty() || part == QLatin1String(".") || part == QLatin1String(".."))
            return false;
    }
    return true;
}

} // namespace SyncState
