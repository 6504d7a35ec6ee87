#include "cli/SecretCommands.h"

#include "cli/CommandLine.h"
#include "cli/Output.h"
#include "project/ProjectFile.h"
#include "upload/Keyring.h"
#include "upload/UploadPasswords.h"

#include <QJsonArray>
#include <QJsonObject>

namespace {

// The keys the passwords would go under; never a password.
ExitStatus showPlan(const Invocation &invocation, const QList<UploadEntry> &uploads)
{
    QJsonArray planned;
    bool usable = true;
    for (const UploadEntry &entry : uploads) {
        if (entry.password.isEmpty())
            continue;
        try {
            const QString key = keyringKey(entry);
            planned.append(QJsonObject{{QStringLiteral("account"), uploadAccount(entry)}, {QStringLiteral("key"), key}});
            if (!invocation.json)
                Output::line(key);
        } catch (const Error &error) {
            Output::error(error.message());
            usable = false;
        }
    }
    if (invocation.json)
        Output::json({{QStringLiteral("command"), QStringLiteral("secrets move")}, {QStringLiteral("move"), planned}});
    return usable ? ExitDone : ExitFailed;
}

} // namespace

namespace SecretCommands {

ExitStatus move(const Invocation &invocation)
{
    // As the file has it, not as the window sorts it: only the password lines change.
    ProjectData data = ProjectFile::read(invocation.projectPath);
    if (invocation.dryRun)
        return showPlan(invocation, data.uploads);
    const int count = passwordsInFile(data.uploads);
    if (count == 0) {
        Output::line(QStringLiteral("The project file holds no upload passwords."));
        return ExitDone;
    }
    if (const QString unavailable = Keyring::unavailableReason(); !unavailable.isEmpty())
        throw Error(QStringLiteral("The passwords stay in the project file: no system keyring can be used. ") + unavailable);

    const PasswordMove moved = movePasswordsToKeyring(data.uploads);
    if (moved.moved > 0) {
        data.uploads = moved.uploads;
        ProjectFile::write(invocation.projectPath, data);
    }
    Output::line(QStringLiteral("Moved %1 of %2 passwords into the system keyring.").arg(moved.moved).arg(count));
    for (const ChoreFailure &failure : moved.failures)
        Output::error(QStringLiteral("%1: the password stays in the project file. %2").arg(failure.item, failure.reason));
    return moved.failures.isEmpty() ? ExitDone : ExitFailed;
}

} // namespace SecretCommands
