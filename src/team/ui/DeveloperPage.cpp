#include "team/ui/DeveloperPage.h"

#include "workspace/Workspace.h"
#include "widgets/ListPopupMenu.h"
#include "widgets/Frame.h"
#include "widgets/PageContext.h"
#include "widgets/RecordListView.h"
#include "team/ui/DeveloperDialog.h"

#include <QVBoxLayout>

DeveloperPage::DeveloperPage(const PageContext &context, QWidget *parent)
    : QWidget(parent), m_project(context.workspace.project), m_commands(m_project, context.launcher),
      m_dialog(new DeveloperDialog(m_commands, context.prompts, context.frame.window()))
{
    setObjectName(QStringLiteral("TabSheet16"));
    m_list = new RecordListView(
        m_project, ProjectList::Developers,
        {{QStringLiteral("Name"), 200}, {QStringLiteral("eMail"), 200}, {QStringLiteral("Note"), 200},
         {QStringLiteral("IM"), 50}, {QStringLiteral("Tel"), 50}, {QStringLiteral("Address"), 50}},
        recordRows(m_project, &ProjectData::developers), this);
    m_list->setObjectName(QStringLiteral("ListView3"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_list);

    auto *menu = new ListPopupMenu(m_list, "PopupMenu8", context.prompts);
    menu->addCommand("Newdeveloper1", QStringLiteral("New developer"), [this] { m_dialog->editNew(); });
    menu->addSeparator()->setObjectName(QStringLiteral("N2"));
    menu->addCommand("WriteeMail1", QStringLiteral("Write eMail"),
                     [this] { m_commands.writeEmail(m_list->selectedRows()); });
    menu->addDeleteCommand("Delete8", [this] { m_commands.remove(m_list->selectedRows()); });
    connect(m_list, &RecordListView::editRequested, this, &DeveloperPage::editFirstSelected);
    connect(&context.workspace.commands, &ProjectCommands::documentReplaced, m_dialog, &QDialog::close);
}

void DeveloperPage::editFirstSelected()
{
    const QList<int> rows = m_list->selectedRows();
    if (!rows.isEmpty())
        m_dialog->edit(m_project.data().developers.at(rows.first()));
}
