#pragma once

#include <QMenu>

#include <functional>

class Prompts;
class QAbstractItemView;

// The pop-up menu of a list, shown on a right click in it. Its entries run their commands
// through the error handler.
class ListPopupMenu : public QMenu
{
    Q_OBJECT

public:
    ListPopupMenu(QAbstractItemView *list, const char *name, Prompts &prompts);

    QAction *addCommand(const char *name, const QString &caption, const std::function<void()> &command);

private:
    Prompts &m_prompts;
};
