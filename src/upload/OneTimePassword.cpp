#include "upload/OneTimePassword.h"

#include "project/Error.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringList>
#include <QtEndian>

// The dictionary lives in the core library's resources, which a static library has to
// register itself.
static void registerCoreResources()
{
    Q_INIT_RESOURCE(core);
}

namespace OneTimePassword {

namespace {

const QStringList &dictionary()
{
    static const QStringList words = [] {
        registerCoreResources();
        QFile file(QStringLiteral(":/otp/words.txt"));
        if (!file.open(QIODevice::ReadOnly))
            qFatal("The one-time password dictionary is missing from the resources");
        QStringList list = QString::fromLatin1(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        for (QString &word : list)
            word = word.trimmed();
        Q_ASSERT(list.size() == 2048);
        return list;
    }();
    return words;
}

// Folds a digest to 64 bits. MD4 and MD5 XOR their two halves; SHA-1 XORs its five
// 32-bit words down to two and, as the RFC's reference code does, stores each word with
// its least significant byte first.
QByteArray fold(QCryptographicHash::Algorithm hash, const QByteArray &digest)
{
    QByteArray folded(8, Qt::Uninitialized);
    if (hash != QCryptographicHash::Sha1) {
        for (int i = 0; i < 8; ++i)
            folded[i] = char(digest[i] ^ digest[i + 8]);
        return folded;
    }
    const auto word = [&](int i) { return qFromBigEndian<quint32>(digest.constData() + 4 * i); };
    qToLittleEndian<quint32>(word(0) ^ word(2) ^ word(4), folded.data());
    qToLittleEndian<quint32>(word(1) ^ word(3), folded.data() + 4);
    return folded;
}

} // namespace

std::optional<Challenge> findChallenge(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral(R"(otp-(md4|md5|sha1)\s+(\d+)\s+([A-Za-z0-9]+))"),
                                            QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const QString name = match.captured(1).toLower();
    const auto hash = name == QLatin1String("md4")   ? QCryptographicHash::Md4
                      : name == QLatin1String("md5") ? QCryptographicHash::Md5
                                                     : QCryptographicHash::Sha1;
    // Every round is a hash on the user's thread with the window unserviced: a count far
    // beyond what a user ever initialises would freeze the program, one past int would wrap.
    constexpr int MaxCount = 100000;
    bool ok = false;
    const int count = match.captured(2).toInt(&ok);
    if (!ok || count > MaxCount)
        throw Error(QStringLiteral("The server asks for a one-time password of sequence number %1; at most %2 is supported.")
                        .arg(match.captured(2))
                        .arg(MaxCount));
    return Challenge{hash, count, match.captured(3)};
}

quint64 key(QCryptographicHash::Algorithm hash, const QString &passPhrase, const QString &seed, int count)
{
    QByteArray value = fold(hash, QCryptographicHash::hash(seed.toLower().toUtf8() + passPhrase.toUtf8(), hash));
    for (int i = 0; i < count; ++i)
        value = fold(hash, QCryptographicHash::hash(value, hash));
    return qFromBigEndian<quint64>(value.constData());
}

QString sixWords(quint64 key)
{
    unsigned checksum = 0;
    for (int shift = 0; shift < 64; shift += 2)
        checksum += (key >> shift) & 3;
    // 66 bits, the key and then the checksum's two low bits, make six 11-bit indices.
    QStringList words;
    for (int shift = 53; shift >= 9; shift -= 11)
        words.append(dictionary().at(int((key >> shift) & 0x7FF)));
    words.append(dictionary().at(int(((key & 0x1FF) << 2) | (checksum & 3))));
    return words.join(QLatin1Char(' '));
}

QString response(const Challenge &challenge, const QString &passPhrase)
{
    return sixWords(key(challenge.hash, passPhrase, challenge.seed, challenge.count));
}

} // namespace OneTimePassword
