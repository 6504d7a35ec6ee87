#include "housekeeping/ui/ZipFoldersPage.h"

#include "workspace/Workspace.h"
#include "widgets/FileDrops.h"
#include "widgets/ListPopupMenu.h"
#include "widgets/PageContext.h"
#include "widgets/TextListBox.h"

#include <QVBoxLayout>

ZipFoldersPage::ZipFoldersPage(const PageContext &context, QWidget *parent)
    : QWidget(parent), m_commands(context.workspace.project, context.prompts)
{
    setObjectName(QStringLiteral("TabSheet12"));
    m_list = new TextListBox(context.workspace.project, ProjectList::ZipFolders, this);
    m_list->setObjectName(QStringLiteral("ListBox4"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_list);

    auto *menu = new ListPopupMenu(m_list, "PopupMenu5", context.prompts);
    menu->addCommand("Newfolder2", QStringLiteral("New folder"), [this] { m_commands.newZipFolder(); });
    menu->addSeparator();
    menu->addDeleteCommand("Delete5", [this] { m_commands.deleteZipFolders(m_list->selectedRows()); });
    acceptFileDrops(m_list, context.prompts, [this](const QStringList &paths) { m_commands.addZipFolders(paths); });
}
