#include "todolist/ui/TodoPage.h"

#include "app/Workspace.h"
#include "app/ui/Icons.h"
#include "app/ui/PageContext.h"
#include "app/ui/RecordListView.h"

#include <QVBoxLayout>

namespace {

RecordListView::Rows todoRows(const Project &project)
{
    return {[&project] { return static_cast<int>(project.data().todos.size()); },
            [&project](int row) { return project.data().todos.at(row).uid; },
            [&project](QTreeWidgetItem *item, int row) {
                const TodoItem &todo = project.data().todos.at(row);
                const int codes[] = {todo.status, todo.priority, todo.kind, todo.official};
                for (int column = 0; column < 4; ++column)
                    item->setIcon(column, Icons::todo(codes[column]));
                const QString texts[] = {todo.version, todo.title, todo.description, todo.note};
                for (int column = 0; column < 4; ++column)
                    item->setText(column + 4, texts[column]);
            }};
}

} // namespace

TodoPage::TodoPage(const PageContext &context, QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("TabSheet3"));
    Project &project = context.workspace.project;
    m_list = new RecordListView(
        project, ProjectList::Todos,
        {{QStringLiteral("Status"), 50}, {QStringLiteral("Priority"), 50}, {QStringLiteral("Type"), 50},
         {QStringLiteral("Official"), 50}, {QStringLiteral("Version"), 80}, {QStringLiteral("Title"), 300},
         {QStringLiteral("Description"), 50}, {QStringLiteral("Note"), 100}},
        todoRows(project), this);
    m_list->setObjectName(QStringLiteral("ListView2"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_list);
}
