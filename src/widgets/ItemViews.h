#pragma once

#include <QList>

class QAbstractItemView;

// The selected rows of a list or report view, in list order.
QList<int> selectedRows(const QAbstractItemView &view);
