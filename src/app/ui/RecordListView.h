#pragma once

#include "project/Project.h"

#include <QTreeWidget>

#include <functional>

// A report list showing one list of the project, one row per record, sorted by a click on a
// column header, which then shows the sort indicator. Selection is kept across refreshes by
// record identity. Rows are ruled by grid lines; a cut-off cell shows its whole text as its
// tool tip, unless the row sets a tool tip of its own for that cell.
class RecordListView : public QTreeWidget
{
    Q_OBJECT

public:
    struct Column
    {
        QString caption;
        int width;
    };
    struct Rows
    {
        std::function<int()> count;
        std::function<quint64(int row)> uid;
        std::function<void(QTreeWidgetItem *item, int row)> fill;
    };

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
    bool viewportEvent(QEvent *event) override;

private:
    void showSortIndicator();

    Project &m_project;
    ProjectList m_list;
    Rows m_rows;
};

// Rows of a plain record list, whose columns are the record's fields.
template<typename Record>
RecordListView::Rows recordRows(const Project &project, QList<Record> ProjectData::*list)
{
    return {[&project, list] { return static_cast<int>((project.data().*list).size()); },
            [&project, list](int row) { return (project.data().*list).at(row).uid; },
            [&project, list](QTreeWidgetItem *item, int row) {
                const QStringList fields = (project.data().*list).at(row).fields();
                for (int column = 0; column < fields.size(); ++column)
                    item->setText(column, fields[column]);
            }};
}
