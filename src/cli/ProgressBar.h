#pragma once

#include "chores/ChoreProgress.h"

#include <QObject>

class ChoreRunner;

// Draws the running chore's progress on standard error, on one line that is redrawn, when
// standard error is a terminal; draws nothing otherwise, so a script reads results only.
class ProgressBar : public QObject
{
    Q_OBJECT

public:
    explicit ProgressBar(ChoreRunner &runner, QObject *parent = nullptr);

private:
    void draw(const ChoreProgress::Snapshot &snapshot);
    void clear();

    bool m_drawn = false;
};
