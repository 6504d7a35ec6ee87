#include "widgets/RecordListView.h"
#include "project/ProjectFile.h"
#include "support/ListRows.h"
#include "support/TestSupport.h"
#include "support/WindowFixture.h"

#include <QDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QtTest>

namespace {

DeveloperEntry developer(const QString &name, const QString &email, const QString &phone)
{
    return {name, email, name + QStringLiteral(" note"), name + QStringLiteral(" im"), phone,
            name + QStringLiteral(" street")};
}

} // namespace

class DeveloperGuiTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void newDeveloper_fillsBoxesInTabOrderAndAppends();
    void doubleClick_editsFirstSelectedByIdentity();
    void cancelAndNewProject_closeWithoutChange();
    void headerClick_sortsTelAsText();
    void writeEmail_data();
    void writeEmail();
    void deleteKey_removesSelectedRows();
    void loadProject_sortsByNameAndClosesDialog();

private:
    QStringList names() const;
    QLineEdit *box(const char *name) const { return m_dialog->findChild<QLineEdit *>(QLatin1String(name)); }
    void select(const QList<int> &rows);

    IsolatedHome m_home;
    QTemporaryDir m_dir;
    std::unique_ptr<WindowFixture> m_fixture;
    RecordListView *m_list = nullptr;
    QDialog *m_dialog = nullptr;
};

void DeveloperGuiTest::init()
{
    m_fixture = std::make_unique<WindowFixture>(m_dir.path());
    m_fixture->window.buildOtherPages();
    m_list = m_fixture->widget<RecordListView>("ListView3");
    m_dialog = m_fixture->widget<QDialog>("TForm4");
    m_fixture->showProjectTab("TabSheet16");
    QVERIFY(m_fixture->show());
    m_fixture->workspace.project.setDevelopers({developer("Carol", "carol@example.org", "9123"),
                                        developer("alice", "alice@example.org", "10234"),
                                        developer("Bob", "bob @example.org", "")});
}

void DeveloperGuiTest::cleanup()
{
    m_fixture.reset();
}

QStringList DeveloperGuiTest::names() const
{
    QStringList shown;
    for (int row = 0; row < rowCount(m_list); ++row)
        shown.append(cellText(m_list, row, 0));
    return shown;
}

void DeveloperGuiTest::select(const QList<int> &rows)
{
    m_list->clearSelection();
    for (int row : rows)
        selectRow(m_list, row);
}

void DeveloperGuiTest::newDeveloper_fillsBoxesInTabOrderAndAppends()
{
    m_fixture->trigger("Newdeveloper1");
    QVERIFY(m_dialog->isVisible());
    QVERIFY(!m_dialog->isModal());

    // The Tab key goes down the dialog: name, mail, IM, telephone, address, note.
    QStringList tabOrder;
    QWidget *widget = box("Edit1");
    do {
        if (qobject_cast<QLineEdit *>(widget))
            tabOrder.append(widget->objectName());
        widget = widget->nextInFocusChain();
    } while (widget != box("Edit1"));
    QCOMPARE(tabOrder, (QStringList{"Edit1", "Edit6", "Edit5", "Edit4", "Edit3", "Edit2"}));

    const char *boxes[] = {"Edit1", "Edit6", "Edit2", "Edit5", "Edit4", "Edit3"};
    const QStringList typed{"Dave", "dave@example.org", "  likes tea ", "dave#im", "+49 30 1", "Main St 1"};
    for (int i = 0; i < 6; ++i) {
        QVERIFY(box(boxes[i])->text().isEmpty());
        QTest::keyClicks(box(boxes[i]), typed[i]);
    }
    m_dialog->findChild<QPushButton *>(QStringLiteral("BitBtn2"))->click();

    QVERIFY(!m_dialog->isVisible());
    QCOMPARE(m_fixture->workspace.project.data().developers.last().fields(), typed);
    QCOMPARE(names().last(), QStringLiteral("Dave"));
}

void DeveloperGuiTest::doubleClick_editsFirstSelectedByIdentity()
{
    select({1, 2});
    const QRect second = rowRect(m_list, 2);
    QTest::mouseDClick(m_list->viewport(), Qt::LeftButton, Qt::ControlModifier, second.center());
    QVERIFY(m_dialog->isVisible());
    QCOMPARE(box("Edit1")->text(), QStringLiteral("alice"));
    QCOMPARE(box("Edit6")->text(), QStringLiteral("alice@example.org"));
    QCOMPARE(box("Edit2")->text(), QStringLiteral("alice note"));

    // Sorted meanwhile: Save still writes alice's entry, wherever it went.
    m_fixture->workspace.project.sortList(ProjectList::Developers, 1);
    box("Edit1")->setText(QStringLiteral("Alice"));
    m_dialog->findChild<QPushButton *>(QStringLiteral("BitBtn2"))->click();
    QCOMPARE(names(), (QStringList{"Alice", "Bob", "Carol"}));
    QCOMPARE(m_fixture->workspace.project.data().developers.first().phone, QStringLiteral("10234"));

    // Deleted meanwhile: Save appends rather than overwrite someone else.
    select({2});
    QTest::mouseDClick(m_list->viewport(), Qt::LeftButton, {}, rowRect(m_list, 2).center());
    QCOMPARE(box("Edit1")->text(), QStringLiteral("Carol"));
    select({2});
    m_fixture->trigger("Delete8");
    m_dialog->findChild<QPushButton *>(QStringLiteral("BitBtn2"))->click();
    QCOMPARE(names(), (QStringList{"Alice", "Bob", "Carol"}));
}

void DeveloperGuiTest::cancelAndNewProject_closeWithoutChange()
{
    select({0});
    QTest::mouseDClick(m_list->viewport(), Qt::LeftButton, {}, rowRect(m_list, 0).center());
    box("Edit1")->setText(QStringLiteral("changed"));
    m_dialog->findChild<QPushButton *>(QStringLiteral("BitBtn1"))->click();
    QVERIFY(!m_dialog->isVisible());
    QCOMPARE(names(), (QStringList{"Carol", "alice", "Bob"}));

    m_fixture->trigger("Newdeveloper1");
    QVERIFY(m_dialog->isVisible());
    m_fixture->prompts.answers = {QStringLiteral("discard")};
    m_fixture->trigger("NewProject1");
    QVERIFY(!m_dialog->isVisible());
    QVERIFY(names().isEmpty());
}

void DeveloperGuiTest::headerClick_sortsTelAsText()
{
    QHeaderView *header = m_list->header();
    const QPoint tel(header->sectionViewportPosition(4) + 5, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, tel);
    QCOMPARE(names(), (QStringList{"Bob", "alice", "Carol"})); // "", "10234", "9123"
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, tel);
    QCOMPARE(names(), (QStringList{"Carol", "alice", "Bob"}));
}

void DeveloperGuiTest::writeEmail_data()
{
    QTest::addColumn<QList<int>>("rows");
    QTest::addColumn<QStringList>("opened");
    QTest::newRow("none selected") << QList<int>{} << QStringList{};
    QTest::newRow("three, in list order") << QList<int>{2, 0, 1}
                                          << QStringList{"mailto:carol@example.org", "mailto:alice@example.org",
                                                         "mailto:bob @example.org"};
}

void DeveloperGuiTest::writeEmail()
{
    QFETCH(QList<int>, rows);
    QFETCH(QStringList, opened);
    select(rows);
    m_fixture->trigger("WriteeMail1");
    QCOMPARE(m_fixture->launcher.opened, opened);
}

void DeveloperGuiTest::deleteKey_removesSelectedRows()
{
    select({});
    QTest::keyClick(m_list, Qt::Key_Delete);
    QCOMPARE(names().size(), 3);

    select({0, 2});
    QTest::keyClick(m_list, Qt::Key_Delete, Qt::ShiftModifier);
    QCOMPARE(names(), QStringList{"alice"});
}

void DeveloperGuiTest::loadProject_sortsByNameAndClosesDialog()
{
    ProjectData data;
    data.developers = m_fixture->workspace.project.data().developers;
    const QString file = m_dir.filePath(QStringLiteral("team.dev"));
    ProjectFile::write(file, data);
    m_fixture->trigger("Newdeveloper1");

    m_fixture->workspace.commands.load(file);
    QVERIFY(!m_dialog->isVisible());
    QCOMPARE(names(), (QStringList{"alice", "Bob", "Carol"}));

    // The list is already sorted by name, so the first click on "Name" turns it round.
    QTest::mouseClick(m_list->header()->viewport(), Qt::LeftButton, {}, QPoint(5, m_list->header()->height() / 2));
    QCOMPARE(names(), (QStringList{"Carol", "Bob", "alice"}));
}

QTEST_MAIN(DeveloperGuiTest)
#include "developer_gui_test.moc"
