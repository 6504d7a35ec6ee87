#include "housekeeping/ui/TempFilesPage.h"

#include "app/Workspace.h"
#include "app/ui/ItemViews.h"
#include "app/ui/ListPopupMenu.h"
#include "app/ui/Frame.h"
#include "app/ui/PageContext.h"

#include <QListWidget>
#include <QVBoxLayout>

TempFilesPage::TempFilesPage(const PageContext &context, QWidget *parent)
    : QWidget(parent), m_list(new QListWidget(this))
{
    setObjectName(QStringLiteral("TabSheet6"));
    // Shown in the order of the found list, which is sorted ignoring case.
    m_list->setObjectName(QStringLiteral("ListBox2"));
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_list);

    TempFiles &tempFiles = context.workspace.tempFiles;
    auto *menu = new ListPopupMenu(m_list, "PopupMenu2", context.prompts);
    menu->addDeleteCommand("Delete2", [this, &tempFiles] { tempFiles.deleteFound(selectedRows(*m_list)); });
    context.frame.bindCommand("Deletetemporaryfiles1", [&tempFiles] { tempFiles.deleteTemporaryFiles(); });

    Frame &frame = context.frame;
    connect(&tempFiles, &TempFiles::scanned, this, [this, &tempFiles, &frame] {
        m_list->clear();
        m_list->addItems(tempFiles.found());
        frame.setFilesPanel(tempFiles.countText());
    });
}
