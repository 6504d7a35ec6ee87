#include "app/ui/ChoreEndReport.h"

#include "app/ui/DesktopNotifier.h"
#include "chores/ChoreEndMessage.h"
#include "project/Error.h"
#include "widgets/CommandRunner.h"

#include <QApplication>
#include <QColor>
#include <QEventLoop>
#include <QScopedValueRollback>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace {

// A chore shorter than this the user has watched to its end, even from another window.
constexpr qint64 kUnwatchedChoreMs = 10'000;
// How often a wait for the user looks whether the window has gone meanwhile.
constexpr int kWindowCheckMs = 200;

// The error that ended a chore, and what the chore had passed over before it.
void rethrowWithEarlierFailures(const ChoreReport &report)
{
    try {
        report.rethrowError();
    } catch (const Error &error) {
        if (report.failures.isEmpty())
            throw;
        throw Error(error.message() + QStringLiteral("\n\nBefore that, these could not be handled:")
                    + failureLines(report.failures));
    }
}

QString outcome(const ChoreReport &report)
{
    if (report.cancelled)
        return QStringLiteral("cancelled");
    if (report.error)
        return QStringLiteral("stopped by an error");
    return report.succeeded() ? QStringLiteral("finished") : QStringLiteral("finished with failures");
}

} // namespace

void ChoreEndReport::tell(const QString &status, const QDateTime &started, const ChoreReport &report,
                          const ChoreRunner::Done &done)
{
    Audience audience = userAway() ? Audience::Away : Audience::Window;
    if (std::exchange(m_silenceNext, false))
        audience = Audience::Nobody;
    const QScopedValueRollback<Audience> told(m_audience, audience);
    if (audience == Audience::Away) {
        QApplication::alert(&m_window);
        if (started.msecsTo(m_now()) > kUnwatchedChoreMs)
            m_summary = QStringLiteral("%1: %2").arg(status, outcome(report));
    }
    runCommand(*this, [&report, &done] {
        rethrowWithEarlierFailures(report);
        if (done)
            done(report);
    });
    // A chore that went well may end without a word in the window; the notification still
    // says how it ended.
    if (const std::optional<QString> summary = std::exchange(m_summary, std::nullopt))
        DesktopNotifier::notify(*summary, choreEnd(report, {QStringLiteral("handled")}).text);
}

void ChoreEndReport::message(const QString &text)
{
    if (mayShow(text))
        m_prompts.message(text);
}

void ChoreEndReport::error(const QString &text)
{
    if (mayShow(text))
        m_prompts.error(text);
}

void ChoreEndReport::warning(const QString &text)
{
    if (mayShow(text))
        m_prompts.warning(text);
}

std::optional<QColor> ChoreEndReport::pickColour()
{
    return m_prompts.pickColour();
}

bool ChoreEndReport::userAway() const
{
    // The program's other windows (options, dialogs) belong to the main window; a window of
    // another application, or one of no part of it, is elsewhere.
    for (const QWidget *active = QApplication::activeWindow(); active; active = active->parentWidget())
        if (active == &m_window)
            return false;
    return m_window.isVisible();
}

bool ChoreEndReport::mayShow(const QString &text)
{
    switch (m_audience) {
    case Audience::Nobody:
        return false;
    case Audience::Away:
        if (const std::optional<QString> summary = std::exchange(m_summary, std::nullopt))
            DesktopNotifier::notify(*summary, text);
        waitForUser();
        return true;
    case Audience::Window:
        break;
    }
    return true;
}

void ChoreEndReport::waitForUser()
{
    if (!userAway())
        return;
    // The window stays live meanwhile; the box then opens over it, where the user looks.
    QEventLoop back;
    auto checkBack = [this, &back] {
        if (!userAway())
            back.quit();
    };
    QObject::connect(qApp, &QGuiApplication::focusWindowChanged, &back, checkBack);
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, &back, &QEventLoop::quit);
    QTimer windowGone;
    QObject::connect(&windowGone, &QTimer::timeout, &back, checkBack);
    windowGone.start(kWindowCheckMs);
    back.exec();
}
