#include "widgets/ItemViews.h"

#include <QAbstractItemView>
#include <QItemSelectionModel>

#include <algorithm>

QList<int> selectedRows(const QAbstractItemView &view)
{
    // By ranges of rows, not cell by cell: a whole list of 100,000 rows is one range.
    QList<int> rows;
    for (const QItemSelectionRange &range : view.selectionModel()->selection())
        for (int row = range.top(); row <= range.bottom(); ++row)
            rows.append(row);
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}
