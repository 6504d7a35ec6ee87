#include "upload/PinnedCertificates.h"

#include "project/AppDataFolder.h"
#include "project/Error.h"

#include <QFile>
#include <QRegularExpression>
#include <QSaveFile>

namespace {

QString keyOf(const QString &host, quint16 port)
{
    return QStringLiteral("%1:%2").arg(host.toLower()).arg(port);
}

QStringList linesOf(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(QRegularExpression(QStringLiteral("\r\n|\n|\r")), Qt::SkipEmptyParts);
}

} // namespace

std::optional<QString> PinnedCertificates::find(const QString &host, quint16 port) const
{
    const QString key = keyOf(host, port) + QLatin1Char(' ');
    for (const QString &line : linesOf(m_path)) {
        if (line.startsWith(key))
            return line.mid(key.size()).trimmed();
    }
    return std::nullopt;
}

void PinnedCertificates::pin(const QString &host, quint16 port, const QString &fingerprint) const
{
    const QString key = keyOf(host, port);
    QStringList lines;
    for (const QString &line : linesOf(m_path)) {
        if (!line.startsWith(key + QLatin1Char(' ')))
            lines.append(line);
    }
    lines.append(key + QLatin1Char(' ') + fingerprint);
    // The safe writer keeps the permissions of the file it replaces: it is the user's alone
    // from its first byte.
    constexpr QFile::Permissions userOnly = QFile::ReadOwner | QFile::WriteOwner;
    if (!QFile::exists(m_path)) {
        QFile create(m_path);
        if (create.open(QIODevice::WriteOnly))
            create.setPermissions(userOnly);
    }
    QSaveFile file(m_path);
    const QByteArray bytes = (lines.join(QLatin1String("\r\n")) + QLatin1String("\r\n")).toUtf8();
    const bool written = file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush()
        && file.commit() && QFile::setPermissions(m_path, userOnly);
    if (!written)
        throw Error(QStringLiteral("Cannot save the trusted certificate in \"%1\". %2").arg(m_path, file.errorString()));
}

QString PinnedCertificates::defaultPath()
{
    return AppDataFolder::ensure() + QStringLiteral("pinned-certificates.txt");
}
