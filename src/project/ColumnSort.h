#pragma once

#include "project/CompactText.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <numeric>
#include <utility>
#include <vector>

// The column sort of the report lists. A sort key's magnitude is a column counted from 1,
// its sign the direction; 0 means "not sorted yet".
namespace ColumnSort {

// A click on column `column` (counted from 0): the same column flips the direction,
// another column sorts ascending by it.
int nextKey(int key, int column);

// The sort keys of one column, computed once per row. A text's key is its Windows-1252 bytes
// with only a to z folded to upper case: the first differing byte decides, and a prefix sorts
// first. A number's key is four bytes that compare as the numbers do.
class Keys
{
public:
    explicit Keys(qsizetype rows);

    void appendText(const QString &text);
    void appendText(const CompactText &text);
    void appendNumber(int number);
    // Negative when row a's key sorts before row b's, 0 when they are equal.
    int compare(qsizetype a, qsizetype b) const;
    qsizetype size() const { return static_cast<qsizetype>(m_ends.size()); }

private:
    // Folds the key begun at `start` and ends it.
    void finishText(qsizetype start);
    void finishKey(qsizetype start);

    QByteArray m_bytes;
    std::vector<qsizetype> m_ends;
    // A key's first eight bytes as one number: most comparisons end there.
    std::vector<quint64> m_heads;
};

// The rows in key order: the i-th entry is the row that goes i-th. Rows with equal keys keep
// their order, in either direction.
std::vector<qsizetype> order(const Keys &keys, bool descending);

// Moves the rows into `order` (as order() gives it), in place.
template<typename Row>
void reorder(QList<Row> &rows, std::vector<qsizetype> order)
{
    for (qsizetype start = 0; start < rows.size(); ++start) {
        if (order[start] == start)
            continue;
        // Follow the cycle through `start`, each row moving once; a placed slot points at itself.
        Row held = std::move(rows[start]);
        qsizetype slot = start;
        for (;;) {
            const qsizetype from = order[slot];
            order[slot] = slot;
            if (from == start) {
                rows[slot] = std::move(held);
                break;
            }
            rows[slot] = std::move(rows[from]);
            slot = from;
        }
    }
}

// The stable order of `rows` by `key`, as order() gives it; `appendKey(keys, row, column)` adds
// the row's key of column `column` (counted from 1). A negative key sorts descending, and 0
// keeps the rows where they are. Only reads the rows, so it may run on a worker that holds its
// own copy of them.
template<typename Row, typename AppendKey>
std::vector<qsizetype> orderBy(const QList<Row> &rows, int key, AppendKey appendKey)
{
    if (key == 0) {
        std::vector<qsizetype> unchanged(static_cast<size_t>(rows.size()));
        std::iota(unchanged.begin(), unchanged.end(), qsizetype(0));
        return unchanged;
    }
    const int column = key < 0 ? -key : key;
    Keys keys(rows.size());
    for (const Row &row : rows)
        appendKey(keys, row, column);
    return order(keys, key < 0);
}

// Stable sort of `rows` by `key`, as orderBy() orders them.
template<typename Row, typename AppendKey>
void sort(QList<Row> &rows, int key, AppendKey appendKey)
{
    if (key == 0 || rows.size() < 2)
        return;
    reorder(rows, orderBy(std::as_const(rows), key, appendKey));
}

// Adds a record's key of a column, for records whose fields() give the column texts.
template<typename Record>
void appendFieldKey(Keys &keys, const Record &record, int column)
{
    keys.appendText(record.fields().value(column - 1));
}

template<typename Record>
std::vector<qsizetype> orderByFields(const QList<Record> &rows, int key)
{
    return orderBy(rows, key, appendFieldKey<Record>);
}

template<typename Record>
void sortByFields(QList<Record> &rows, int key)
{
    sort(rows, key, appendFieldKey<Record>);
}

} // namespace ColumnSort
