#pragma once

#include "chores/ChoreRunner.h"
#include "platform/Prompts.h"

#include <QDateTime>

#include <functional>
#include <optional>

class QWidget;

// The main window's prompts: the real ones, through which the end of a chore is told as the
// user can take it. A chore the user stopped on purpose (to quit, to open another project)
// ends without a word. One that ends while the user is in another application marks the window
// for attention, and its end box waits until the user comes back; when it ran a while, the
// desktop also shows a notification saying how it ended.
class ChoreEndReport : public Prompts
{
public:
    ChoreEndReport(Prompts &prompts, QWidget &window) : m_prompts(prompts), m_window(window) {}

    // Tells the end of the chore `status`, started at `started`: the error that ended it, or
    // what `done` says of its report.
    void tell(const QString &status, const QDateTime &started, const ChoreReport &report,
              const ChoreRunner::Done &done);
    // The next chore end is told to no one: the user has asked for it to stop.
    void silenceNext() { m_silenceNext = true; }
    void setClock(std::function<QDateTime()> now) { m_now = std::move(now); }

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
    enum class Audience { Window, Away, Nobody };

    // Whether the user is in another application, with the window still on the desktop.
    bool userAway() const;
    // Before a box of the chore's end: sends the notification that is due, with `text` as its
    // body, and waits while the user is away.
    bool mayShow(const QString &text);
    void waitForUser();

    Prompts &m_prompts;
    QWidget &m_window;
    std::function<QDateTime()> m_now = [] { return QDateTime::currentDateTime(); };
    bool m_silenceNext = false;
    Audience m_audience = Audience::Window;
    // The summary of the notification still to send.
    std::optional<QString> m_summary;
};
