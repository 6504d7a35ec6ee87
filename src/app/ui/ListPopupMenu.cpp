#include "app/ui/ListPopupMenu.h"

#include "app/ui/CommandRunner.h"

#include <QAbstractItemView>

ListPopupMenu::ListPopupMenu(QAbstractItemView *list, const char *name, Prompts &prompts)
    : QMenu(list), m_prompts(prompts)
{
    setObjectName(QLatin1String(name));
    list->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(list, &QWidget::customContextMenuRequested, this,
            [this, list](const QPoint &position) { popup(list->viewport()->mapToGlobal(position)); });
}

QAction *ListPopupMenu::addCommand(const char *name, const QString &caption, const std::function<void()> &command)
{
    QAction *action = addAction(caption);
    action->setObjectName(QLatin1String(name));
    connect(action, &QAction::triggered, this, [this, command] { runCommand(m_prompts, command); });
    return action;
}
