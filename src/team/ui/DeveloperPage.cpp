#include "team/ui/DeveloperPage.h"

#include "app/Workspace.h"
#include "app/ui/PageContext.h"
#include "app/ui/RecordListView.h"

#include <QVBoxLayout>

DeveloperPage::DeveloperPage(const PageContext &context, QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("TabSheet16"));
    Project &project = context.workspace.project;
    m_list = new RecordListView(
        project, ProjectList::Developers,
        {{QStringLiteral("Name"), 200}, {QStringLiteral("eMail"), 200}, {QStringLiteral("Note"), 200},
         {QStringLiteral("IM"), 50}, {QStringLiteral("Tel"), 50}, {QStringLiteral("Address"), 50}},
        recordRows(project, &ProjectData::developers), this);
    m_list->setObjectName(QStringLiteral("ListView3"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_list);
}
