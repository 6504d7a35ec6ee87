#include "todolist/Todos.h"

#include "project/ColumnSort.h"

namespace Todos {

namespace {

struct CodeTable
{
    int first;
    int count;
};

// Status 8 to 12, priority 4 to 6, kind 0 to 3.
constexpr CodeTable kTables[] = {{8, 5}, {4, 3}, {0, 4}};

void appendKey(ColumnSort::Keys &keys, const TodoItem &item, int column)
{
    switch (column) {
    case 1: return keys.appendNumber(item.status);
    case 2: return keys.appendNumber(item.priority);
    case 3: return keys.appendNumber(item.kind);
    case 4: return keys.appendNumber(item.official);
    case 5: return keys.appendText(item.version);
    case 6: return keys.appendText(item.title);
    case 7: return keys.appendText(item.description);
    case 8: return keys.appendText(item.note);
    default: return keys.appendNumber(0);
    }
}

} // namespace

int positionOf(CodeField field, int code)
{
    if (field == CodeField::Official)
        return code == -1 ? 0 : code == 7 ? 1 : -1;
    const CodeTable table = kTables[static_cast<int>(field)];
    const int position = code - table.first;
    return position >= 0 && position < table.count ? position : -1;
}

int codeAt(CodeField field, int position)
{
    if (field == CodeField::Official)
        return position == 0 ? -1 : 7;
    return kTables[static_cast<int>(field)].first + position;
}

int codeOf(const TodoItem &item, CodeField field)
{
    switch (field) {
    case CodeField::Status: return item.status;
    case CodeField::Priority: return item.priority;
    case CodeField::Kind: return item.kind;
    case CodeField::Official: return item.official;
    }
    return 0;
}

void setCode(TodoItem &item, CodeField field, int code)
{
    switch (field) {
    case CodeField::Status: item.status = code; break;
    case CodeField::Priority: item.priority = code; break;
    case CodeField::Kind: item.kind = code; break;
    case CodeField::Official: item.official = code; break;
    }
}

int countOpenTasks(const QList<TodoItem> &todos)
{
    return static_cast<int>(std::count_if(todos.begin(), todos.end(), [](const TodoItem &item) {
        return item.status == 10 || item.status == 11;
    }));
}

std::vector<qsizetype> order(const QList<TodoItem> &todos, int key)
{
    return ColumnSort::orderBy(todos, key, appendKey);
}

} // namespace Todos
