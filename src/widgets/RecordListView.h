#pragma once

#include "widgets/RecordListModel.h"
#include "project/Project.h"

#include <QItemSelection>
#include <QSet>
#include <QTreeView>

// A report list showing one list of the project, one row per record, sorted by a click on a
// column header, which then shows the sort indicator. Selection is kept across refreshes by
// record identity; a refresh takes time linear in the rows, so 100,000 rows refresh at once. Rows are ruled by grid lines; a cut-off cell shows its whole text as its
// tool tip, unless the row sets a tool tip of its own for that cell.
class RecordListView : public QTreeView
{
    Q_OBJECT

public:
    struct Column
    {
        QString caption;
        int width;
    };
    using Rows = RecordListModel::Rows;

    RecordListView(Project &project, ProjectList list, const QList<Column> &columns, Rows rows,
                   QWidget *parent = nullptr);

    // Selected rows in list order.
    QList<int> selectedRows() const;
    void refresh();

Q_SIGNALS:
    // A double-click in the list, or Enter or F2: open the selected row for editing.
    void editRequested();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool viewportEvent(QEvent *event) override;

private:
    void fitLastColumn();
    void showSortIndicator();
    // The rows shown now that hold one of `uids`, as whole-row ranges.
    QItemSelection rowsOf(const QSet<quint64> &uids, quint64 current, QModelIndex &currentIndex) const;

    Project &m_project;
    ProjectList m_list;
    RecordListModel *m_model;
};

// Rows of a plain record list, whose columns are the record's fields.
template<typename Record>
RecordListView::Rows recordRows(const Project &project, QList<Record> ProjectData::*list)
{
    return {[&project, list] { return static_cast<int>((project.data().*list).size()); },
            [&project, list](int row) { return (project.data().*list).at(row).uid; },
            [&project, list](int row, int column, int role) -> QVariant {
                if (role != Qt::DisplayRole)
                    return {};
                return (project.data().*list).at(row).fields().value(column);
            }};
}
