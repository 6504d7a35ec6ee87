#pragma once

#include <QList>

#include <algorithm>

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

// `list` with the record of identity `uid` replaced by `record`, wherever it stands now;
// when it is gone (or `uid` is 0, a new record) `record` is appended, so nothing typed is lost.
template<typename Record>
QList<Record> withRecordSaved(QList<Record> list, quint64 uid, Record record)
{
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
