#include "cli/TodoNames.h"

#include <QStringList>

namespace TodoNames {

namespace {

struct Table
{
    int firstCode;
    QStringList names;
};

// Priorities as the window names them: 4 high, 5 normal, 6 low.
const Table &table(Field field)
{
    static const Table tables[] = {
        {8, {QStringLiteral("finished"), QStringLiteral("testing"), QStringLiteral("at-work"), QStringLiteral("todo"),
             QStringLiteral("someday")}},
        {4, {QStringLiteral("high"), QStringLiteral("normal"), QStringLiteral("low")}},
        {0, {QStringLiteral("bug"), QStringLiteral("changed"), QStringLiteral("removed"), QStringLiteral("new")}}};
    return tables[static_cast<int>(field)];
}

} // namespace

QString nameOf(Field field, int code)
{
    const Table &codes = table(field);
    const int index = code - codes.firstCode;
    return index >= 0 && index < codes.names.size() ? codes.names[index] : QString::number(code);
}

int statusCode(const QString &name)
{
    const Table &statuses = table(Field::Status);
    const qsizetype index = statuses.names.indexOf(name);
    return index < 0 ? -1 : statuses.firstCode + static_cast<int>(index);
}

QString statusNames()
{
    return table(Field::Status).names.join(QStringLiteral(", "));
}

} // namespace TodoNames
