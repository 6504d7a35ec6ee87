#pragma once

#include <QString>

// Decides on a server whose identity nothing vouches for yet: an SSH host key missing from
// known_hosts, a TLS certificate the system does not trust. The window asks the user; the
// command line compares with the fingerprint it was given.
class HostTrust
{
public:
    virtual ~HostTrust() = default;

    // `question` says which server presents what, ending in "Trust it?"; `fingerprint` is the
    // one shown in it. Called on the chore's worker; true trusts the server.
    virtual bool trust(const QString &question, const QString &fingerprint) = 0;
};

// The same fingerprint in either form people copy: "SHA256:" and base64 as OpenSSH prints
// it, or hexadecimal with or without colons, in any case.
bool sameFingerprint(const QString &given, const QString &presented);
