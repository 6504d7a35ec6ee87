#include "upload/ui/PasswordCommands.h"

#include "platform/Prompts.h"
#include "project/Project.h"
#include "project/ProjectCommands.h"
#include "upload/Keyring.h"
#include "upload/TargetUrl.h"
#include "upload/UploadPasswords.h"
#include "upload/ui/WindowThreadQuestion.h"

PasswordCommands::PasswordCommands(Project &project, ProjectCommands &commands, Prompts &prompts)
    : m_project(project), m_commands(commands), m_prompts(prompts)
{
    QObject::connect(&commands, &ProjectCommands::aboutToSave, &commands, [this] { storeBeforeSave(); });
    QObject::connect(&commands, &ProjectCommands::documentReplaced, &commands, [this] { m_keepAtSave.clear(); });
}

std::unique_ptr<PasswordSource> PasswordCommands::sourceFor(const ChoreProgress &progress)
{
    return std::make_unique<PasswordSource>(
        [this, &progress](const QString &key, bool refused) {
            return askOnWindowThread(
                progress,
                [this, key, refused] {
                    return m_prompts.askPassword(key, Keyring::cannotStoreReason().isEmpty(), refused);
                },
                std::optional<PasswordAnswer>());
        },
        [this, &progress](const QString &key, const QString &password) {
            askOnWindowThread(
                progress,
                [this, key, password] {
                    keep(key, password);
                    return true;
                },
                false);
        },
        QString());
}

// Into the keyring; the entries of the account that hold a password in the file give it up,
// or theirs would still come first next time.
void PasswordCommands::keep(const QString &key, const QString &password)
{
    try {
        Keyring::write(key, password);
    } catch (const KeyringError &error) {
        m_prompts.error(QStringLiteral("The password for %1 is used for this run only: %2").arg(key, error.message()));
        return;
    }
    QList<UploadEntry> uploads = m_project.data().uploads;
    bool changed = false;
    for (UploadEntry &entry : uploads) {
        try {
            if (!entry.password.isEmpty() && keyringKey(entry) == key) {
                entry.password.clear();
                changed = true;
            }
        } catch (const Error &) {
            // An entry that cannot be uploaded is no entry of this account.
        }
    }
    if (changed)
        m_project.setUploads(uploads);
}

void PasswordCommands::keepAtSave(quint64 uid, bool keep)
{
    if (keep)
        m_keepAtSave.insert(uid);
    else
        m_keepAtSave.remove(uid);
}

void PasswordCommands::storeBeforeSave()
{
    if (m_keepAtSave.isEmpty())
        return;
    QList<UploadEntry> uploads = m_project.data().uploads;
    QStringList stay;
    for (UploadEntry &entry : uploads) {
        if (!m_keepAtSave.contains(entry.uid) || entry.password.isEmpty())
            continue;
        try {
            entry = withPasswordInKeyring(entry);
        } catch (const Error &error) {
            stay.append(QStringLiteral("%1: %2").arg(urlWithoutPassword(entry.target), error.message()));
        }
    }
    m_keepAtSave.clear();
    m_project.setUploads(uploads);
    if (!stay.isEmpty())
        m_prompts.error(QStringLiteral("These passwords stay in the project file:\n") + stay.join(QLatin1Char('\n')));
}

void PasswordCommands::moveToKeyring()
{
    const int count = passwordsInFile(m_project.data().uploads);
    if (count == 0) {
        m_prompts.message(QStringLiteral("The project holds no upload passwords."));
        return;
    }
    if (const QString unavailable = Keyring::unavailableReason(); !unavailable.isEmpty())
        throw Error(QStringLiteral("The passwords stay in the project file: no system keyring can be used.\n") + unavailable);
    const QString passwords = count == 1 ? QStringLiteral("the upload password") : QStringLiteral("the %1 upload passwords").arg(count);
    if (!m_prompts.question(QStringLiteral("Move %1 of this project into the system keyring and save the project without "
                                           "%2?").arg(passwords, count == 1 ? QStringLiteral("it") : QStringLiteral("them"))))
        return;

    const PasswordMove move = movePasswordsToKeyring(m_project.data().uploads);
    if (move.moved > 0) {
        m_project.setUploads(move.uploads);
        m_commands.save();
    }
    QString report = move.moved == 1 ? QStringLiteral("1 password is in the system keyring now.")
                                     : QStringLiteral("%1 passwords are in the system keyring now.").arg(move.moved);
    if (move.moved > 0 && m_project.data().path.isEmpty())
        report += QStringLiteral(" Save the project to leave them out of its file.");
    if (move.failures.isEmpty()) {
        m_prompts.message(report);
        return;
    }
    report += QStringLiteral("\n\nThese stay in the project file:");
    for (const ChoreFailure &failure : move.failures)
        report += QStringLiteral("\n%1: %2").arg(failure.item, failure.reason);
    m_prompts.error(report);
}
