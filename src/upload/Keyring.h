#pragma once

#include "project/Error.h"

#include <QString>

#include <optional>

// Why the keyring could not do what was asked, in its own words.
class KeyringError : public Error
{
public:
    using Error::Error;
};

// The desktop's keyring: the Secret Service on Linux, the credential store on Windows, the
// keychain on macOS. Passwords are kept under the service "Trovas", one under each key.
//
// Any thread may call, and each call returns once the keyring has answered. Meanwhile the
// calling thread keeps painting and working through its timers and queued calls, so a window
// does not freeze; the user's input waits until the answer is in, so no second command starts
// on top of the one that asked.
namespace Keyring {

// The password kept under `key`; nullopt when the keyring holds none. Throws KeyringError.
std::optional<QString> read(const QString &key);
// Keeps `password` under `key`, replacing what was there. Throws KeyringError.
void write(const QString &key, const QString &password);
// Why no keyring can keep a password here: none answers, or the last attempt to keep one failed
// (it stayed locked, or it has nowhere to keep one); the empty text when one may.
QString cannotStoreReason();
// Why no keyring can be used (none is running, or it stayed locked), or the empty text when
// one answers.
QString unavailableReason();

} // namespace Keyring
