#include "housekeeping/ui/TempExtensionsPage.h"

#include "workspace/Workspace.h"
#include "widgets/FileDrops.h"
#include "widgets/ListPopupMenu.h"
#include "widgets/PageContext.h"
#include "widgets/TextListBox.h"

#include <QVBoxLayout>

TempExtensionsPage::TempExtensionsPage(const PageContext &context, QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("TabSheet10"));
    m_list = new TextListBox(context.workspace.project, ProjectList::TempExtensions, this);
    m_list->setObjectName(QStringLiteral("ListBox3"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_list);

    TempFiles &tempFiles = context.workspace.tempFiles;
    auto *menu = new ListPopupMenu(m_list, "PopupMenu3", context.prompts);
    menu->addCommand("Newfileextansion1", QStringLiteral("New file-extension"),
                     [&tempFiles] { tempFiles.newExtension(); });
    menu->addSeparator()->setObjectName(QStringLiteral("N7"));
    menu->addDeleteCommand("Delete3", [this, &tempFiles] { tempFiles.deleteExtensions(m_list->selectedRows()); });
    acceptFileDrops(m_list, context.prompts, [&tempFiles](const QStringList &paths) { tempFiles.addExtensionsOf(paths); });
}
