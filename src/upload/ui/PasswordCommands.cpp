#include "upload/ui/PasswordCommands.h"

#include "platform/Prompts.h"
#include "project/Project.h"
#include "project/ProjectCommands.h"
#include "upload/Keyring.h"
#include "upload/UploadPasswords.h"

PasswordCommands::PasswordCommands(Project &project, ProjectCommands &commands, Prompts &prompts)
    : m_project(project), m_commands(commands), m_prompts(prompts)
{
}

UploadPasswords PasswordCommands::lookUp(const QList<UploadEntry> &uploads)
{
    return UploadPasswords::lookUp(
        uploads, [this](const QString &account, const QString &key) { return ask(account, key); },
        QStringLiteral("No password was typed in."));
}

std::optional<QString> PasswordCommands::ask(const QString &account, const QString &key)
{
    const std::optional<PasswordAnswer> answer = m_prompts.askPassword(account, true);
    if (!answer)
        return std::nullopt;
    if (answer->remember) {
        try {
            Keyring::write(key, answer->password);
        } catch (const KeyringError &error) {
            m_prompts.error(QStringLiteral("The password for %1 is used for this run only: %2").arg(account, error.message()));
        }
    }
    return answer->password;
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
