#pragma once

#include "project/Records.h"

#include <vector>

// Rules of the to-do list that do not depend on a view.
namespace Todos {

// The four coded fields of an item. Each has a table of codes in a fixed order, the order of
// the dialog's drop-down lists (official: ticked -1, cleared 7).
enum class CodeField { Status, Priority, Kind, Official };

// Position of `code` in the field's table, or -1 for a code outside it (a hand-edited file).
int positionOf(CodeField field, int code);
// The code at a position of the field's table.
int codeAt(CodeField field, int position);
int codeOf(const TodoItem &item, CodeField field);
void setCode(TodoItem &item, CodeField field, int code);

// Open tasks: status At work (10) or To do (11).
int countOpenTasks(const QList<TodoItem> &todos);

// The stable order of the items by a signed sort key (codes numerically, texts by their folded
// bytes): the i-th entry is the item that goes i-th. Only reads the items.
std::vector<qsizetype> order(const QList<TodoItem> &todos, int key);

} // namespace Todos
