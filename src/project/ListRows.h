#pragma once

#include "project/Error.h"

#include <QList>

#include <algorithm>
#include <vector>

// `list` without the elements at `rows`, in their order; rows out of range are ignored.
template<typename T>
QList<T> withoutRows(const QList<T> &list, const QList<int> &rows)
{
    // Marked first, so removing many rows of a long list takes one pass.
    std::vector<bool> removed(static_cast<size_t>(list.size()), false);
    for (int row : rows)
        if (row >= 0 && row < list.size())
            removed[static_cast<size_t>(row)] = true;
    QList<T> kept;
    kept.reserve(list.size() - std::count(removed.begin(), removed.end(), true));
    for (qsizetype row = 0; row < list.size(); ++row)
        if (!removed[static_cast<size_t>(row)])
            kept.append(list.at(row));
    return kept;
}

// `list` with the record of identity `uid` replaced by `record`, wherever it stands now;
// when it is gone (or `uid` is 0, a new record) `record` is appended, so nothing typed is lost.
// A list never holds one entry twice: a record equal to another one of the list is refused.
template<typename Record>
QList<Record> withRecordSaved(QList<Record> list, quint64 uid, Record record)
{
    const bool held = std::any_of(list.cbegin(), list.cend(), [uid, &record](Record other) {
        if (uid != 0 && other.uid == uid)
            return false;
        other.uid = record.uid;
        return other == record;
    });
    if (held)
        throw Error(QStringLiteral("The list holds this entry already."));
    const auto same = std::find_if(list.begin(), list.end(),
                                   [uid](const Record &existing) { return uid != 0 && existing.uid == uid; });
    if (same == list.end()) {
        record.uid = 0;
        list.append(std::move(record));
    } else {
        record.uid = uid;
        *same = std::move(record);
    }
    return list;
}
