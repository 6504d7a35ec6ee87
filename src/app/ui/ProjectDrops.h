#pragma once

#include <QObject>

#include <functional>

class ChoreRunner;
class QWidget;

// A project file dropped on the window opens as File > Open opens it; while a chore runs the
// window takes no drop.
class ProjectDrops : public QObject
{
    Q_OBJECT

public:
    // `open` gets the dropped project's path once the drop is over, as opening may ask.
    ProjectDrops(QWidget &window, const ChoreRunner &runner, std::function<void(const QString &)> open);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    const ChoreRunner &m_runner;
    std::function<void(const QString &)> m_open;
};
