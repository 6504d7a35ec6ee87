#pragma once

#include "project/Records.h"

// Rules of the to-do list that do not depend on a view.
namespace Todos {

// Open tasks: status At work (10) or To do (11).
int countOpenTasks(const QList<TodoItem> &todos);

// Compares column `column` (counted from 1) ascending: codes numerically, texts by folded bytes.
int compareColumn(const TodoItem &a, const TodoItem &b, int column);

// Stable sort by a signed sort key.
void sort(QList<TodoItem> &todos, int key);

} // namespace Todos
