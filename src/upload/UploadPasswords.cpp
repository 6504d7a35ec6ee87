#include "upload/UploadPasswords.h"

#include "upload/Keyring.h"
#include "upload/TargetUrl.h"

#include <QFileInfo>

#include <algorithm>

namespace {

bool isSftp(const TargetUrl &target)
{
    return target.scheme.compare(QLatin1String("sftp"), Qt::CaseInsensitive) == 0;
}

// Anonymous FTP takes any password, by convention an address; there is nothing to keep.
bool needsNoSecret(const UploadEntry &entry)
{
    const QString user = entry.user.toLower();
    return user.isEmpty() || user == QLatin1String("anonymous") || user == QLatin1String("ftp");
}

// Whether the run will ask for the entry's password: it has none of its own, needs one, and
// the run gets as far as logging in (its file is there and its target can be split).
bool looksUpPassword(const UploadEntry &entry)
{
    if (!entry.password.isEmpty() || needsNoSecret(entry) || !QFileInfo(entry.source).isFile())
        return false;
    try {
        crackTargetUrl(entry.target);
        return true;
    } catch (const Error &) {
        return false;
    }
}

// What names an entry in a message: its account, or its target where that is no URL.
QString accountOrTarget(const UploadEntry &entry)
{
    try {
        return uploadAccount(entry);
    } catch (const Error &) {
        return urlWithoutPassword(entry.target);
    }
}

} // namespace

QString uploadAccount(const UploadEntry &entry)
{
    return entry.user + QLatin1Char('@') + crackTargetUrl(entry.target).host;
}

QString keyringKey(const UploadEntry &entry)
{
    const TargetUrl target = crackTargetUrl(entry.target);
    const QString port = isSftp(target) && entry.port == QLatin1String("21") ? QStringLiteral("22") : entry.port;
    return entry.user + QLatin1Char('@') + target.host + QLatin1Char(':') + port;
}

UploadEntry withPasswordInKeyring(const UploadEntry &entry)
{
    Keyring::write(keyringKey(entry), entry.password);
    UploadEntry kept = entry;
    kept.password.clear();
    return kept;
}

int passwordsInFile(const QList<UploadEntry> &uploads)
{
    return int(std::count_if(uploads.begin(), uploads.end(),
                             [](const UploadEntry &entry) { return !entry.password.isEmpty(); }));
}

PasswordMove movePasswordsToKeyring(const QList<UploadEntry> &uploads)
{
    PasswordMove move{uploads, 0, {}};
    for (UploadEntry &entry : move.uploads) {
        if (entry.password.isEmpty())
            continue;
        try {
            entry = withPasswordInKeyring(entry);
            ++move.moved;
        } catch (const Error &error) {
            move.failures.append({accountOrTarget(entry), error.message()});
        }
    }
    return move;
}

UploadPasswords UploadPasswords::lookUp(const QList<UploadEntry> &uploads, const Ask &ask, const QString &whenMissing)
{
    UploadPasswords passwords;
    QList<UploadEntry> needing;
    std::copy_if(uploads.begin(), uploads.end(), std::back_inserter(needing), looksUpPassword);
    if (needing.isEmpty() || !Keyring::unavailableReason().isEmpty())
        return passwords;
    for (const UploadEntry &entry : std::as_const(needing)) {
        const QString key = keyringKey(entry);
        if (passwords.m_found.contains(key))
            continue;
        Found &found = passwords.m_found[key];
        QString keyringAnswer = QStringLiteral("the system keyring holds none for it");
        try {
            found.password = Keyring::read(key);
        } catch (const KeyringError &error) {
            keyringAnswer = error.message();
        }
        if (found.password)
            continue;
        // SFTP logs in with the agent or the user's keys without one.
        if (isSftp(crackTargetUrl(entry.target))) {
            found.password = QString();
            continue;
        }
        found.password = ask(uploadAccount(entry), key);
        if (!found.password)
            found.whyNone = QStringLiteral("No password for %1: %2. %3")
                                .arg(uploadAccount(entry), keyringAnswer, whenMissing).trimmed();
    }
    return passwords;
}

QString UploadPasswords::passwordFor(const UploadEntry &entry) const
{
    if (!entry.password.isEmpty() || !looksUpPassword(entry))
        return entry.password;
    const auto found = m_found.constFind(keyringKey(entry));
    if (found == m_found.cend())
        return entry.password;
    if (!found->password)
        throw Error(found->whyNone);
    return *found->password;
}
