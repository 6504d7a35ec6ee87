#pragma once

#include <QString>

#include <optional>

class QColor; // only named here: the core links no GUI module

// A password the user typed, and whether it goes into the system keyring for the next time.
struct PasswordAnswer
{
    QString password;
    bool remember = false;
};

// The answers to "Save changes to NAME?".
enum class SaveChoice { Save, Discard, Cancel };

// Everything that asks the user something or tells them something in a modal window.
// The Qt implementation shows real dialogs; tests answer from a script.
class Prompts
{
public:
    virtual ~Prompts() = default;

    virtual void message(const QString &text) = 0;
    virtual void error(const QString &text) = 0;
    // A message with a warning icon: a chore that ended with something not done.
    virtual void warning(const QString &text) = 0;
    // A yes/no question; true for yes. No is the default answer.
    virtual bool question(const QString &text) = 0;
    // Save, Discard or Cancel; Enter saves, Escape cancels.
    virtual SaveChoice saveChanges(const QString &text) = 0;
    // One-line input; nullopt when cancelled.
    virtual std::optional<QString> inputText(const QString &title, const QString &label,
                                             const QString &initial) = 0;
    // A masked prompt for the password of `account` ("user@host:port"); nullopt when cancelled.
    // `canRemember` offers to keep it in the system keyring; `refused` says the server turned
    // down the last one.
    virtual std::optional<PasswordAnswer> askPassword(const QString &account, bool canRemember, bool refused) = 0;
    // Filters in Qt form, "Project (*.dev)"; nullopt when cancelled.
    virtual std::optional<QString> openFile(const QString &filter) = 0;
    virtual std::optional<QString> saveFile(const QString &filter) = 0;
    // The modal folder browser: the selected folder, or empty. A title, when given,
    // becomes the browser's window title.
    virtual QString pickFolder(const std::optional<QString> &title = std::nullopt) = 0;
    // The colour dialog, which starts with the colour chosen last; nullopt when cancelled.
    virtual std::optional<QColor> pickColour() = 0;
};
