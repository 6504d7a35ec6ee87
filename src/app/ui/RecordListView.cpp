#include "app/ui/RecordListView.h"

#include "app/ui/ItemViews.h"
#include "project/ColumnSort.h"

#include <QHeaderView>
#include <QSet>

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
    for (QTreeWidgetItem *item : std::as_const(items)) {
        const quint64 uid = item->data(0, Qt::UserRole).toULongLong();
        if (uid == current)
            setCurrentItem(item, 0, QItemSelectionModel::NoUpdate);
        item->setSelected(selected.contains(uid));
    }
}
