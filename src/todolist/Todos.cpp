#include "todolist/Todos.h"

#include "project/ColumnSort.h"

namespace Todos {

int countOpenTasks(const QList<TodoItem> &todos)
{
    return static_cast<int>(std::count_if(todos.begin(), todos.end(), [](const TodoItem &item) {
        return item.status == 10 || item.status == 11;
    }));
}

int compareColumn(const TodoItem &a, const TodoItem &b, int column)
{
    const auto compareCodes = [](int x, int y) { return (x > y) - (x < y); };
    switch (column) {
    case 1: return compareCodes(a.status, b.status);
    case 2: return compareCodes(a.priority, b.priority);
    case 3: return compareCodes(a.kind, b.kind);
    case 4: return compareCodes(a.official, b.official);
    case 5: return ColumnSort::compareFolded(a.version, b.version);
    case 6: return ColumnSort::compareFolded(a.title, b.title);
    case 7: return ColumnSort::compareFolded(a.description, b.description);
    case 8: return ColumnSort::compareFolded(a.note, b.note);
    default: return 0;
    }
}

void sort(QList<TodoItem> &todos, int key)
{
    ColumnSort::sort(todos, key, compareColumn);
}

} // namespace Todos
