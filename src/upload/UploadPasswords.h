#pragma once

#include "chores/ChoreProgress.h"
#include "platform/Prompts.h"
#include "project/Records.h"

#include <QHash>
#include <QSet>
#include <QList>
#include <QString>

#include <functional>
#include <optional>

// Upload passwords kept out of the project file: the entry's password line stays empty and the
// system keyring holds the password under "user@host:port".

// The account an entry logs in to, "user@host", as messages name it. Throws Error when its
// target is no URL.
QString uploadAccount(const UploadEntry &entry);
// The keyring key of the entry's password, "user@host:port" with the port the upload connects
// to. Throws Error when the target or the port cannot be used.
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

// Where an upload run finds the password of an account, in this order: the entry's own, the
// system keyring, the environment variable TROVAS_PASSWORD, then the user, where there is one
// to ask. What is found for an account serves every entry of it for the rest of the run. An
// account that needs a password and has none is never tried with an empty one. An empty or
// anonymous user needs none. Called on the run's worker, one entry after the other.
class PasswordSource
{
public:
    // Asks the user for the password of the account named by `key` ("user@host:port"); `refused`
    // when the server turned down the last one. nullopt when cancelled, or no one can be asked.
    using Ask = std::function<std::optional<PasswordAnswer>(const QString &key, bool refused)>;
    // Keeps a password the user asked to keep, once the server took it.
    using Keep = std::function<void(const QString &key, const QString &password)>;

    // `whenMissing` ends the message of an account left without a password: what the user can do.
    PasswordSource(Ask ask, Keep keep, QString whenMissing)
        : m_ask(std::move(ask)), m_keep(std::move(keep)), m_whenMissing(std::move(whenMissing))
    {
    }

    // The password to log in with. `mayAsk` false leaves out asking the user and gives the empty
    // text when nothing else has one: SFTP tries the user's keys first. Throws Error, naming the
    // account, when none is found.
    QString find(const UploadEntry &entry, bool mayAsk = true);
    // Another password after the server refused `entry`'s: asked once for each account and
    // run; nullopt when not asked again, or not given.
    std::optional<QString> afterRefusal(const UploadEntry &entry);
    // The server took `password` for `entry`'s account.
    void loggedIn(const UploadEntry &entry, const QString &password);

private:
    struct Found
    {
        std::optional<QString> password;
        QString whyNone;
        bool asked = false;
    };
    Found &lookUp(const QString &key);
    std::optional<QString> askUser(const QString &key, bool refused);

    Ask m_ask;
    Keep m_keep;
    QString m_whenMissing;
    QHash<QString, Found> m_found;
    QSet<QString> m_askedAgain;
    QHash<QString, QString> m_replaced;
    // The passwords typed in to be kept, by key, until the server takes them.
    QHash<QString, QString> m_toKeep;
};
