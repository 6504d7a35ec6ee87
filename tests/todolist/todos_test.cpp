#include "project/ColumnSort.h"
#include "project/Project.h"
#include "project/ProjectFile.h"
#include "todolist/TodoCommands.h"
#include "todolist/Todos.h"

#include <QtTest>

namespace {

TodoItem item(const QString &title, int status = 11, int official = -1, const QString &version = {})
{
    TodoItem todo;
    todo.title = title;
    todo.status = status;
    todo.official = official;
    todo.version = version;
    return todo;
}

QStringList titles(const QList<TodoItem> &todos)
{
    QStringList result;
    for (const TodoItem &todo : todos)
        result.append(todo.title.toString());
    return result;
}

void sort(QList<TodoItem> &todos, int key)
{
    ColumnSort::reorder(todos, Todos::order(todos, key));
}

} // namespace

class TodosTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void compare_data()
    {
        QTest::addColumn<TodoItem>("a");
        QTest::addColumn<TodoItem>("b");
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("sign");
        QTest::newRow("status numerically") << item({}, 9) << item({}, 12) << 1 << -1;
        QTest::newRow("official -1 before 7") << item({}, 11, -1) << item({}, 11, 7) << 4 << -1;
        QTest::newRow("equal codes") << item(QStringLiteral("x"), 8) << item(QStringLiteral("y"), 8) << 1 << 0;
        QTest::newRow("title ignores ASCII case") << item(QStringLiteral("apple")) << item(QStringLiteral("APPLE")) << 6 << 0;
        QTest::newRow("Zebra after apple") << item(QStringLiteral("Zebra")) << item(QStringLiteral("apple")) << 6 << 1;
        QTest::newRow("umlaut after every ASCII letter")
            << item(QStringLiteral("\u00C4rger")) << item(QStringLiteral("zz")) << 6 << 1;
        QTest::newRow("umlauts are not folded")
            << item(QStringLiteral("\u00E4")) << item(QStringLiteral("\u00C4")) << 6 << 1;
        QTest::newRow("prefix first") << item(QStringLiteral("Fix")) << item(QStringLiteral("fixed")) << 6 << -1;
        QTest::newRow("long titles differing late")
            << item(QStringLiteral("Changelog page b")) << item(QStringLiteral("CHANGELOG PAGE A")) << 6 << 1;
        QTest::newRow("long prefix first")
            << item(QStringLiteral("changelog entry")) << item(QStringLiteral("Changelog entry 2")) << 6 << -1;
        QTest::newRow("negative codes numerically") << item({}, -5) << item({}, -1) << 1 << -1;
        QTest::newRow("version 1.10 before 1.9")
            << item({}, 11, -1, QStringLiteral("1.10")) << item({}, 11, -1, QStringLiteral("1.9")) << 5 << -1;
    }

    // Two items sorted ascending in both orders: the one that sorts first leads either way,
    // equal ones keep their order.
    void compare()
    {
        QFETCH(TodoItem, a);
        QFETCH(TodoItem, b);
        QFETCH(int, column);
        QFETCH(int, sign);
        a.uid = 1;
        b.uid = 2;
        const auto uids = [column](QList<TodoItem> todos) {
            sort(todos, column);
            return QList<quint64>{todos[0].uid, todos[1].uid};
        };
        const QList<quint64> aFirst{1, 2}, bFirst{2, 1};
        QCOMPARE(uids({a, b}), sign > 0 ? bFirst : aFirst);
        QCOMPARE(uids({b, a}), sign < 0 ? aFirst : bFirst);
    }

    // Header clicks as the list view makes them: same column flips, another sorts ascending.
    void headerClicks_data()
    {
        QTest::addColumn<QList<int>>("clicks");
        QTest::addColumn<int>("key");
        QTest::addColumn<QStringList>("order");
        const QList<int> titleColumn{5};
        QTest::newRow("title ascending") << titleColumn << 6 << QStringList{"apple", "APPLE", "b", "Zebra"};
        QTest::newRow("title twice descending")
            << QList<int>{5, 5} << -6 << QStringList{"Zebra", "b", "apple", "APPLE"};
        QTest::newRow("version then title ascending again")
            << QList<int>{5, 4, 5} << 6 << QStringList{"apple", "APPLE", "b", "Zebra"};
        QTest::newRow("official ascending") << QList<int>{3} << 4 << QStringList{"Zebra", "b", "apple", "APPLE"};
    }

    void headerClicks()
    {
        QFETCH(QList<int>, clicks);
        QFETCH(int, key);
        QFETCH(QStringList, order);
        Project project(&Todos::order);
        project.setTodos({item(QStringLiteral("Zebra"), 11, -1, QStringLiteral("2")),
                          item(QStringLiteral("apple"), 11, 7, QStringLiteral("1")),
                          item(QStringLiteral("b"), 11, -1, QStringLiteral("3")),
                          item(QStringLiteral("APPLE"), 11, 7, QStringLiteral("1"))});
        for (int column : clicks)
            project.sortList(ProjectList::Todos, ColumnSort::nextKey(project.sortKey(ProjectList::Todos), column));
        QCOMPARE(project.sortKey(ProjectList::Todos), key);
        QCOMPARE(titles(project.data().todos), order);
    }

    // A load sorts by version and then by status: status ascending, version ascending within.
    void loadOrder_statusThenVersion()
    {
        QList<TodoItem> todos{item(QStringLiteral("a"), 11, -1, QStringLiteral("2")),
                              item(QStringLiteral("b"), 8, -1, QStringLiteral("3")),
                              item(QStringLiteral("c"), 11, -1, QStringLiteral("1")),
                              item(QStringLiteral("d"), 8, -1, QStringLiteral("1.10"))};
        sort(todos, 5);
        sort(todos, 1);
        QCOMPARE(titles(todos), (QStringList{"d", "b", "c", "a"}));
    }

    void countOpenTasks_data()
    {
        QTest::addColumn<QList<int>>("statuses");
        QTest::addColumn<int>("open");
        QTest::newRow("empty") << QList<int>{} << 0;
        QTest::newRow("at work and to do") << QList<int>{10, 11} << 2;
        QTest::newRow("finished, testing, someday") << QList<int>{8, 9, 12} << 0;
        QTest::newRow("codes outside the table") << QList<int>{0, 7, 13, -1} << 0;
    }

    void countOpenTasks()
    {
        QFETCH(QList<int>, statuses);
        QFETCH(int, open);
        QList<TodoItem> todos;
        for (int status : statuses)
            todos.append(item({}, status));
        QCOMPARE(Todos::countOpenTasks(todos), open);
    }

    // A line break pasted into a one-line field must not shift the lines of the project file.
    void lineBreaks_saveAsOneLine_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        QTest::newRow("LF") << "first\nsecond" << "first second";
        QTest::newRow("CR LF") << "first\r\nsecond" << "first second";
        QTest::newRow("CR") << "first\rsecond" << "first second";
        QTest::newRow("final break dropped") << "title\r\n" << "title";
    }

    void lineBreaks_saveAsOneLine()
    {
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        Project project;
        TodoCommands commands(project);
        TodoItem entered = item(typed);
        entered.version = typed;
        entered.description = entered.note = typed;
        commands.save(0, entered);
        commands.save(0, item(QStringLiteral("next"), 8));
        commands.setVersion({1}, typed);

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("p.dev"));
        ProjectFile::write(path, project.data());
        const QList<TodoItem> loaded = ProjectFile::read(path).todos;
        QCOMPARE(loaded.size(), 2);
        const TodoItem &first = loaded.at(0);
        QCOMPARE((QStringList{first.version, first.title.toString(), first.description.toString(), first.note.toString()}), QStringList(4, stored));
        QCOMPARE((QStringList{loaded.at(1).title.toString(), loaded.at(1).version}), (QStringList{"next", stored}));
        QCOMPARE(loaded.at(1).status, 8);
    }

    void codePositions_data()
    {
        QTest::addColumn<Todos::CodeField>("field");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("position");
        QTest::newRow("status finished") << Todos::CodeField::Status << 8 << 0;
        QTest::newRow("status someday") << Todos::CodeField::Status << 12 << 4;
        QTest::newRow("status priority code") << Todos::CodeField::Status << 5 << -1;
        QTest::newRow("priority 5 second") << Todos::CodeField::Priority << 5 << 1;
        QTest::newRow("priority above") << Todos::CodeField::Priority << 7 << -1;
        QTest::newRow("kind new") << Todos::CodeField::Kind << 3 << 3;
        QTest::newRow("kind negative") << Todos::CodeField::Kind << -1 << -1;
        QTest::newRow("official") << Todos::CodeField::Official << -1 << 0;
        QTest::newRow("unofficial") << Todos::CodeField::Official << 7 << 1;
        QTest::newRow("official other") << Todos::CodeField::Official << 0 << -1;
    }

    void codePositions()
    {
        QFETCH(Todos::CodeField, field);
        QFETCH(int, code);
        QFETCH(int, position);
        QCOMPARE(Todos::positionOf(field, code), position);
        if (position >= 0)
            QCOMPARE(Todos::codeAt(field, position), code);
    }
};

QTEST_GUILESS_MAIN(TodosTest)
#include "todos_test.moc"
