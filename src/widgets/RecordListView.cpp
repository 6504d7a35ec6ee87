#include "widgets/RecordListView.h"

#include "widgets/AccessibleNames.h"
#include "widgets/ItemViews.h"
#include "project/ColumnSort.h"

#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QSet>
#include <QStyledItemDelegate>
#include <QToolTip>

#include <algorithm>

namespace {

// Draws each cell as usual, then its right and bottom edge: the grid of a report list.
class GridDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::paint(painter, option, index);
        painter->save();
        painter->setPen(option.palette.color(QPalette::Midlight));
        const QRect cell = option.rect;
        painter->drawLine(cell.topRight(), cell.bottomRight());
        painter->drawLine(cell.bottomLeft(), cell.bottomRight());
        painter->restore();
    }
};

} // namespace

RecordListView::RecordListView(Project &project, ProjectList list, const QList<Column> &columns, Rows rows,
                               QWidget *parent)
    : QTreeView(parent), m_project(project), m_list(list)
{
    QStringList captions;
    for (const Column &column : columns)
        captions.append(column.caption);
    m_model = new RecordListModel(captions, std::move(rows), this);
    setModel(m_model);
    for (int i = 0; i < columns.size(); ++i)
        setColumnWidth(i, columns[i].width);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAlternatingRowColors(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setAllColumnsShowFocus(true);
    header()->setSectionsClickable(true);
    // The last column fills the list but is never cut: fitLastColumn.
    header()->setStretchLastSection(false);
    header()->setSortIndicatorShown(true);
    setItemDelegate(new GridDelegate(this));
    AccessibleNames::nameAfterPage(this);

    connect(header(), &QHeaderView::sectionClicked, this, [this](int column) {
        m_project.sortList(m_list, ColumnSort::nextKey(m_project.sortKey(m_list), column));
        // A long list takes its new order a moment later; the header shows the key at once.
        showSortIndicator();
    });
    connect(&m_project, &Project::sortingChanged, this, [this](ProjectList list, bool sorting) {
        if (list != m_list)
            return;
        if (sorting)
            setCursor(Qt::BusyCursor);
        else
            unsetCursor();
    });
    connect(&m_project, &Project::listChanged, this, [this](ProjectList changed) {
        if (changed == m_list)
            refresh();
    });
    connect(header(), &QHeaderView::sectionResized, this, [this](int column) {
        if (column != m_model->columnCount() - 1)
            fitLastColumn();
    });
    showSortIndicator();
}

// The last column fills the room the others leave, and is never narrower than its longest text
// in view: where the list is too narrow for it, the list scrolls sideways.
void RecordListView::fitLastColumn()
{
    const int last = m_model->columnCount() - 1;
    int others = 0;
    for (int column = 0; column < last; ++column)
        others += columnWidth(column);
    const int width = std::max({viewport()->width() - others, sizeHintForColumn(last), header()->sectionSizeHint(last)});
    if (width != columnWidth(last))
        setColumnWidth(last, width);
}

void RecordListView::resizeEvent(QResizeEvent *event)
{
    QTreeView::resizeEvent(event);
    fitLastColumn();
}

QList<int> RecordListView::selectedRows() const
{
    return ::selectedRows(*this);
}

void RecordListView::refresh()
{
    // The identities of what was selected, taken before the model lets go of the old rows.
    QSet<quint64> selected;
    for (const QItemSelectionRange &range : selectionModel()->selection())
        for (int row = range.top(); row <= range.bottom(); ++row)
            selected.insert(m_model->uidAt(row));
    const QModelIndex current = currentIndex();
    const quint64 currentUid = current.isValid() ? m_model->uidAt(current.row()) : 0;

    m_model->reload();
    showSortIndicator();
    fitLastColumn();
    if (selected.isEmpty() && currentUid == 0)
        return;
    QModelIndex newCurrent;
    const QItemSelection selection = rowsOf(selected, currentUid, newCurrent);
    if (newCurrent.isValid())
        selectionModel()->setCurrentIndex(newCurrent, QItemSelectionModel::NoUpdate);
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

QItemSelection RecordListView::rowsOf(const QSet<quint64> &uids, quint64 current, QModelIndex &currentIndex) const
{
    QItemSelection selection;
    const int rows = m_model->rowCount();
    const int lastColumn = m_model->columnCount() - 1;
    int first = -1;
    const auto close = [&](int end) {
        if (first >= 0)
            selection.append(QItemSelectionRange(m_model->index(first, 0), m_model->index(end, lastColumn)));
        first = -1;
    };
    for (int row = 0; row < rows; ++row) {
        const quint64 uid = m_model->uidAt(row);
        if (uid == current)
            currentIndex = m_model->index(row, 0);
        if (!uids.contains(uid)) {
            close(row - 1);
        } else if (first < 0) {
            first = row;
        }
    }
    close(rows - 1);
    return selection;
}

void RecordListView::showSortIndicator()
{
    const int key = m_project.sortKey(m_list);
    header()->setSortIndicator(key == 0 ? -1 : std::abs(key) - 1, key < 0 ? Qt::DescendingOrder : Qt::AscendingOrder);
}

void RecordListView::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_F2:
        if (event->modifiers() & ~Qt::KeypadModifier)
            break;
        Q_EMIT editRequested();
        return;
    }
    QTreeView::keyPressEvent(event);
}

bool RecordListView::viewportEvent(QEvent *event)
{
    // A double-click anywhere in the list edits, as it always has.
    if (event->type() == QEvent::MouseButtonDblClick)
        Q_EMIT editRequested();
    if (event->type() != QEvent::ToolTip)
        return QTreeView::viewportEvent(event);
    const auto *help = static_cast<QHelpEvent *>(event);
    const QModelIndex index = indexAt(help->pos());
    QString tip = index.data(Qt::ToolTipRole).toString();
    if (tip.isEmpty() && index.isValid()) {
        const QString text = index.data().toString();
        QStyleOptionViewItem option;
        initViewItemOption(&option);
        option.rect = visualRect(index);
        // Only where the cell shows less than its text.
        if (itemDelegateForIndex(index)->sizeHint(option, index).width() > option.rect.width())
            tip = text;
    }
    if (tip.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(help->globalPos(), tip, viewport(), visualRect(index));
    return true;
}
