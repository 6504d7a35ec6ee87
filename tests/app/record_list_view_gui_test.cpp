#include "widgets/RecordListView.h"
#include "project/ColumnSort.h"
#include "support/ListRows.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QtTest>

namespace {

DeveloperEntry developer(const QString &name, const QString &email = {})
{
    return DeveloperEntry::fromFields({name, email, {}, {}, {}, {}});
}

// A list long enough to be sorted on a worker, with names that differ only in case and many
// equal keys in both columns, so a wrong fold or an unstable order shows.
QList<DeveloperEntry> longList()
{
    QList<DeveloperEntry> developers;
    for (int i = 0; i < Project::kWorkerSortRows + 1'000; ++i) {
        const QString prefix = i % 3 == 0 ? QStringLiteral("dev ") : QStringLiteral("DEV ");
        const QString name = prefix + QString::number(i * 7919 % 1'000);
        developers.append(developer(name, QString::number(i % 7)));
    }
    return developers;
}

QList<quint64> uids(const QList<DeveloperEntry> &developers)
{
    QList<quint64> result;
    for (const DeveloperEntry &entry : developers)
        result.append(entry.uid);
    return result;
}

void clickHeader(RecordListView &view, int column)
{
    const int x = view.header()->sectionViewportPosition(column) + 5;
    QTest::mouseClick(view.header()->viewport(), Qt::LeftButton, {}, QPoint(x, view.header()->height() / 2));
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
        QTRY_VERIFY(!project.isSorting(ProjectList::Developers));
        QCOMPARE(cellText(&view, 0, 0), QStringLiteral("99999"));
        QCOMPARE(view.selectionModel()->selection().size(), 1);
        QCOMPARE(view.selectedRows().size(), 100'000);
    }

    // Header clicks on a long list, in quick succession: the list ends in the order the last
    // click asks for, the same as the list sorted at once, with the same records selected and
    // the same one current. It shows it is busy meanwhile.
    void headerClicks_onALongListEndInTheLastClicksOrder_data()
    {
        QTest::addColumn<QList<int>>("clicks");
        QTest::addColumn<int>("key");
        QTest::newRow("one click") << QList<int>{0} << 1;
        QTest::newRow("two clicks on one column") << QList<int>{0, 0} << -1;
        QTest::newRow("clicks on two columns") << QList<int>{0, 1} << 2;
        QTest::newRow("three clicks") << QList<int>{1, 0, 0} << -1;
    }

    void headerClicks_onALongListEndInTheLastClicksOrder()
    {
        QFETCH(QList<int>, clicks);
        QFETCH(int, key);
        Project project;
        project.setDevelopers(longList());
        RecordListView view(project, ProjectList::Developers,
                            {{QStringLiteral("Name"), 100}, {QStringLiteral("Email"), 100}}, recordRows(project, &ProjectData::developers));
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        const QList<int> selectedBefore{0, 1, 2, 999, Project::kWorkerSortRows + 999};
        for (int row : selectedBefore)
            selectRow(&view, row);
        view.selectionModel()->setCurrentIndex(view.model()->index(999, 0), QItemSelectionModel::NoUpdate);
        QSet<quint64> selected;
        for (int row : selectedBefore)
            selected.insert(project.data().developers.at(row).uid);
        const quint64 current = project.data().developers.at(999).uid;
        QList<DeveloperEntry> expected = project.data().developers;
        ColumnSort::sortByFields(expected, key);

        for (int column : clicks)
            clickHeader(view, column);
        QVERIFY(project.isSorting(ProjectList::Developers));
        QCOMPARE(view.cursor().shape(), Qt::BusyCursor);
        QTRY_VERIFY(!project.isSorting(ProjectList::Developers));

        QCOMPARE(project.sortKey(ProjectList::Developers), key);
        QCOMPARE(uids(project.data().developers), uids(expected));
        QCOMPARE(view.header()->sortIndicatorSection(), std::abs(key) - 1);
        QSet<quint64> selectedAfter;
        for (int row : view.selectedRows())
            selectedAfter.insert(project.data().developers.at(row).uid);
        QCOMPARE(selectedAfter, selected);
        QCOMPARE(project.data().developers.at(view.currentIndex().row()).uid, current);
        QCOMPARE(view.cursor().shape(), Qt::ArrowCursor);
    }

    // An edit while a long list is being sorted stays, and the list then shows the edited rows
    // in the order clicked for.
    void sortingALongList_keepsAnEditMadeMeanwhile()
    {
        Project project;
        project.setDevelopers(longList());
        RecordListView view(project, ProjectList::Developers, {{QStringLiteral("Name"), 100}},
                            recordRows(project, &ProjectData::developers));
        clickHeader(view, 0);
        QVERIFY(project.isSorting(ProjectList::Developers));

        QList<DeveloperEntry> edited = project.data().developers;
        edited[10].name = QStringLiteral("aaa edited");
        edited.append(developer(QStringLiteral("zzz added")));
        project.setDevelopers(edited);
        QTRY_VERIFY(!project.isSorting(ProjectList::Developers));

        QList<DeveloperEntry> expected = project.data().developers;
        ColumnSort::sortByFields(expected, 1);
        QCOMPARE(uids(project.data().developers), uids(expected));
        QCOMPARE(cellText(&view, 0, 0), QStringLiteral("aaa edited"));
        QCOMPARE(cellText(&view, rowCount(&view) - 1, 0), QStringLiteral("zzz added"));
        QCOMPARE(rowCount(&view), edited.size());
    }

    // A text longer than the last column's room is never cut off: the column widens and the
    // list scrolls sideways to it; with room to spare the column fills the list.
    void lastColumn_scrollsSidewaysToALongText()
    {
        Project project;
        const QString longTarget = QStringLiteral("sftp://example.org/") + QString(60, QLatin1Char('x'));
        project.setDevelopers({developer("a", QStringLiteral("short"))});
        RecordListView view(project, ProjectList::Developers, {{QStringLiteral("Name"), 100}, {QStringLiteral("eMail"), 100}},
                            recordRows(project, &ProjectData::developers));
        view.resize(400, 200);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QCOMPARE(view.columnWidth(0) + view.columnWidth(1), view.viewport()->width());
        QCOMPARE(view.horizontalScrollBar()->maximum(), 0);

        project.setDevelopers({developer("a", longTarget)});
        const int textWidth = view.fontMetrics().horizontalAdvance(longTarget);
        QVERIFY2(view.columnWidth(1) > textWidth, qPrintable(QString::number(view.columnWidth(1))));
        QTRY_VERIFY(view.horizontalScrollBar()->maximum() > 0);
        view.horizontalScrollBar()->setValue(view.horizontalScrollBar()->maximum());
        QVERIFY(view.visualRect(view.model()->index(0, 1)).right() <= view.viewport()->width());
    }
};

QTEST_MAIN(RecordListViewTest)
#include "record_list_view_gui_test.moc"
