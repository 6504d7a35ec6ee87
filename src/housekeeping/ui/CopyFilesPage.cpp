#include "housekeeping/ui/CopyFilesPage.h"

#include "workspace/Workspace.h"
#include "widgets/FileDrops.h"
#include "widgets/ListPopupMenu.h"
#include "widgets/PageContext.h"
#include "widgets/RecordListView.h"

#include <QVBoxLayout>

CopyFilesPage::CopyFilesPage(const PageContext &context, QWidget *parent)
    : QWidget(parent), m_commands(context.workspace.project, context.prompts)
{
    setObjectName(QStringLiteral("TabSheet11"));
    Project &project = context.workspace.project;
    m_list = new RecordListView(project, ProjectList::Copies,
                                {{QStringLiteral("From"), 300}, {QStringLiteral("To"), 300}},
                                recordRows(project, &ProjectData::copies), this);
    m_list->setObjectName(QStringLiteral("ListView4"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_list);

    auto *menu = new ListPopupMenu(m_list, "PopupMenu4", context.prompts);
    menu->addCommand("Newfile1", QStringLiteral("New file"), [this] { m_commands.newFilePair(); });
    menu->addCommand("Newfolder1", QStringLiteral("New folder"), [this] { m_commands.newFolderPair(); });
    menu->addSeparator();
    menu->addDeleteCommand("Delete4", [this] { m_commands.deleteCopies(m_list->selectedRows()); });
    acceptFileDrops(m_list, context.prompts, [this](const QStringList &paths) { m_commands.addCopiesOf(paths); });
}
