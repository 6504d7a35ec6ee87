#include "housekeeping/ui/ToolsPage.h"

#include "workspace/Workspace.h"
#include "widgets/CommandRunner.h"
#include "widgets/Frame.h"
#include "widgets/ListPopupMenu.h"
#include "widgets/PageContext.h"
#include "widgets/TextListBox.h"
#include "platform/Launcher.h"

#include <QVBoxLayout>

ToolsPage::ToolsPage(const PageContext &context, QWidget *parent)
    : QWidget(parent), m_project(context.workspace.project), m_prompts(context.prompts), m_launcher(context.launcher),
      m_toolsMenu(context.frame.toolsMenu()), m_commands(m_project, m_prompts, m_launcher)
{
    setObjectName(QStringLiteral("TabSheet14"));
    m_list = new TextListBox(m_project, ProjectList::Tools, this);
    m_list->setObjectName(QStringLiteral("ListBox5"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_list);

    auto *menu = new ListPopupMenu(m_list, "PopupMenu7", m_prompts);
    menu->addCommand("Newscripttool1", QStringLiteral("New script/tool"), [this] { m_commands.newTool(); });
    menu->addSeparator()->setObjectName(QStringLiteral("N11"));
    menu->addDeleteCommand("Delete7", [this] { m_commands.deleteTools(m_list->selectedRows()); });

    context.frame.bindCommand("Runallscripts1", [this] { m_commands.runAll(); });
    context.frame.bindCommand("Opentheproject1", [this] { m_commands.openMainFile(); });

    // The menu mirrors the list: loading, adding, deleting and a new project all go through here.
    connect(&m_project, &Project::listChanged, this, [this](ProjectList list) {
        if (list == ProjectList::Tools)
            buildToolsMenu();
    });
    buildToolsMenu();
}

void ToolsPage::buildToolsMenu()
{
    m_toolsMenu->clear();
    for (const ToolsMenuEntry &entry : ToolCommands::menuEntries(m_project.data().tools)) {
        QAction *action = m_toolsMenu->addAction(entry.caption);
        const QString path = entry.path;
        connect(action, &QAction::triggered, this,
                [this, path] { runCommand(m_prompts, [this, path] { m_launcher.open(path); }); });
    }
    // An empty menu would open as nothing at all and leave the menu bar stuck.
    m_toolsMenu->menuAction()->setEnabled(!m_toolsMenu->isEmpty());
}
