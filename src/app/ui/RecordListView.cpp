#include "app/ui/RecordListView.h"

#include "app/ui/ItemViews.h"
#include "project/ColumnSort.h"

#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QSet>
#include <QStyledItemDelegate>
#include <QToolTip>

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
    : QTreeWidget(parent), m_project(project), m_list(list), m_rows(std::move(rows))
{
    QStringList captions;
    for (const Column &column : columns)
        captions.append(column.caption);
    setColumnCount(static_cast<int>(columns.size()));
    setHeaderLabels(captions);
    for (int i = 0; i < columns.size(); ++i)
        setColumnWidth(i, columns[i].width);
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setAlternatingRowColors(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setAllColumnsShowFocus(true);
    header()->setSectionsClickable(true);
    header()->setStretchLastSection(true);
    header()->setSortIndicatorShown(true);
    setItemDelegate(new GridDelegate(this));

    connect(header(), &QHeaderView::sectionClicked, this, [this](int column) {
        m_project.sortList(m_list, ColumnSort::nextKey(m_project.sortKey(m_list), column));
    });
    connect(&m_project, &Project::listChanged, this, [this](ProjectList changed) {
        if (changed == m_list)
            refresh();
    });
    refresh();
}

QList<int> RecordListView::selectedRows() const
{
    return ::selectedRows(*this);
}

void RecordListView::refresh()
{
    QSet<quint64> selected;
    for (const QTreeWidgetItem *item : selectedItems())
        selected.insert(item->data(0, Qt::UserRole).toULongLong());
    const quint64 current = currentItem() ? currentItem()->data(0, Qt::UserRole).toULongLong() : 0;

    clear();
    QList<QTreeWidgetItem *> items;
    const int count = m_rows.count();
    for (int row = 0; row < count; ++row) {
        auto *item = new QTreeWidgetItem;
        m_rows.fill(item, row);
        item->setData(0, Qt::UserRole, m_rows.uid(row));
        items.append(item);
    }
    addTopLevelItems(items);
    showSortIndicator();
    for (QTreeWidgetItem *item : std::as_const(items)) {
        const quint64 uid = item->data(0, Qt::UserRole).toULongLong();
        if (uid == current)
            setCurrentItem(item, 0, QItemSelectionModel::NoUpdate);
        item->setSelected(selected.contains(uid));
    }
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
    QTreeWidget::keyPressEvent(event);
}

bool RecordListView::viewportEvent(QEvent *event)
{
    // A double-click anywhere in the list edits, as it always has.
    if (event->type() == QEvent::MouseButtonDblClick)
        Q_EMIT editRequested();
    if (event->type() != QEvent::ToolTip)
        return QTreeWidget::viewportEvent(event);
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
