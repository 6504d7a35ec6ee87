#include "housekeeping/ui/TempExtensionsPage.h"

#include "app/Workspace.h"
#include "app/ui/PageContext.h"
#include "app/ui/TextListBox.h"

#include <QVBoxLayout>

TempExtensionsPage::TempExtensionsPage(const PageContext &context, QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("TabSheet10"));
    m_list = new TextListBox(context.workspace.project, ProjectList::TempExtensions, this);
    m_list->setObjectName(QStringLiteral("ListBox3"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_list);
}
