#pragma once

#include <QCryptographicHash>
#include <QString>

#include <optional>

// One-time passwords of RFC 2289 (S/KEY style), answered to a server's "otp-" challenge.
namespace OneTimePassword {

struct Challenge
{
    QCryptographicHash::Algorithm hash;
    int count;
    QString seed;
};

// Finds "otp-md4", "otp-md5" or "otp-sha1" followed by a sequence number and a seed. Throws
// Error for a sequence number too large to compute while the window waits.
std::optional<Challenge> findChallenge(const QString &text);

// The 64-bit key after `count` further rounds of the folded hash of seed and pass phrase.
quint64 key(QCryptographicHash::Algorithm hash, const QString &passPhrase, const QString &seed, int count);

// The six-word form of a key, from the standard dictionary, with its two checksum bits.
QString sixWords(quint64 key);

// The response to a challenge: six words, separated by single blanks.
QString response(const Challenge &challenge, const QString &passPhrase);

} // namespace OneTimePassword
