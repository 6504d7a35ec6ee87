#pragma once

#include "todolist/Todos.h"

class Project;

// The to-do list's commands. Rows are positions in the project's to-do list, as the view's
// selection gives them.
class TodoCommands
{
public:
    explicit TodoCommands(Project &project);

    // Replaces the item `uid` in place; appends `item` when `uid` is 0 or that item is gone,
    // so a dialog never writes over another item and nothing typed is lost.
    // Like setVersion, it keeps every text to one line: a line break becomes a space.
    void save(quint64 uid, TodoItem item);
    void remove(const QList<int> &rows);
    void setCode(const QList<int> &rows, Todos::CodeField field, int code);
    void setVersion(const QList<int> &rows, const QString &version);

private:
    template<typename Change>
    void changeRows(const QList<int> &rows, Change change);

    Project &m_project;
};
