#pragma once

#include "platform/Prompts.h"

#include <optional>

// The main window's prompts: the real ones, and while the end of a chore the user did not
// watch is being told, what is said then also goes to the desktop as a notification.
class ChoreEndPrompts : public Prompts
{
public:
    explicit ChoreEndPrompts(Prompts &prompts) : m_prompts(prompts) {}

    // The next message, warning or error is sent as a notification's body under this summary.
    void announceNext(const QString &summary) { m_summary = summary; }
    // Sends the summary alone when nothing was said since announceNext().
    void finishAnnouncement();

    void message(const QString &text) override;
    void error(const QString &text) override;
    void warning(const QString &text) override;
    bool question(const QString &text) override { return m_prompts.question(text); }
    SaveChoice saveChanges(const QString &text) override { return m_prompts.saveChanges(text); }
    std::optional<QString> inputText(const QString &title, const QString &label, const QString &initial) override
    {
        return m_prompts.inputText(title, label, initial);
    }
    std::optional<PasswordAnswer> askPassword(const QString &account, bool canRemember, bool refused) override
    {
        return m_prompts.askPassword(account, canRemember, refused);
    }
    std::optional<QString> openFile(const QString &filter) override { return m_prompts.openFile(filter); }
    std::optional<QString> saveFile(const QString &filter) override { return m_prompts.saveFile(filter); }
    QString pickFolder(const std::optional<QString> &title) override { return m_prompts.pickFolder(title); }
    std::optional<QColor> pickColour() override;

private:
    // Before the modal message, which waits for the user.
    void announce(const QString &body);

    Prompts &m_prompts;
    std::optional<QString> m_summary;
};
