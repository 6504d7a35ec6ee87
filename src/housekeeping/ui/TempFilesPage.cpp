#include "housekeeping/ui/TempFilesPage.h"

#include "app/Workspace.h"
#include "app/ui/ListPopupMenu.h"
#include "app/ui/MainWindow.h"
#include "app/ui/PageContext.h"

#include <QKeyEvent>
#include <QListWidget>
#include <QVBoxLayout>

TempFilesPage::TempFilesPage(const PageContext &context, QWidget *parent)
    : QWidget(parent), m_list(new QListWidget(this))
{
    setObjectName(QStringLiteral("TabSheet6"));
    // Shown in the order of the found list, which is sorted ignoring case.
    m_list->setObjectName(QStringLiteral("ListBox2"));
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->installEventFilter(this);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_list);

    TempFiles &tempFiles = context.workspace.tempFiles;
    auto *menu = new ListPopupMenu(m_list, "PopupMenu2", context.prompts);
    m_delete = menu->addCommand("Delete2", QStringLiteral("Delete"),
                                [this, &tempFiles] { tempFiles.deleteFound(selectedRows()); });
    context.window.bindCommand("Deletetemporaryfiles1", [&tempFiles] { tempFiles.deleteTemporaryFiles(); });

    MainWindow &window = context.window;
    connect(&tempFiles, &TempFiles::scanned, this, [this, &tempFiles, &window] {
        m_list->clear();
        m_list->addItems(tempFiles.found());
        window.setFilesPanel(tempFiles.countText());
    });
}

QList<int> TempFilesPage::selectedRows() const
{
    QList<int> rows;
    for (int row = 0; row < m_list->count(); ++row)
        if (m_list->item(row)->isSelected())
            rows.append(row);
    return rows;
}

bool TempFilesPage::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_list && event->type() == QEvent::KeyRelease) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Delete && !key->isAutoRepeat())
            m_delete->trigger();
    }
    return QWidget::eventFilter(watched, event);
}
