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
    list->installEventFilter(this);
}

// From the keyboard the menu opens at the current row, or at the top of an empty list.
void ListPopupMenu::popupAtCurrentRow()
{
    const QRect row = m_list->visualRect(m_list->currentIndex());
    const QPoint at = row.isValid() ? row.bottomLeft() : QPoint(0, 0);
    popup(m_list->viewport()->mapToGlobal(at));
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
    return m_delete;
}

bool ListPopupMenu::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_list && event->type() == QEvent::KeyRelease && m_delete) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Delete && !key->isAutoRepeat())
            m_delete->trigger();
    }
    // The menu key and Shift+F10 open the menu, as on every desktop.
    if (watched == m_list && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Menu || (key->key() == Qt::Key_F10 && key->modifiers() == Qt::ShiftModifier)) {
            popupAtCurrentRow();
            return true;
        }
    }
    return QMenu::eventFilter(watched, event);
}
