#pragma once

#include <QList>

// `list` without the elements at `rows`, in their order; rows out of range are ignored.
template<typename T>
QList<T> withoutRows(const QList<T> &list, const QList<int> &rows)
{
    QList<T> kept;
    for (int row = 0; row < list.size(); ++row)
        if (!rows.contains(row))
            kept.append(list.at(row));
    return kept;
}
