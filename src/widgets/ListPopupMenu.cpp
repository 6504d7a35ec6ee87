#include "widgets/ListPopupMenu.h"

#include "widgets/CommandRunner.h"

#include <QAbstractItemView>
#include <QKeyEvent>

ListPopupMenu::ListPopupMenu(QAbstractItemView *list, const char *name, Prompts &prompts)
    : QMenu(list), m_list(list), m_prompts(prompts)
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

QAction *ListPopupMenu::addDeleteCommand(const char *name, const std::function<void()> &command)
{
    m_delete = addCommand(name, QStringLiteral("Delete"), command);
    m_list->installEventFilter(this);
    return m_delete;
}

bool ListPopupMenu::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_list && event->type() == QEvent::KeyRelease) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Delete && !key->isAutoRepeat())
            m_delete->trigger();
    }
    return QMenu::eventFilter(watched, event);
}
