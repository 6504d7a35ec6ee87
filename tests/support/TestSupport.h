#pragma once

#include "housekeeping/TempFiles.h"
#include "platform/Launcher.h"
#include "platform/Prompts.h"

#include <QStringList>
#include <QTemporaryDir>

#include <deque>
#include <functional>
#include <optional>

// Answers the program's questions from a script, so no test ever waits on a modal window.
// Each question takes the next queued answer; an empty queue answers "cancel". A yes/no
// question counts any text as yes and nullopt as no; "Save changes?" takes "save" or
// "discard", anything else cancels.
class ScriptedPrompts : public Prompts
{
public:
    std::deque<std::optional<QString>> answers;
    QStringList messages;
    QStringList errors;
    QStringList warnings;
    QStringList questions;
    QStringList folderTitles;
    // The accounts whose password was asked for, and whether the answers ask to remember it.
    QStringList passwordAccounts;
    bool rememberPasswords = false;

    void message(const QString &text) override { messages.append(text); }
    void error(const QString &text) override { errors.append(text); }
    void warning(const QString &text) override { warnings.append(text); }
    bool question(const QString &text) override
    {
        questions.append(text);
        return next().has_value();
    }
    SaveChoice saveChanges(const QString &text) override;
    std::optional<QString> inputText(const QString &, const QString &, const QString &) override { return next(); }
    std::optional<PasswordAnswer> askPassword(const QString &account, bool canRemember, bool refused) override
    {
        passwordAccounts.append(refused ? account + QStringLiteral(" (refused)") : account);
        const std::optional<QString> password = next();
        return password ? std::optional<PasswordAnswer>({*password, canRemember && rememberPasswords}) : std::nullopt;
    }
    std::optional<QString> openFile(const QString &) override { return next(); }
    std::optional<QString> saveFile(const QString &) override { return next(); }
    QString pickFolder(const std::optional<QString> &title) override
    {
        if (title)
            folderTitles.append(*title);
        return next().value_or(QString());
    }
    // The answer is a colour name ("red", "#336699").
    std::optional<QColor> pickColour() override;

private:
    std::optional<QString> next();
};

// Records what the program asked the desktop to open; the targets in `unopenable` fail as
// on a desktop with no program set up for them.
class RecordingLauncher : public Launcher
{
public:
    QStringList opened;
    QStringList unopenable;
    void open(const QString &target) override;
};

// Points HOME, XDG_CONFIG_HOME and XDG_DATA_HOME at a fresh temporary folder for the life of
// the object, so tests never touch the user's settings or trash.
class IsolatedHome
{
public:
    IsolatedHome();
    QString path() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
};

// Waits until the project folder's listing is in; false when it took too long.
bool waitForListing(TempFiles &tempFiles);

// Writes bytes to a file, creating its folder; returns the path.
QString writeFile(const QString &path, const QByteArray &bytes);
// A file of `size` zero bytes whose blocks are all its own from the start (no holes), made at
// once: copying it takes as long as copying that much data, which a cancel can stop within it.
// False when it cannot be made.
bool writeAllocatedFile(const QString &path, qint64 size);
QByteArray readFile(const QString &path);
// The message of the Error that `work` throws; empty when it throws none.
QString errorOf(const std::function<void()> &work);
