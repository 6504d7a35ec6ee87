#include "widgets/RecordListView.h"
#include "support/ListRows.h"

#include <QHeaderView>
#include <QtTest>

namespace {

DeveloperEntry developer(const QString &name)
{
    return DeveloperEntry::fromFields({name, {}, {}, {}, {}, {}});
}

} // namespace

class RecordListViewTest : public QObject
{
    Q_OBJECT

private:
    QStringList selectedNames(const RecordListView &view, const Project &project) const
    {
        QStringList names;
        for (int row : view.selectedRows())
            names.append(project.data().developers.at(row).name);
        return names;
    }

private Q_SLOTS:
    // Whatever changes the list, the records that were selected stay selected wherever they
    // now stand, the current one stays current, and nothing else gets selected.
    void refresh_keepsTheSelectedRecords_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QStringList>("selected");
        QTest::addColumn<QString>("current");
        QTest::newRow("sorted descending") << "sort" << QStringList{"d", "b"} << "d";
        QTest::newRow("row added before") << "add" << QStringList{"b", "d"} << "d";
        QTest::newRow("selected row removed") << "remove" << QStringList{"b"} << QString();
        QTest::newRow("list emptied") << "empty" << QStringList{} << QString();
    }

    void refresh_keepsTheSelectedRecords()
    {
        QFETCH(QString, change);
        QFETCH(QStringList, selected);
        QFETCH(QString, current);
        Project project;
        project.setDevelopers({developer("a"), developer("b"), developer("c"), developer("d"), developer("e")});
        RecordListView view(project, ProjectList::Developers, {{QStringLiteral("Name"), 100}},
                            recordRows(project, &ProjectData::developers));
        selectRow(&view, 1);
        selectRow(&view, 3);
        view.selectionModel()->setCurrentIndex(view.model()->index(3, 0), QItemSelectionModel::NoUpdate);

        QList<DeveloperEntry> developers = project.data().developers;
        if (change == "sort") {
            project.sortList(ProjectList::Developers, -1);
            QCOMPARE(view.header()->sortIndicatorOrder(), Qt::DescendingOrder);
        } else if (change == "add") {
            developers.prepend(developer("new"));
            project.setDevelopers(developers);
        } else if (change == "remove") {
            developers.removeAt(3);
            project.setDevelopers(developers);
        } else {
            project.setDevelopers({});
        }
        QCOMPARE(selectedNames(view, project), selected);
        QCOMPARE(view.selectionModel()->selectedRows().size(), selected.size());
        const QModelIndex currentIndex = view.currentIndex();
        QCOMPARE(currentIndex.isValid() ? cellText(&view, currentIndex.row(), 0) : QString(), current);
    }

    // A whole list selected stays selected through a sort, as one range of rows.
    void refresh_keepsAWholeLargeSelection()
    {
        Project project;
        QList<DeveloperEntry> developers;
        for (int i = 0; i < 100'000; ++i)
            developers.append(developer(QString::number(i)));
        project.setDevelopers(developers);
        RecordListView view(project, ProjectList::Developers, {{QStringLiteral("Name"), 100}},
                            recordRows(project, &ProjectData::developers));
        view.selectAll();
        project.sortList(ProjectList::Developers, -1);
        QCOMPARE(cellText(&view, 0, 0), QStringLiteral("99999"));
        QCOMPARE(view.selectionModel()->selection().size(), 1);
        QCOMPARE(view.selectedRows().size(), 100'000);
    }
};

QTEST_MAIN(RecordListViewTest)
#include "record_list_view_gui_test.moc"
