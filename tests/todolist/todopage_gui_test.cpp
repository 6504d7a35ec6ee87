#include "workspace/Workspace.h"
#include "app/ui/MainWindow.h"
#include "support/ListRows.h"
#include "support/TestSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolTip>
#include <QTreeView>
#include <QtTest>

namespace {

TodoItem todo(const QString &title, int status = 11, const QString &version = QStringLiteral("1.0"))
{
    TodoItem item;
    item.title = title;
    item.status = status;
    item.version = version;
    return item;
}

} // namespace

class TodoPageGuiTest : public QObject
{
    Q_OBJECT

private:
    IsolatedHome m_home;
    std::unique_ptr<ScriptedPrompts> m_prompts;
    RecordingLauncher m_launcher;
    std::unique_ptr<Workspace> m_workspace;
    std::unique_ptr<MainWindow> m_window;

    Project &project() { return m_workspace->project; }
    // Names repeat between windows (Edit1, Memo1), so dialog widgets are looked up in their window.
    template<typename T>
    T *find(const char *name, const QObject *within = nullptr) const
    {
        T *widget = (within ? within : m_window.get())->findChild<T *>(QLatin1String(name));
        if (!widget)
            qFatal("no %s", name);
        return widget;
    }
    template<typename T>
    T *field(const char *name) const { return find<T>(name, dialog()); }
    QTreeView *list() const { return find<QTreeView>("ListView2"); }
    QWidget *dialog() const { return find<QWidget>("TForm3"); }
    QString panel() const { return find<QLabel>("StatusPanel1")->text(); }
    void trigger(const char *name) { find<QAction>(name)->trigger(); }
    void select(const QList<int> &rows)
    {
        list()->clearSelection();
        for (int row : rows)
            selectRow(list(), row);
    }
    QStringList titles()
    {
        QStringList result;
        for (const TodoItem &item : project().data().todos)
            result.append(item.title.toString());
        return result;
    }
    void doubleClick(int row)
    {
        select({row});
        list()->doItemsLayout(); // a refreshed list lays its rows out lazily
        const QPoint centre = rowRect(list(), row).center();
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, centre);
        QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, centre);
    }

    void clickHeader(int column)
    {
        QHeaderView *header = list()->header();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(header->sectionViewportPosition(column) + 5, 5));
        QTest::qWait(QApplication::doubleClickInterval()); // two clicks, not a double-click
    }

private Q_SLOTS:
    void init()
    {
        m_prompts = std::make_unique<ScriptedPrompts>();
        m_workspace = std::make_unique<Workspace>(m_home.path() + QStringLiteral("/config/Trovas/"), *m_prompts);
        QDir().mkpath(m_workspace->appDataFolder);
        m_window = std::make_unique<MainWindow>(*m_workspace, *m_prompts, m_launcher);
        project().setName(QStringLiteral("Demo"));
        project().setVersion(QStringLiteral("2.1"));
        project().setTodos({todo("A", 8), todo("B", 10), todo("C", 12)});
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        m_window->findChild<QWidget *>(QStringLiteral("PageControl1"))->setProperty("currentIndex", 2);
    }

    void cleanup()
    {
        m_window.reset();
        m_workspace.reset();
        QVERIFY(m_prompts->errors.isEmpty());
    }

    void popupMenu_order()
    {
        QStringList names;
        for (QAction *action : find<QMenu>("PopupMenu1")->actions()) {
            names.append(action->isSeparator() ? QStringLiteral("-") : action->objectName());
            if (QMenu *submenu = action->menu()) {
                names.last() = submenu->objectName();
                for (QAction *entry : submenu->actions())
                    names.append(QStringLiteral(" ") + entry->objectName() + QLatin1Char(':')
                                 + QString(entry->text()).remove(QLatin1Char('&')));
            }
        }
        QCOMPARE(names, (QStringList{"Add2", "Delete1", "-", "Changestatus1", " Finished1:Finished", " esting1:Testing",
                                     " Atwork1:At work", " oDo1:To-Do", " Someday1:Someday", "Changepriority1",
                                     " Low1:High", " Normal1:Normal", " High1:Low", "Changetype1", " Bug1:Bug",
                                     " Change1:Change", " Removed1:Removed", " New1:New", "Changeofficial1",
                                     " Official1:Official", " Unofficial1:Unofficial", "Changeversion1", "-",
                                     "Createchangelog2", "Createchangelogofselecteditems1"}));
    }

    void add_defaultsAppendLast()
    {
        trigger("Add2");
        QVERIFY(dialog()->isVisible());
        QCOMPARE(field<QLineEdit>("Edit2")->text(), QStringLiteral("2.1"));
        QCOMPARE(field<QComboBox>("ComboBox3")->currentText(), QStringLiteral("To do"));
        // Code 5, which the shipped languages call "Normal" in the dialog as in the pop-up menu.
        QCOMPARE(field<QComboBox>("ComboBox2")->currentText(), QStringLiteral("Normal"));
        QCOMPARE(field<QComboBox>("ComboBox1")->currentText(), QStringLiteral("Bug"));
        QVERIFY(field<QCheckBox>("CheckBox1")->isChecked());
        QTest::mouseClick(field<QPushButton>("BitBtn2"), Qt::LeftButton);

        QVERIFY(!dialog()->isVisible());
        const TodoItem added = project().data().todos.last();
        QCOMPARE(project().data().todos.size(), 4);
        QCOMPARE((QList<int>{added.kind, added.priority, added.status, added.official}), (QList<int>{0, 5, 11, -1}));
        QCOMPARE(added.version, QStringLiteral("2.1"));
        QVERIFY(added.title.isEmpty() && added.description.isEmpty() && added.note.isEmpty());
        QCOMPARE(panel(), QStringLiteral("Demo - (2 tasks to do)"));
    }

    void edit_fillsDialogAndSavesInPlace()
    {
        TodoItem item = todo("B", 9, "0.9");
        item.priority = 6;
        item.kind = 3;
        item.official = 7;
        item.description = QStringLiteral("desc");
        item.note = QStringLiteral("note");
        project().setTodos({todo("A"), item, todo("C")});
        doubleClick(1);
        QVERIFY(dialog()->isVisible());
        QCOMPARE(field<QLineEdit>("Edit1")->text(), QStringLiteral("B"));
        QCOMPARE(field<QLineEdit>("Edit3")->text(), QStringLiteral("desc"));
        QCOMPARE(field<QLineEdit>("Edit2")->text(), QStringLiteral("0.9"));
        QCOMPARE(field<QLineEdit>("Edit5")->text(), QStringLiteral("note"));
        QCOMPARE(field<QComboBox>("ComboBox3")->currentIndex(), 1);
        QCOMPARE(field<QComboBox>("ComboBox2")->currentIndex(), 2);
        QCOMPARE(field<QComboBox>("ComboBox1")->currentIndex(), 3);
        QVERIFY(!field<QCheckBox>("CheckBox1")->isChecked());

        field<QLineEdit>("Edit1")->setText(QStringLiteral("B2"));
        field<QComboBox>("ComboBox3")->setCurrentIndex(2);
        field<QCheckBox>("CheckBox1")->setChecked(true);
        QTest::mouseClick(field<QPushButton>("BitBtn2"), Qt::LeftButton);
        const TodoItem saved = project().data().todos.at(1);
        QCOMPARE(titles(), (QStringList{"A", "B2", "C"}));
        QCOMPARE((QList<int>{saved.status, saved.priority, saved.kind, saved.official}), (QList<int>{10, 6, 3, -1}));
        QCOMPARE(panel(), QStringLiteral("Demo - (3 tasks to do)"));
    }

    // Sorting and deleting while the dialog is open never redirect Save to another item.
    void save_followsItsItem()
    {
        doubleClick(2);
        field<QLineEdit>("Edit1")->setText(QStringLiteral("C2"));
        clickHeader(5); // Title ascending
        QCOMPARE(list()->header()->sortIndicatorSection(), 5);
        QCOMPARE(list()->header()->sortIndicatorOrder(), Qt::AscendingOrder);
        clickHeader(5); // and descending
        QCOMPARE(titles(), (QStringList{"C", "B", "A"}));
        QCOMPARE(list()->header()->sortIndicatorOrder(), Qt::DescendingOrder);
        select({2});
        trigger("Delete1");
        QTest::mouseClick(field<QPushButton>("BitBtn2"), Qt::LeftButton);
        QCOMPARE(titles(), (QStringList{"C2", "B"}));

        // Its item deleted meanwhile, the dialog's contents become a new item.
        doubleClick(1);
        field<QLineEdit>("Edit1")->setText(QStringLiteral("kept"));
        select({1});
        QTest::keyClick(list(), Qt::Key_Delete);
        QCOMPARE(titles(), (QStringList{"C2"}));
        QTest::mouseClick(field<QPushButton>("BitBtn2"), Qt::LeftButton);
        QCOMPARE(titles(), (QStringList{"C2", "kept"}));
    }

    void editKeys_openTheSelectedRow_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("Return") << int(Qt::Key_Return);
        QTest::newRow("Enter") << int(Qt::Key_Enter);
        QTest::newRow("F2") << int(Qt::Key_F2);
    }
    void editKeys_openTheSelectedRow()
    {
        QFETCH(int, key);
        select({1});
        list()->selectionModel()->setCurrentIndex(list()->model()->index(1, 0), QItemSelectionModel::NoUpdate);
        QTest::keyClick(list(), Qt::Key(key), key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
        QVERIFY(dialog()->isVisible());
        QCOMPARE(field<QLineEdit>("Edit1")->text(), QStringLiteral("B"));
    }

    void iconsAndCutCells_explainThemselves()
    {
        const auto toolTip = [this](int column) { return list()->model()->index(1, column).data(Qt::ToolTipRole).toString(); };
        QCOMPARE(toolTip(0), QStringLiteral("Status: At work"));
        QCOMPARE(toolTip(1), QStringLiteral("Priority: Normal"));
        QCOMPARE(toolTip(2), QStringLiteral("Type: Bug"));
        QCOMPARE(toolTip(3), QStringLiteral("Official: Official"));
        // A cell too narrow for its text shows it whole; one that fits shows nothing.
        TodoItem wordy = todo("T");
        wordy.description = QStringLiteral("A description far too long for its narrow column");
        project().setTodos({wordy});
        list()->doItemsLayout();
        auto tipAt = [this](int column) {
            const QPoint at = list()->visualRect(list()->model()->index(0, column)).center();
            QHelpEvent help(QEvent::ToolTip, at, list()->viewport()->mapToGlobal(at));
            QCoreApplication::sendEvent(list()->viewport(), &help);
            return QToolTip::isVisible() ? QToolTip::text() : QString();
        };
        QCOMPARE(tipAt(5), QString());
        QCOMPARE(tipAt(6), wordy.description);

        // The dialog's drop-downs say what they choose.
        for (const auto &[name, caption] : {std::pair{"ComboBox1", "&Type"}, std::pair{"ComboBox2", "&Priority"},
                                            std::pair{"ComboBox3", "&Status"}}) {
            auto *combo = field<QComboBox>(name);
            const QList<QLabel *> labels = dialog()->findChildren<QLabel *>();
            QVERIFY(std::any_of(labels.begin(), labels.end(), [&](const QLabel *label) {
                return label->buddy() == combo && label->text() == QLatin1String(caption);
            }));
        }
    }

    void cancelAndNewProject_closeWithoutChange()
    {
        doubleClick(0);
        field<QLineEdit>("Edit1")->setText(QStringLiteral("changed"));
        QTest::mouseClick(field<QPushButton>("BitBtn1"), Qt::LeftButton);
        QVERIFY(!dialog()->isVisible());
        QCOMPARE(titles(), (QStringList{"A", "B", "C"}));

        doubleClick(0);
        m_workspace->commands.newProject();
        QVERIFY(!dialog()->isVisible());
    }

    // A hand-edited code shows no icon and no choice, and survives a save untouched.
    void unknownCodes_keptUntilChosen()
    {
        TodoItem odd = todo("odd", 3);
        odd.priority = 12;
        odd.official = 0;
        project().setTodos({odd});
        QVERIFY(cellIcon(list(), 0, 0).isNull());
        QVERIFY(cellIcon(list(), 0, 1).isNull());
        QVERIFY(!cellIcon(list(), 0, 2).isNull());
        doubleClick(0);
        QCOMPARE(field<QComboBox>("ComboBox3")->currentIndex(), -1);
        QCOMPARE(field<QComboBox>("ComboBox2")->currentIndex(), -1);
        QCOMPARE(field<QCheckBox>("CheckBox1")->checkState(), Qt::PartiallyChecked);
        field<QComboBox>("ComboBox2")->setCurrentIndex(0);
        QTest::mouseClick(field<QPushButton>("BitBtn2"), Qt::LeftButton);
        const TodoItem saved = project().data().todos.at(0);
        QCOMPARE((QList<int>{saved.status, saved.priority, saved.kind, saved.official}), (QList<int>{3, 4, 0, 0}));

        doubleClick(0);
        field<QCheckBox>("CheckBox1")->click();
        QTest::mouseClick(field<QPushButton>("BitBtn2"), Qt::LeftButton);
        QCOMPARE(project().data().todos.at(0).official, -1);
    }

    void changeCommands_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("priority");
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("official");
        QTest::newRow("finished") << "Finished1" << 8 << 5 << 0 << -1;
        QTest::newRow("testing") << "esting1" << 9 << 5 << 0 << -1;
        QTest::newRow("at work") << "Atwork1" << 10 << 5 << 0 << -1;
        QTest::newRow("to do") << "oDo1" << 11 << 5 << 0 << -1;
        QTest::newRow("someday") << "Someday1" << 12 << 5 << 0 << -1;
        QTest::newRow("Low1 is high") << "Low1" << 11 << 4 << 0 << -1;
        QTest::newRow("normal") << "Normal1" << 11 << 5 << 0 << -1;
        QTest::newRow("High1 is low") << "High1" << 11 << 6 << 0 << -1;
        QTest::newRow("bug") << "Bug1" << 11 << 5 << 0 << -1;
        QTest::newRow("change") << "Change1" << 11 << 5 << 1 << -1;
        QTest::newRow("removed") << "Removed1" << 11 << 5 << 2 << -1;
        QTest::newRow("new") << "New1" << 11 << 5 << 3 << -1;
        QTest::newRow("unofficial") << "Unofficial1" << 11 << 5 << 0 << 7;
    }

    // Applies to every selected row and nothing else; the panel keeps its old count.
    void changeCommands()
    {
        QFETCH(QString, command);
        QFETCH(int, status);
        QFETCH(int, priority);
        QFETCH(int, kind);
        QFETCH(int, official);
        project().setTodos({todo("a"), todo("b"), todo("c"), todo("d")});
        m_window->updateProjectPanel();
        select({0, 2, 3});
        find<QAction>(command.toLatin1().constData())->trigger();
        for (int row = 0; row < 4; ++row) {
            const TodoItem &item = project().data().todos.at(row);
            const QList<int> expected = row == 1 ? QList<int>{11, 5, 0, -1} : QList<int>{status, priority, kind, official};
            QCOMPARE((QList<int>{item.status, item.priority, item.kind, item.official}), expected);
        }
        QCOMPARE(panel(), QStringLiteral("Demo - (4 tasks to do)"));
        QCOMPARE(list()->selectionModel()->selectedRows().size(), 3);
    }

    void official_restoresUnofficial()
    {
        TodoItem hidden = todo("x");
        hidden.official = 7;
        project().setTodos({hidden});
        select({0});
        trigger("Official1");
        QCOMPARE(project().data().todos.at(0).official, -1);
    }

    void delete_removesSelected_andRewritesPanel()
    {
        project().setTodos({todo("1"), todo("2"), todo("3"), todo("4"), todo("5"), todo("6"), todo("7")});
        select({0, 1, 3, 4, 6});
        trigger("Delete1");
        QCOMPARE(titles(), (QStringList{"3", "6"}));
        QCOMPARE(panel(), QStringLiteral("Demo - (2 tasks to do)"));

        select({1});
        QTest::keyClick(list(), Qt::Key_Delete, Qt::ShiftModifier);
        QCOMPARE(titles(), (QStringList{"3"}));
        QCOMPARE(panel(), QStringLiteral("Demo - (1 task to do)"));

        // Nothing selected: nothing removed, the panel still follows the list.
        project().setTodos({todo("x", 8)});
        select({});
        trigger("Delete1");
        QCOMPARE(titles(), (QStringList{"x"}));
        QCOMPARE(panel(), QStringLiteral("Demo - (0 tasks to do)"));
    }

    void changeVersion_data()
    {
        QTest::addColumn<std::optional<QString>>("answer");
        QTest::addColumn<QStringList>("versions");
        QTest::newRow("confirmed") << std::optional(QStringLiteral("3.0")) << QStringList{"3.0", "1.0", "3.0"};
        QTest::newRow("confirmed empty") << std::optional(QString()) << QStringList{"", "1.0", ""};
        QTest::newRow("cancelled") << std::optional<QString>() << QStringList{"1.0", "1.0", "1.0"};
    }

    void changeVersion()
    {
        QFETCH(std::optional<QString>, answer);
        QFETCH(QStringList, versions);
        m_prompts->answers.push_back(answer);
        select({0, 2});
        trigger("Changeversion1");
        QStringList result;
        for (const TodoItem &item : project().data().todos)
            result.append(item.version);
        QCOMPARE(result, versions);
    }

    // A changelog that cannot be written is reported; the memos hold it, the window stays down.
    void createChangelog_unwritableFolder_reportsTheFile()
    {
        QVERIFY(QDir(m_workspace->appDataFolder).removeRecursively());
        trigger("Createchangelog2");
        QCOMPARE(m_prompts->errors.size(), 1);
        QVERIFY2(m_prompts->errors.first().contains(m_workspace->appDataFolder + QStringLiteral("temp.html")),
                 qPrintable(m_prompts->errors.first()));
        m_prompts->errors.clear();
        QVERIFY(!find<QWidget>("TForm7")->isVisible());
        QCOMPARE(find<QPlainTextEdit>("Memo2", find<QWidget>("TForm7"))->toPlainText(), QStringLiteral("1.0:\n\nA\n\n"));
        QVERIFY(find<QPlainTextEdit>("Memo1", find<QWidget>("TForm7"))->toPlainText().startsWith(QStringLiteral("<HTML><HEAD>\n<h3>1.0</h3>")));
    }
};

QTEST_MAIN(TodoPageGuiTest)
#include "todopage_gui_test.moc"
