#include "upload/HostTrust.h"

#include <QByteArray>
#include <QRegularExpression>

namespace {

// The digest a fingerprint stands for; empty when the text is no fingerprint.
QByteArray digestOf(QString text)
{
    text = text.trimmed();
    static const QLatin1String sha256("SHA256:");
    if (text.startsWith(sha256, Qt::CaseInsensitive)) {
        QByteArray encoded = text.mid(sha256.size()).toLatin1();
        while (encoded.size() % 4 != 0)
            encoded.append('=');
        const auto decoded = QByteArray::fromBase64Encoding(encoded, QByteArray::AbortOnBase64DecodingErrors);
        return decoded ? *decoded : QByteArray();
    }
    text.remove(QLatin1Char(':'));
    static const QRegularExpression hex(QStringLiteral("^([0-9A-Fa-f]{2})+$"));
    return hex.match(text).hasMatch() ? QByteArray::fromHex(text.toLatin1()) : QByteArray();
}

} // namespace

bool sameFingerprint(const QString &given, const QString &presented)
{
    const QByteArray digest = digestOf(given);
    return !digest.isEmpty() && digest == digestOf(presented);
}
