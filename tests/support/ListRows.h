#pragma once

#include <QAbstractItemView>
#include <QIcon>
#include <QItemSelectionModel>

// What a report list shows, read through its model as a user sees it.
inline QString cellText(const QAbstractItemView *view, int row, int column)
{
    return view->model()->index(row, column).data().toString();
}

inline QIcon cellIcon(const QAbstractItemView *view, int row, int column)
{
    return view->model()->index(row, column).data(Qt::DecorationRole).value<QIcon>();
}

inline int rowCount(const QAbstractItemView *view)
{
    return view->model()->rowCount();
}

// Adds a whole row to the selection, as Ctrl+click does.
inline void selectRow(QAbstractItemView *view, int row)
{
    view->selectionModel()->select(view->model()->index(row, 0),
                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

inline QRect rowRect(const QAbstractItemView *view, int row)
{
    return view->visualRect(view->model()->index(row, 0));
}
