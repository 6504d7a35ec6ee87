#pragma once

#include "upload/HostTrust.h"

#include <QStringList>

// Trusts the servers whose fingerprints were given with --trust-host, and no other: the
// command line never asks.
class FingerprintTrust : public HostTrust
{
public:
    explicit FingerprintTrust(QStringList fingerprints) : m_fingerprints(std::move(fingerprints)) {}

    bool trust(const QString &question, const QString &fingerprint) override;

private:
    QStringList m_fingerprints;
};
