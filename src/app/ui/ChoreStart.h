#pragma once

#include "chores/ChoreRunner.h"

#include <QDateTime>
#include <QList>
#include <QObject>

#include <functional>

class ChoreEndReport;
class QAction;
class QLabel;
class QProgressBar;
class QStatusBar;
class QToolButton;
class QWidget;

// Starts the window's one chore and shows it running: the progress bar and the Project panel
// follow it, Escape and the status bar's Cancel stop it, and the other chore commands and the
// pages wait until it ends; then the end report takes over.
class ChoreStart : public QObject
{
    Q_OBJECT

public:
    struct Parts
    {
        QWidget &window;
        QStatusBar &bar;
        // The Project panel, which shows the project's name and what the chore is doing.
        QLabel &panel;
        std::function<QString()> projectName;
        // The window's clock, as the chore's start is timed by it.
        const std::function<QDateTime()> &now;
    };

    ChoreStart(ChoreRunner &runner, ChoreEndReport &endReport, Parts parts);

    // What waits while a chore runs: the commands, of which those enabled at the start are
    // enabled again at the end, and the areas of the window.
    void setWaiting(std::function<QList<QAction *>()> commands, QList<QWidget *> areas);
    // Throws Error while another chore runs.
    void run(const QString &status, ChoreRunner::Work work, ChoreRunner::Done done);
    // Says in the Project panel what the chore is doing now.
    void showStatus(const QString &status);

Q_SIGNALS:
    // The chore has ended and the window is as before it; its end is told next.
    void ended();

private:
    void showProgress(const ChoreProgress::Snapshot &snapshot);
    void setRunning(bool running);

    ChoreRunner &m_runner;
    ChoreEndReport &m_endReport;
    Parts m_parts;
    QProgressBar *m_progress = nullptr;
    QToolButton *m_cancel = nullptr;
    std::function<QList<QAction *>()> m_commands;
    QList<QWidget *> m_areas;
    QString m_status;
    // The chore commands that were enabled when the chore started.
    QList<QAction *> m_waitingCommands;
};
