#pragma once

#include "chores/ChoreProgress.h"
#include "project/Records.h"

#include <QHash>
#include <QList>
#include <QString>

#include <functional>
#include <optional>

// Upload passwords kept out of the project file: the entry's password line stays empty and the
// system keyring holds the password under "user@host:port".

// The account an entry logs in to, "user@host", as messages name it. Throws Error when its
// target is no URL.
QString uploadAccount(const UploadEntry &entry);
// The keyring key of the entry's password. A port left at the dialog's "21" on an sftp://
// target is SSH's 22, the port the upload uses. Throws Error when the target is no URL.
QString keyringKey(const UploadEntry &entry);

// Puts the entry's password into the keyring and returns the entry without it. Throws Error
// when the target is no URL and KeyringError when the keyring did not take the password; the
// entry then keeps it.
UploadEntry withPasswordInKeyring(const UploadEntry &entry);

// The entries whose password the project file holds.
int passwordsInFile(const QList<UploadEntry> &uploads);

struct PasswordMove
{
    // The entries, without every password the keyring confirmed; the others keep theirs.
    QList<UploadEntry> uploads;
    int moved = 0;
    // One for each password that stayed, named by its account.
    QList<ChoreFailure> failures;
};

// Moves every password of `uploads` into the keyring, one after the other.
PasswordMove movePasswordsToKeyring(const QList<UploadEntry> &uploads);

// The passwords an upload run logs in with, found before it starts. An entry that holds a
// password logs in with it. For one with an empty password the keyring is asked, and where it
// holds none, `ask` is asked once for each account; a run that finds no password for an entry
// fails that entry. Entries that need no secret log in with the empty password as before: an
// empty or anonymous user, an SFTP login (the agent and the user's keys come first there), and
// every entry when no keyring answers.
class UploadPasswords
{
public:
    // The password for the account "user@host" kept under `key`; nullopt when none is given.
    using Ask = std::function<std::optional<QString>(const QString &account, const QString &key)>;

    // Each entry's own password.
    UploadPasswords() = default;
    // `whenMissing` ends the message of an entry left without a password: what the user can do.
    static UploadPasswords lookUp(const QList<UploadEntry> &uploads, const Ask &ask, const QString &whenMissing);

    // The password to log in with. Throws Error, naming the account, when none was found.
    QString passwordFor(const UploadEntry &entry) const;

private:
    // For each key looked up: the password, or why there is none.
    struct Found
    {
        std::optional<QString> password;
        QString whyNone;
    };
    QHash<QString, Found> m_found;
};
