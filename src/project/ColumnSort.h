#pragma once

#include <QList>
#include <QString>

#include <algorithm>

// The column sort of the report lists. A sort key's magnitude is a column counted from 1,
// its sign the direction; 0 means "not sorted yet".
namespace ColumnSort {

// A click on column `column` (counted from 0): the same column flips the direction,
// another column sorts ascending by it.
int nextKey(int key, int column);

// Byte order of the texts in Windows-1252 after folding only a to z to upper case;
// a prefix sorts first. Negative when a comes first.
int compareFolded(const QString &a, const QString &b);

// Stable sort of `rows` by `key`; `compareColumn(a, b, column)` compares column `column`
// (counted from 1) ascending. A negative key swaps the rows.
template<typename Row, typename CompareColumn>
void sort(QList<Row> &rows, int key, CompareColumn compareColumn)
{
    if (key == 0)
        return;
    const int column = key < 0 ? -key : key;
    std::stable_sort(rows.begin(), rows.end(), [&](const Row &a, const Row &b) {
        return key > 0 ? compareColumn(a, b, column) < 0 : compareColumn(b, a, column) < 0;
    });
}

// Sorts records whose fields() give the column texts.
template<typename Record>
void sortByFields(QList<Record> &rows, int key)
{
    sort(rows, key, [](const Record &a, const Record &b, int column) {
        return compareFolded(a.fields().value(column - 1), b.fields().value(column - 1));
    });
}

} // namespace ColumnSort
