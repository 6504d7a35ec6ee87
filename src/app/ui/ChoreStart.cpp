#include "app/ui/ChoreStart.h"

#include "app/ui/ChoreEndReport.h"
#include "project/Error.h"

#include <QAction>
#include <QLabel>
#include <QProgressBar>
#include <QShortcut>
#include <QStatusBar>
#include <QToolButton>

#include <limits>

ChoreStart::ChoreStart(ChoreRunner &runner, ChoreEndReport &endReport, Parts parts)
    : QObject(&parts.window), m_runner(runner), m_endReport(endReport), m_parts(std::move(parts))
{
    m_cancel = new QToolButton(&m_parts.bar);
    m_cancel->setObjectName(QStringLiteral("CancelChore"));
    m_cancel->setText(QStringLiteral("Cancel"));
    m_cancel->setToolTip(QStringLiteral("Stop the running chore (Esc)"));
    m_cancel->setAutoRaise(true);
    m_cancel->hide();
    m_progress = new QProgressBar(&m_parts.bar);
    m_progress->setObjectName(QStringLiteral("ProgressBar1"));
    m_progress->setFixedWidth(155);
    m_progress->setTextVisible(false);
    m_progress->setValue(0);
    m_parts.bar.addPermanentWidget(m_cancel);
    m_parts.bar.addPermanentWidget(m_progress);

    connect(m_cancel, &QToolButton::clicked, &m_runner, &ChoreRunner::cancel);
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), &m_parts.window);
    connect(escape, &QShortcut::activated, &m_runner, &ChoreRunner::cancel);
    connect(&m_runner, &ChoreRunner::progressed, this, &ChoreStart::showProgress);
}

void ChoreStart::setWaiting(std::function<QList<QAction *>()> commands, QList<QWidget *> areas)
{
    m_commands = std::move(commands);
    m_areas = std::move(areas);
}

void ChoreStart::run(const QString &status, ChoreRunner::Work work, ChoreRunner::Done done)
{
    if (m_runner.isRunning())
        throw Error(QStringLiteral("Another chore is still running; wait for it to end or cancel it first."));
    m_status = status;
    setRunning(true);
    showProgress({});
    m_runner.start(status, std::move(work),
                   [this, status, started = m_parts.now(), done = std::move(done)](const ChoreReport &report) {
                       setRunning(false);
                       Q_EMIT ended();
                       m_endReport.tell(status, started, report, done);
                   });
}

void ChoreStart::showStatus(const QString &status)
{
    m_parts.panel.setText(m_parts.projectName() + QStringLiteral(" ------- ") + status);
}

void ChoreStart::showProgress(const ChoreProgress::Snapshot &snapshot)
{
    // A bar of int steps: large totals (bytes) are scaled down to fit.
    const qint64 scale = snapshot.total > std::numeric_limits<int>::max() ? snapshot.total / 1'000'000 + 1 : 1;
    m_progress->setMaximum(int(qMax<qint64>(snapshot.total, 1) / scale));
    m_progress->setValue(int(qBound<qint64>(0, snapshot.done, snapshot.total) / scale));
    showStatus(snapshot.status.isEmpty() ? m_status : snapshot.status);
}

void ChoreStart::setRunning(bool running)
{
    if (running) {
        m_waitingCommands.clear();
        const QList<QAction *> commands = m_commands ? m_commands() : QList<QAction *>();
        for (QAction *command : commands) {
            if (command->isEnabled() && !command->isSeparator()) {
                m_waitingCommands << command;
                command->setEnabled(false);
            }
        }
    } else {
        for (QAction *command : std::as_const(m_waitingCommands))
            command->setEnabled(true);
        m_waitingCommands.clear();
        m_progress->setValue(0);
    }
    for (QWidget *area : std::as_const(m_areas))
        area->setEnabled(!running);
    m_cancel->setVisible(running);
}
