#include "housekeeping/ui/ToolsPage.h"

#include "app/Workspace.h"
#include "app/ui/PageContext.h"
#include "app/ui/TextListBox.h"

#include <QVBoxLayout>

ToolsPage::ToolsPage(const PageContext &context, QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("TabSheet14"));
    m_list = new TextListBox(context.workspace.project, ProjectList::Tools, this);
    m_list->setObjectName(QStringLiteral("ListBox5"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_list);
}
