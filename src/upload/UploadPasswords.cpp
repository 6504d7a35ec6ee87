#include "upload/UploadPasswords.h"

#include "upload/Keyring.h"
#include "upload/TargetUrl.h"
#include "upload/UploadDestination.h"

#include <algorithm>

namespace {

// Anonymous FTP takes any password, by convention an address; there is nothing to keep.
bool needsNoSecret(const UploadEntry &entry)
{
    const QString user = entry.user.toLower();
    return user.isEmpty() || user == QLatin1String("anonymous") || user == QLatin1String("ftp");
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
    const UploadDestination destination = uploadDestination(entry);
    return QStringLiteral("%1@%2:%3").arg(entry.user, destination.host).arg(destination.port);
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

PasswordSource::Found &PasswordSource::lookUp(const QString &key)
{
    const auto known = m_found.find(key);
    if (known != m_found.end())
        return *known;
    Found &found = m_found[key];
    QString keyringAnswer = QStringLiteral("the system keyring holds none for it");
    try {
        found.password = Keyring::read(key);
    } catch (const KeyringError &error) {
        keyringAnswer = error.message();
    }
    if (!found.password && qEnvironmentVariableIsSet("TROVAS_PASSWORD"))
        found.password = qEnvironmentVariable("TROVAS_PASSWORD");
    if (!found.password) {
        if (!keyringAnswer.endsWith(QLatin1Char('.')))
            keyringAnswer += QLatin1Char('.');
        found.whyNone = QStringLiteral("No password for %1: %2 %3").arg(key, keyringAnswer, m_whenMissing).trimmed();
    }
    return found;
}

QString PasswordSource::find(const UploadEntry &entry, bool mayAsk)
{
    if (needsNoSecret(entry))
        return entry.password;
    const QString key = keyringKey(entry);
    // The one given after a refusal serves the account's other entries, their own included.
    if (const auto replaced = m_replaced.constFind(key); replaced != m_replaced.cend())
        return *replaced;
    if (!entry.password.isEmpty())
        return entry.password;
    Found &found = lookUp(key);
    if (!found.password && mayAsk && m_ask && !found.asked) {
        found.asked = true;
        found.password = askUser(key, false);
        if (!found.password)
            found.whyNone += QStringLiteral(" No password was typed in.");
    }
    if (found.password)
        return *found.password;
    if (!mayAsk)
        return {};
    throw Error(found.whyNone);
}

std::optional<QString> PasswordSource::afterRefusal(const UploadEntry &entry)
{
    if (!m_ask || needsNoSecret(entry))
        return std::nullopt;
    const QString key = keyringKey(entry);
    if (m_askedAgain.contains(key))
        return std::nullopt;
    m_askedAgain.insert(key);
    const std::optional<QString> password = askUser(key, true);
    if (password)
        m_replaced.insert(key, *password);
    return password;
}

std::optional<QString> PasswordSource::askUser(const QString &key, bool refused)
{
    const std::optional<PasswordAnswer> answer = m_ask(key, refused);
    if (!answer)
        return std::nullopt;
    if (answer->remember)
        m_toKeep.insert(key, answer->password);
    else
        m_toKeep.remove(key);
    return answer->password;
}

void PasswordSource::loggedIn(const UploadEntry &entry, const QString &password)
{
    if (m_toKeep.isEmpty() || password.isEmpty())
        return;
    const QString key = keyringKey(entry);
    const auto kept = m_toKeep.constFind(key);
    if (kept == m_toKeep.cend() || *kept != password)
        return;
    m_toKeep.erase(kept);
    if (m_keep)
        m_keep(key, password);
}
