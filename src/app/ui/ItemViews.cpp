#include "app/ui/ItemViews.h"

#include <QAbstractItemView>
#include <QItemSelectionModel>

#include <algorithm>

QList<int> selectedRows(const QAbstractItemView &view)
{
    QList<int> rows;
    for (const QModelIndex &index : view.selectionModel()->selectedIndexes())
        if (!rows.contains(index.row()))
            rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}
