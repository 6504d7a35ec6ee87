#include "todolist/TodoCommands.h"

#include "project/ListRows.h"
#include "project/Project.h"
#include "project/TextFile.h"

#include <algorithm>

TodoCommands::TodoCommands(Project &project) : m_project(project) {}

void TodoCommands::save(quint64 uid, TodoItem item)
{
    item.version = TextFile::oneLine(item.version);
    for (CompactText *text : {&item.title, &item.description, &item.note})
        *text = TextFile::oneLine(text->toString());
    m_project.setTodos(withRecordSaved(m_project.data().todos, uid, std::move(item)));
}

void TodoCommands::remove(const QList<int> &rows)
{
    m_project.setTodos(withoutRows(m_project.data().todos, rows));
}

void TodoCommands::setCode(const QList<int> &rows, Todos::CodeField field, int code)
{
    changeRows(rows, [field, code](TodoItem &item) { Todos::setCode(item, field, code); });
}

void TodoCommands::setVersion(const QList<int> &rows, const QString &version)
{
    changeRows(rows, [line = TextFile::oneLine(version)](TodoItem &item) { item.version = line; });
}

template<typename Change>
void TodoCommands::changeRows(const QList<int> &rows, Change change)
{
    if (rows.isEmpty())
        return;
    QList<TodoItem> todos = m_project.data().todos;
    for (int row : rows)
        if (row >= 0 && row < todos.size())
            change(todos[row]);
    m_project.setTodos(std::move(todos));
}
