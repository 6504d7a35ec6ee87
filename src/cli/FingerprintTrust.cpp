#include "cli/FingerprintTrust.h"

#include <algorithm>

bool FingerprintTrust::trust(const QString &, const QString &fingerprint)
{
    return std::any_of(m_fingerprints.begin(), m_fingerprints.end(),
                       [&fingerprint](const QString &given) { return sameFingerprint(given, fingerprint); });
}
