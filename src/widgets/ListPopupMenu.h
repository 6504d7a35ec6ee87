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
    // The "Delete" entry, which releasing the Delete key in the list runs as well.
    QAction *addDeleteCommand(const char *name, const std::function<void()> &command);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void popupAtCurrentRow();

    QAbstractItemView *m_list;
    Prompts &m_prompts;
    QAction *m_delete = nullptr;
};
