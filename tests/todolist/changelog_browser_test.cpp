#include "workspace/Workspace.h"
#include "app/ui/MainWindow.h"
#include "project/TextFile.h"
#include "support/ListRows.h"
#include "support/TestSupport.h"
#include "todolist/ui/ChangelogWindow.h"

#include <QPlainTextEdit>
#include <QTabBar>
#include <QTabWidget>
#include <QTreeView>
#include <QWebEngineView>
#include <QtTest>

namespace {

TodoItem todo(const QString &version, const QString &title, const QString &description, int official = -1)
{
    TodoItem item;
    item.status = 8;
    item.official = official;
    item.version = version;
    item.title = title;
    item.description = description;
    return item;
}

// The text the browser engine shows for its page.
QString renderedText(QWebEngineView *view)
{
    QString text;
    bool done = false;
    view->page()->toPlainText([&](const QString &result) {
        text = result;
        done = true;
    });
    if (!QTest::qWaitFor([&] { return done; }, 10000))
        return QStringLiteral("<no answer from the page>");
    return text;
}

} // namespace

class ChangelogBrowserTest : public QObject
{
    Q_OBJECT

private:
    IsolatedHome m_home;
    ScriptedPrompts m_prompts;
    RecordingLauncher m_launcher;
    std::unique_ptr<Workspace> m_workspace;
    std::unique_ptr<MainWindow> m_window;

    ChangelogWindow *changelog() const { return m_window->findChild<ChangelogWindow *>(QStringLiteral("TForm7")); }
    // The view from the browser plug-in.
    QWebEngineView *browser() const { return qobject_cast<QWebEngineView *>(changelog()->browser()); }
    QPlainTextEdit *memo(const char *name) const
    {
        return changelog()->findChild<QPlainTextEdit *>(QLatin1String(name));
    }
    // Runs a changelog command and waits until the browser has loaded what it wrote. The view
    // appears with the first changelog, so the spy watches whichever view will load.
    void create(const char *command)
    {
        std::unique_ptr<QSignalSpy> loaded;
        if (QWebEngineView *view = browser())
            loaded = std::make_unique<QSignalSpy>(view, &QWebEngineView::loadFinished);
        m_window->findChild<QAction *>(QLatin1String(command))->trigger();
        QVERIFY(browser());
        if (!loaded)
            loaded = std::make_unique<QSignalSpy>(browser(), &QWebEngineView::loadFinished);
        QVERIFY(loaded->count() > 0 || loaded->wait(20000));
        QVERIFY(loaded->first().first().toBool());
    }

private Q_SLOTS:
    void init()
    {
        m_workspace = std::make_unique<Workspace>(m_home.path() + QStringLiteral("/config/Trovas/"), m_prompts);
        QDir().mkpath(m_workspace->appDataFolder);
        m_window = std::make_unique<MainWindow>(*m_workspace, m_prompts, m_launcher);
        m_window->buildOtherPages();
        m_window->show();
        m_workspace->project.setTodos({todo("1.10", "Faster <search>", "uses an index & a cache"),
                                       todo("1.9", "Crash on start", "fixed \u2192 \u00e4"),
                                       todo("1.9", "Secret fix", "hidden", 7)});
    }

    void cleanup()
    {
        m_window.reset();
        m_workspace.reset();
        QVERIFY(m_prompts.errors.isEmpty());
    }

    void createChangelog_rendersInTheHtmlTab()
    {
        create("Createchangelog2");
        QVERIFY(changelog()->isVisible());
        const QString text = renderedText(browser());
        QVERIFY2(text.contains(QStringLiteral("Faster <search>: uses an index & a cache")), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("Crash on start: fixed \u2192 \u00e4")), qPrintable(text));
        QVERIFY(!text.contains(QStringLiteral("Secret fix")));
        QVERIFY(text.indexOf(QStringLiteral("1.10")) < text.indexOf(QStringLiteral("1.9")));

        const QString page = m_workspace->appDataFolder + QStringLiteral("temp.html");
        QCOMPARE(browser()->url(), QUrl::fromLocalFile(page));
        QCOMPARE(TextFile::decode(readFile(page)).replace(QStringLiteral("\r\n"), QStringLiteral("\n")),
                 memo("Memo1")->toPlainText());
        QCOMPARE(memo("Memo2")->toPlainText(),
                 QStringLiteral("1.10:\n\nFaster <search>\n\n1.9:\n\nCrash on start\n\n"));
    }

    // A second run replaces everything and keeps the tab the user chose.
    void selectedItems_replaceTexts_keepTheTab()
    {
        create("Createchangelog2");
        auto *tabs = changelog()->findChild<QTabWidget *>();
        QCOMPARE(tabs->tabText(tabs->currentIndex()), QStringLiteral("HTML"));
        tabs->setCurrentIndex(2);

        auto *list = m_window->findChild<QTreeView *>(QStringLiteral("ListView2"));
        selectRow(list, 2);
        create("Createchangelogofselecteditems1");
        QCOMPARE(tabs->currentIndex(), 2);
        QCOMPARE(memo("Memo2")->toPlainText(), QStringLiteral("1.9:\n\nSecret fix\n\n"));
        const QString text = renderedText(browser());
        QVERIFY2(text.contains(QStringLiteral("Secret fix: hidden")) && !text.contains(QStringLiteral("Crash")),
                 qPrintable(text));
    }

    // The window is made once, with the browser in it: no new native window once it is up, so
    // the first click on a tab right after is taken.
    void firstShow_isOneWindowReadyToClick()
    {
        int remade = 0;
        struct Counter : QObject
        {
            int &count;
            explicit Counter(int &c) : count(c) {}
            bool eventFilter(QObject *, QEvent *event) override
            {
                if (event->type() == QEvent::WinIdChange)
                    ++count;
                return false;
            }
        } filter(remade);
        changelog()->installEventFilter(&filter);
        m_window->findChild<QAction *>(QStringLiteral("Createchangelog2"))->trigger();
        QVERIFY(QTest::qWaitForWindowExposed(changelog()));
        const WId first = changelog()->winId();
        auto *tabs = changelog()->findChild<QTabWidget *>();
        QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(2).center());
        QCOMPARE(tabs->currentIndex(), 2);
        QSignalSpy loaded(browser(), &QWebEngineView::loadFinished);
        QVERIFY(loaded.wait(20000));
        QCOMPARE(changelog()->winId(), first);
        // Made once, never again.
        QVERIFY2(remade <= 1, qPrintable(QString::number(remade)));
        changelog()->removeEventFilter(&filter);
    }

    // Light or dark as the window's palette.
    void palette_colorsAPageWithoutColours()
    {
        create("Createchangelog2");
        QVERIFY(!browser()->property("darkColours").toBool());
        QPalette dark(QColor(0x30, 0x30, 0x30));
        QSignalSpy loaded(browser(), &QWebEngineView::loadFinished);
        changelog()->setPalette(dark);
        QVERIFY(browser()->property("darkColours").toBool());
        QVERIFY(loaded.wait(20000));
        QString scheme;
        bool answered = false;
        browser()->page()->runJavaScript(QStringLiteral("getComputedStyle(document.body).color"), [&](const QVariant &value) {
            scheme = value.toString();
            answered = true;
        });
        QTRY_VERIFY(answered);
        // Light text on the dark page.
        QVERIFY2(scheme.contains(QLatin1String("255")), qPrintable(scheme));
    }

    void escape_closesTheChangelogWindow()
    {
        create("Createchangelog2");
        QApplication::setActiveWindow(changelog());
        QTest::keyClick(changelog(), Qt::Key_Escape);
        QVERIFY(!changelog()->isVisible());
    }

    void ctrlA_selectsAllInBothMemos()
    {
        create("Createchangelog2");
        for (const char *name : {"Memo1", "Memo2"}) {
            QPlainTextEdit *edit = memo(name);
            edit->setFocus();
            QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
            QCOMPARE(edit->textCursor().selectedText().size(), edit->toPlainText().size());
        }
    }
};

QTEST_MAIN(ChangelogBrowserTest)
#include "changelog_browser_test.moc"
