#pragma once

#include <QObject>

class ChoreRunner;
class QTimer;

// Ctrl+C (SIGINT) and SIGTERM cancel the running chore, so it stops after its current item and
// leaves no half-written copy or archive, instead of killing the program mid-file.
class InterruptCancels : public QObject
{
    Q_OBJECT

public:
    explicit InterruptCancels(ChoreRunner &runner, QObject *parent = nullptr);
    ~InterruptCancels() override;

private:
    QTimer *m_poll = nullptr;
};
