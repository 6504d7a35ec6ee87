#include "todolist/Changelog.h"
#include "todolist/ChangelogTemplates.h"

#include <QtTest>

namespace {

TodoItem item(const QString &version, const QString &title, int status = 8, int official = -1,
              const QString &description = {})
{
    TodoItem todo;
    todo.version = version;
    todo.title = title;
    todo.status = status;
    todo.official = official;
    todo.description = description;
    return todo;
}

// One line per block, so every expected entry is one line.
ChangelogTemplates lineTemplates()
{
    ChangelogTemplates templates;
    templates.texts = {QStringLiteral("H[%Version%]"), QStringLiteral("N[%Title%]|[%Description%]|[%Version%]"),
                       QStringLiteral("E[%Version%]")};
    return templates;
}

QString lines(const QStringList &entries)
{
    QString text;
    for (const QString &entry : entries)
        text += entry + QStringLiteral("\r\n");
    return text;
}

} // namespace

class ChangelogTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void htmlEscape_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("escaped");
        QTest::newRow("plain") << "Fix it's crash" << "Fix it's crash";
        QTest::newRow("tags") << "<b>bold</b>" << "&lt;b&gt;bold&lt;/b&gt;";
        QTest::newRow("quote") << "say \"hi\"" << "say &quot;hi&quot;";
        QTest::newRow("ampersand") << "A & B" << "A &amp; B";
        QTest::newRow("entity escaped once more") << "&amp; &lt;" << "&amp;amp; &amp;lt;";
        QTest::newRow("empty") << "" << "";
    }

    void htmlEscape()
    {
        QFETCH(QString, text);
        QFETCH(QString, escaped);
        QCOMPARE(Changelog::htmlEscape(text), escaped);
    }

    // Two official finished items of 1.0 with the default templates: eleven HTML lines.
    void defaultTemplates_elevenLines()
    {
        const QList<TodoItem> todos{item(QStringLiteral("1.0"), QStringLiteral("A"), 8, -1, QStringLiteral("a")),
                                    item(QStringLiteral("1.0"), QStringLiteral("B"), 8, -1, QStringLiteral("b"))};
        const Changelog::Texts texts = Changelog::generate(todos, ChangelogTemplates());
        QCOMPARE(texts.html, lines({"<HTML><HEAD>", "<h3>1.0</h3>", "<ul>", "", "<li>A: a</li>", "", "<li>B: b</li>", "",
                                    "</ul><br>", "", "</BODY></HTML>"}));
        QCOMPARE(texts.plain, lines({"1.0:", "", "A", "B", ""}));
    }

    void generate_data()
    {
        QTest::addColumn<QList<TodoItem>>("todos");
        QTest::addColumn<QList<bool>>("include");
        QTest::addColumn<QList<int>>("selected"); // rows; empty: the changelog of all items
        QTest::addColumn<QStringList>("html");
        QTest::addColumn<QStringList>("plain");
        const QList<bool> finished{true, false, false, false, false};
        const QList<bool> none{false, false, false, false, false};
        const QStringList emptyHtml{"<HTML><HEAD>", "</BODY></HTML>"};

        QTest::newRow("empty list") << QList<TodoItem>{} << finished << QList<int>{} << emptyHtml << QStringList{};
        QTest::newRow("no status included") << QList<TodoItem>{item("1", "A")} << none << QList<int>{} << emptyHtml
                                            << QStringList{};
        QTest::newRow("unofficial opens an empty section")
            << QList<TodoItem>{item("2", "A", 8, 7)} << finished << QList<int>{}
            << QStringList{"<HTML><HEAD>", "H2", "E2", "</BODY></HTML>"} << QStringList{"2:", "", ""};
        QTest::newRow("case-merged versions, exact listing")
            << QList<TodoItem>{item("Beta", "A"), item("beta", "B"), item("alpha", "C")} << finished << QList<int>{}
            << QStringList{"<HTML><HEAD>", "Halpha", "NC||alpha", "Ealpha", "HBeta", "NA||Beta", "EBeta", "</BODY></HTML>"}
            << QStringList{"alpha:", "", "C", "", "Beta:", "", "A", ""};
        QTest::newRow("case-merged versions, lower case met first")
            << QList<TodoItem>{item("beta", "A"), item("BETA", "B"), item("Beta", "C"), item("beta", "D")} << finished
            << QList<int>{} << QStringList{"<HTML><HEAD>", "Hbeta", "NA||beta", "ND||beta", "Ebeta", "</BODY></HTML>"}
            << QStringList{"beta:", "", "A", "D", ""};
        QTest::newRow("versions as texts, 1.10 before 1.9")
            << QList<TodoItem>{item("1.9", "A"), item("1.10", "B")} << finished << QList<int>{}
            << QStringList{"<HTML><HEAD>", "H1.10", "NB||1.10", "E1.10", "H1.9", "NA||1.9", "E1.9", "</BODY></HTML>"}
            << QStringList{"1.10:", "", "B", "", "1.9:", "", "A", ""};
        QTest::newRow("status not included, same version")
            << QList<TodoItem>{item("1", "A", 8), item("1", "B", 11), item("1", "C", 9)}
            << QList<bool>{true, false, false, false, false} << QList<int>{}
            << QStringList{"<HTML><HEAD>", "H1", "NA||1", "E1", "</BODY></HTML>"} << QStringList{"1:", "", "A", ""};
        QTest::newRow("several statuses included")
            << QList<TodoItem>{item("1", "A", 12), item("1", "B", 11), item("1", "C", 10)}
            << QList<bool>{false, false, true, false, true} << QList<int>{}
            << QStringList{"<HTML><HEAD>", "H1", "NA||1", "NC||1", "E1", "</BODY></HTML>"}
            << QStringList{"1:", "", "A", "C", ""};
        QTest::newRow("selected whatever status and official")
            << QList<TodoItem>{item("1", "A", 12, 7), item("1", "B", 8), item("2", "C", 11)} << none << QList<int>{0, 2}
            << QStringList{"<HTML><HEAD>", "H1", "NA||1", "E1", "H2", "NC||2", "E2", "</BODY></HTML>"}
            << QStringList{"1:", "", "A", "", "2:", "", "C", ""};
        QTest::newRow("escaped in HTML only")
            << QList<TodoItem>{item("<1>", "a<b>", 8, -1, "x & &amp;")} << finished << QList<int>{}
            << QStringList{"<HTML><HEAD>", "H&lt;1&gt;", "Na&lt;b&gt;|x &amp; &amp;amp;|&lt;1&gt;", "E&lt;1&gt;",
                           "</BODY></HTML>"}
            << QStringList{"<1>:", "", "a<b>", ""};
        QTest::newRow("empty version")
            << QList<TodoItem>{item("", "A")} << finished << QList<int>{}
            << QStringList{"<HTML><HEAD>", "H", "NA||", "E", "</BODY></HTML>"} << QStringList{":", "", "A", ""};
        // The version goes in first, so a placeholder inside it is filled by the next step.
        QTest::newRow("placeholder inside a version")
            << QList<TodoItem>{item("[%Title%]", "T")} << finished << QList<int>{}
            << QStringList{"<HTML><HEAD>", "H[%Title%]", "NT||T", "E[%Title%]", "</BODY></HTML>"}
            << QStringList{"[%Title%]:", "", "T", ""};
    }

    void generate()
    {
        QFETCH(QList<TodoItem>, todos);
        QFETCH(QList<bool>, include);
        QFETCH(QList<int>, selected);
        QFETCH(QStringList, html);
        QFETCH(QStringList, plain);
        ChangelogTemplates templates = lineTemplates();
        std::copy(include.begin(), include.end(), templates.include.begin());
        std::optional<QSet<quint64>> selection;
        for (int row = 0; row < todos.size(); ++row)
            todos[row].uid = row + 1;
        if (!selected.isEmpty()) {
            selection.emplace();
            for (int row : selected)
                selection->insert(row + 1);
        }
        const Changelog::Texts texts = Changelog::generate(todos, templates, selection);
        QCOMPARE(texts.html, lines(html));
        QCOMPARE(texts.plain, lines(plain));
    }

    void selectedMode_nothingSelected_isEmpty()
    {
        const Changelog::Texts texts = Changelog::generate({item("1", "A")}, lineTemplates(), QSet<quint64>{});
        QCOMPARE(texts.html, lines({"<HTML><HEAD>", "</BODY></HTML>"}));
        QCOMPARE(texts.plain, QString());
    }

    void placeholders_areCaseSensitive_andNodeOnly()
    {
        ChangelogTemplates templates;
        templates.texts = {QStringLiteral("[%version%] [%Title%]"), QStringLiteral("[%TITLE%] [%Description%]"),
                           QStringLiteral("[%Description%]")};
        const Changelog::Texts texts = Changelog::generate({item("1", "A", 8, -1, "d")}, templates);
        QCOMPARE(texts.html, lines({"<HTML><HEAD>", "[%version%] [%Title%]", "[%TITLE%] d", "[%Description%]",
                                    "</BODY></HTML>"}));
    }

    // An emptied node template still gives one line per item; plain text keeps the titles.
    void emptyNodeTemplate_givesEmptyLines()
    {
        ChangelogTemplates templates = lineTemplates();
        templates.texts[ChangelogTemplates::Node].clear();
        const Changelog::Texts texts = Changelog::generate({item("1", "A"), item("1", "B")}, templates);
        QCOMPARE(texts.html, lines({"<HTML><HEAD>", "H1", "", "", "E1", "</BODY></HTML>"}));
        QCOMPARE(texts.plain, lines({"1:", "", "A", "B", ""}));
    }

    void markdown_data()
    {
        QTest::addColumn<QList<TodoItem>>("todos");
        QTest::addColumn<QString>("expected");
        const auto of = [](int kind, const QString &version, const QString &title, int status = 8, int official = -1) {
            TodoItem todo = item(version, title, status, official);
            todo.kind = kind;
            return todo;
        };
        QTest::newRow("nothing taken") << QList<TodoItem>{of(0, "1.0", "x", 11)} << "# Changelog\n";
        QTest::newRow("kinds in Keep a Changelog order, list order within")
            << QList<TodoItem>{of(0, "1.0", "bug 1"), of(3, "1.0", "new 1"), of(2, "1.0", "gone"),
                               of(1, "1.0", "changed"), of(0, "1.0", "bug 2"), of(3, "1.0", "new 2")}
            << "# Changelog\n\n## [1.0]\n\n### Added\n\n- new 1\n- new 2\n\n### Changed\n\n- changed\n\n"
               "### Removed\n\n- gone\n\n### Fixed\n\n- bug 1\n- bug 2\n";
        QTest::newRow("newest first, numbers as numbers, unreleased on top")
            << QList<TodoItem>{of(0, "1.9", "a"), of(0, "1.10", "b"), of(0, "", "c"), of(0, "0.9", "d")}
            << "# Changelog\n\n## [Unreleased]\n\n### Fixed\n\n- c\n\n## [1.10]\n\n### Fixed\n\n- b\n\n"
               "## [1.9]\n\n### Fixed\n\n- a\n\n## [0.9]\n\n### Fixed\n\n- d\n";
        QTest::newRow("official only; a version of unofficial items has no section")
            << QList<TodoItem>{of(3, "2.0", "secret", 8, 7), of(3, "1.0", "public"), of(3, "1.0", "hidden", 8, 7)}
            << "# Changelog\n\n## [1.0]\n\n### Added\n\n- public\n";
        QTest::newRow("versions differing in case are one section, nothing dropped")
            << QList<TodoItem>{of(3, "Beta", "one"), of(3, "beta", "two")}
            << "# Changelog\n\n## [Beta]\n\n### Added\n\n- one\n- two\n";
        QTest::newRow("markup escaped")
            << QList<TodoItem>{of(1, "[1]", "*bold* `code` <b> a_b | [link](x) & \\"), of(1, "[1]", "# not a heading"),
                               of(1, "[1]", "- not a list"), of(1, "[1]", "2. not numbered")}
            << "# Changelog\n\n## [\\[1\\]]\n\n### Changed\n\n"
               "- \\*bold\\* \\`code\\` \\<b\\> a\\_b \\| \\[link\\](x) \\& \\\\\n"
               "- \\# not a heading\n- \\- not a list\n- 2\\. not numbered\n";
    }

    void markdown()
    {
        QFETCH(QList<TodoItem>, todos);
        QFETCH(QString, expected);
        QCOMPARE(Changelog::markdown(todos, ChangelogTemplates()), expected);
    }
};

QTEST_GUILESS_MAIN(ChangelogTest)
#include "changelog_test.moc"
