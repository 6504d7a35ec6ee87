#include "app/ClockText.h"
#include "workspace/Workspace.h"
#include "app/ui/MainWindow.h"
#include "project/Error.h"
#include "project/TextFile.h"
#include "project/ui/FolderBrowser.h"
#include "support/ListRows.h"
#include "support/TestSupport.h"
#include "support/WindowFixture.h"
#include "app/ui/QtPrompts.h"
#include "widgets/ScreenFit.h"

#include <QtTest>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QToolButton>
#include <QStackedWidget>
#include <QTextEdit>
#include <QTreeView>
#include <QWindow>

namespace {

const QByteArray kProject =
    "/b\r\n/p\r\nDemo\r\n2.0\r\n/p/main.c\r\n/b\r\nF\r\nT\r\n"
    "1\r\n2\r\n1\r\n0\r\n0\r\n0\r\n1\r\n3\r\n0\r\n1\r\n"
    "Ann\r\nann@x.org\r\n\r\n\r\n\r\n\r\n"
    ".bak\r\n.tmp\r\n"
    "/p/a\r\n/q/a\r\n"
    "Described\r\n"
    "8\r\n4\r\n0\r\n-1\r\n1.0\r\nDone\r\n\r\n\r\n"
    "10\r\n5\r\n3\r\n7\r\n2.0\r\nWorking\r\n\r\n\r\n"
    "11\r\n6\r\n1\r\n-1\r\n2.0\r\nOpen\r\n\r\n\r\n"
    "remember\r\n";

} // namespace

class MainWindowTest : public QObject
{
    Q_OBJECT

private:
    IsolatedHome m_home;
    ScriptedPrompts m_prompts;
    RecordingLauncher m_launcher;

    template<typename T>
    static T *find(const QWidget &window, const char *name)
    {
        T *widget = window.findChild<T *>(QLatin1String(name));
        if (!widget)
            qFatal("no widget %s", name);
        return widget;
    }

private Q_SLOTS:
    void oldProjects_loadFillsViewsAndCtrlSSavesSameBytes_data()
    {
        QTest::addColumn<bool>("pagesBeforeLoad");
        QTest::newRow("pages made before the load") << true;
        QTest::newRow("pages made after the load") << false;
    }

    void oldProjects_loadFillsViewsAndCtrlSSavesSameBytes()
    {
        QFETCH(bool, pagesBeforeLoad);
        QTemporaryDir dir;
        const QString path = writeFile(dir.filePath(QStringLiteral("R&D/demo.dev")), kProject);
        const QString settings = dir.filePath(QStringLiteral("settings/"));
        QDir().mkpath(settings);
        TextFile::writeLines(settings + QStringLiteral("LastOpen.dat"), {path, dir.filePath(QStringLiteral("missing.dev"))});

        Workspace ws(settings, m_prompts);
        MainWindow window(ws, m_prompts, m_launcher);
        if (pagesBeforeLoad)
            window.buildOtherPages();
        QMenu *oldProjects = window.action(QStringLiteral("OldProjects1"))->menu();
        QCOMPARE(oldProjects->actions().size(), 1);
        QCOMPARE(oldProjects->actions().first()->text(), QString(path).replace(QStringLiteral("&"), QStringLiteral("&&")));
        QSignalSpy loaded(&ws.commands, &ProjectCommands::loaded);
        oldProjects->actions().first()->trigger();
        QTRY_COMPARE(loaded.count(), 1);
        QVERIFY(m_prompts.errors.isEmpty());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        QCOMPARE(find<QLabel>(window, "Label1")->text(), QStringLiteral("Demo"));
        QCOMPARE(find<QLabel>(window, "StatusPanel1")->text(), QStringLiteral("Demo - (2 tasks to do)"));
        QCOMPARE(find<QLineEdit>(window, "Edit2")->text(), QStringLiteral("/p"));
        QVERIFY(find<QCheckBox>(window, "CheckBox2")->isChecked());
        QCOMPARE(cellText(find<QTreeView>(window, "ListView3"), 0, 1), QStringLiteral("ann@x.org"));
        QCOMPARE(find<QListWidget>(window, "ListBox3")->count(), 2);
        QCOMPARE(cellText(find<QTreeView>(window, "ListView4"), 0, 1), QStringLiteral("/q/a"));
        auto *todos = find<QTreeView>(window, "ListView2");
        QCOMPARE(rowCount(todos), 3);
        QCOMPARE(cellText(todos, 2, 5), QStringLiteral("Open"));
        QVERIFY(!cellIcon(todos, 1, 3).isNull());
        QVERIFY(cellIcon(todos, 0, 3).isNull());
        QCOMPARE(find<QTextEdit>(window, "Editor")->toPlainText(), QStringLiteral("Described"));
        QCOMPARE(find<QPlainTextEdit>(window, "Memo1")->toPlainText(), QStringLiteral("remember"));

        QFile::remove(path);
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTest::keyClick(&window, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(readFile(path), kProject);
    }

    void typing_followsIntoTheProjectAndPanels()
    {
        QTemporaryDir dir;
        Workspace ws(dir.filePath(QStringLiteral("settings/")), m_prompts);
        MainWindow window(ws, m_prompts, m_launcher);
        window.buildOtherPages();
        window.show();
        QCOMPARE(find<QLabel>(window, "Label1")->text(), QStringLiteral("Project name"));
        auto *name = find<QLineEdit>(window, "Edit4");
        QTest::keyClicks(name, QStringLiteral("Ab"));
        QCOMPARE(ws.project.data().name, QStringLiteral("Ab"));
        QCOMPARE(find<QLabel>(window, "Label1")->text(), QStringLiteral("Ab"));
        QCOMPARE(find<QLabel>(window, "StatusPanel1")->text(), QStringLiteral("Ab - (0 tasks to do)"));
        name->selectAll();
        QTest::keyClick(name, Qt::Key_Delete);
        QCOMPARE(find<QLabel>(window, "StatusPanel1")->text(), QStringLiteral(" - (0 tasks to do)"));

        auto *memo = find<QPlainTextEdit>(window, "Memo1");
        QTest::keyClicks(memo, QStringLiteral("one"));
        QTest::keyClick(memo, Qt::Key_Return);
        QTest::keyClicks(memo, QStringLiteral("two"));
        QCOMPARE(ws.project.data().notes, (QStringList{"one", "two"}));

        m_prompts.answers = {QStringLiteral("discard")};
        window.action(QStringLiteral("NewProject1"))->trigger();
        QVERIFY(ws.project.data().notes.isEmpty());
        QVERIFY(find<QPlainTextEdit>(window, "Memo1")->toPlainText().isEmpty());
    }

    void newProject_clearsTheTaskCountOfAProjectWithoutName()
    {
        QTemporaryDir dir;
        Workspace ws(dir.filePath(QStringLiteral("settings/")), m_prompts);
        MainWindow window(ws, m_prompts, m_launcher);
        window.buildOtherPages();
        QDir().mkpath(ws.appDataFolder);
        QByteArray unnamed = kProject;
        unnamed.replace("Demo\r\n", "\r\n");
        ws.commands.load(writeFile(dir.filePath(QStringLiteral("unnamed.dev")), unnamed));
        auto *panel = find<QLabel>(window, "StatusPanel1");
        QCOMPARE(panel->text(), QStringLiteral(" - (2 tasks to do)"));
        window.action(QStringLiteral("NewProject1"))->trigger();
        QCOMPARE(panel->text(), QStringLiteral(" - (0 tasks to do)"));
    }

    // Two projects of the same name are told apart by their files: the title names the file,
    // with an asterisk while there are unsaved changes, and the title label shows its whole path.
    void title_namesTheProjectFile()
    {
        QTemporaryDir dir;
        Workspace ws(dir.filePath(QStringLiteral("settings/")), m_prompts);
        MainWindow window(ws, m_prompts, m_launcher);
        QDir().mkpath(ws.appDataFolder);
        // The title as the desktop gets it, with the asterisk resolved.
        window.winId();
        const auto shownTitle = [&window] { return window.windowHandle()->title(); };
        QCOMPARE(shownTitle(), QStringLiteral("Trovas"));

        const QString path = writeFile(dir.filePath(QStringLiteral("a [*] b/perf.dev")), kProject);
        ws.commands.load(path);
        QCOMPARE(shownTitle(), QStringLiteral("perf.dev - Trovas"));
        QCOMPARE(find<QLabel>(window, "Label1")->toolTip(), QDir::toNativeSeparators(path));
        ws.project.setVersion(QStringLiteral("2.1"));
        QCOMPARE(shownTitle(), QStringLiteral("perf.dev* - Trovas"));

        const QString other = dir.filePath(QStringLiteral("perf [*] copy.dev"));
        m_prompts.answers = {other};
        window.action(QStringLiteral("Saveproject1"))->trigger();
        QCOMPARE(shownTitle(), QStringLiteral("perf [*] copy.dev - Trovas"));
        QCOMPARE(find<QLabel>(window, "Label1")->toolTip(), QDir::toNativeSeparators(other));
        // A save under a new name that is cancelled leaves the project without a file.
        m_prompts.answers = {std::nullopt};
        window.action(QStringLiteral("Saveproject1"))->trigger();
        QCOMPARE(shownTitle(), QStringLiteral("Trovas"));
        QVERIFY(find<QLabel>(window, "Label1")->toolTip().isEmpty());
    }

    // An edit that leaves the text as it was (a formatting change, a letter typed and taken
    // back) must leave the stored lines as they were, empty lines included.
    void documents_keepTheirLinesThroughEditsThatRestoreTheText_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("two empty lines") << QStringList{"", ""};
        QTest::newRow("trailing empty line") << QStringList{"a", ""};
        QTest::newRow("leading and inner empty lines") << QStringList{"", "a", "", "b"};
    }
    void documents_keepTheirLinesThroughEditsThatRestoreTheText()
    {
        QFETCH(QStringList, lines);
        QTemporaryDir dir;
        Workspace ws(dir.filePath(QStringLiteral("settings/")), m_prompts);
        MainWindow window(ws, m_prompts, m_launcher);
        window.buildOtherPages();
        ws.project.setDescription(lines);
        ws.project.setNotes(lines);

        auto *editor = find<QTextEdit>(window, "Editor");
        editor->selectAll();
        QTextCharFormat bold;
        bold.setFontWeight(QFont::Bold);
        editor->mergeCurrentCharFormat(bold);
        auto *memo = find<QPlainTextEdit>(window, "Memo1");
        memo->moveCursor(QTextCursor::End);
        QTest::keyClick(memo, Qt::Key_X);
        QTest::keyClick(memo, Qt::Key_Backspace);

        QCOMPARE(ws.project.data().description, lines);
        QCOMPARE(ws.project.data().notes, lines);
    }

    void pickers_setTheirFields()
    {
        QTemporaryDir dir;
        Workspace ws(dir.filePath(QStringLiteral("settings/")), m_prompts);
        MainWindow window(ws, m_prompts, m_launcher);
        window.buildOtherPages();
        m_prompts.answers = {QStringLiteral("/src/app/main.c"), QStringLiteral("/other/x.c"), QStringLiteral("/backup"),
                             std::nullopt};
        find<QAbstractButton>(window, "SpeedButton3")->click();
        QCOMPARE(ws.project.data().mainFile, QStringLiteral("/src/app/main.c"));
        QCOMPARE(ws.project.data().projectFolder, QStringLiteral("/src/app/"));
        find<QAbstractButton>(window, "SpeedButton3")->click();
        QCOMPARE(ws.project.data().projectFolder, QStringLiteral("/src/app/"));
        find<QAbstractButton>(window, "SpeedButton2")->click();
        QCOMPARE(find<QLineEdit>(window, "Edit3")->text(), QStringLiteral("/backup"));
        find<QAbstractButton>(window, "SpeedButton1")->click();
        QCOMPARE(ws.project.data().projectFolder, QString());
    }

    // Under the folder field: the full path a relative folder stands for, and why a folder that no
    // chore takes is refused; nothing for a plain full path.
    void projectFolderField_saysWhatTheChoresTake_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("hint");
        QTest::newRow("relative") << "proj" << "Taken from the folder of the project file: <dir>/proj";
        QTest::newRow("system folder")
            << "/etc/app/" << "The folder \"/etc/app/\" is inside the operating system's folder /etc";
        QTest::newRow("full path") << "<dir>/proj" << "";
    }
    void projectFolderField_saysWhatTheChoresTake()
    {
        QFETCH(QString, folder);
        QFETCH(QString, hint);
        QTemporaryDir dir;
        Workspace ws(dir.filePath(QStringLiteral("settings/")), m_prompts);
        MainWindow window(ws, m_prompts, m_launcher);
        window.buildOtherPages();
        ws.project.setPath(dir.filePath(QStringLiteral("demo.dev")));
        ws.project.setProjectFolder(folder.replace(QStringLiteral("<dir>"), dir.path()));
        const auto *label = find<QLabel>(window, "ProjectFolderHint");
        QCOMPARE(label->isHidden(), hint.isEmpty());
        if (!hint.isEmpty())
            QVERIFY2(label->text().startsWith(hint.replace(QStringLiteral("<dir>"), dir.path())), qPrintable(label->text()));
    }

    void mainFilePicker_givesTheFileFolderEndingInOneSeparator_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("folder");
        QTest::newRow("in a folder") << "/src/app/main.c" << "/src/app/";
        QTest::newRow("in the root") << "/main.c" << "/";
    }
    void mainFilePicker_givesTheFileFolderEndingInOneSeparator()
    {
        QFETCH(QString, file);
        QFETCH(QString, folder);
        QTemporaryDir dir;
        Workspace ws(dir.filePath(QStringLiteral("settings/")), m_prompts);
        MainWindow window(ws, m_prompts, m_launcher);
        window.buildOtherPages();
        m_prompts.answers = {file};
        find<QAbstractButton>(window, "SpeedButton3")->click();
        QCOMPARE(ws.project.data().projectFolder, folder);
    }

    void navigation_switchesPageOnKeyRelease()
    {
        QTemporaryDir dir;
        Workspace ws(dir.filePath(QStringLiteral("settings/")), m_prompts);
        MainWindow window(ws, m_prompts, m_launcher);
        window.buildOtherPages();
        window.show();
        auto *navigation = find<QListWidget>(window, "ListView1");
        auto *pages = find<QStackedWidget>(window, "PageControl1");
        QCOMPARE(pages->currentWidget()->objectName(), QStringLiteral("TabSheet1"));
        navigation->setFocus();
        QTest::keyClick(navigation, Qt::Key_Down);
        QTest::keyClick(navigation, Qt::Key_Down);
        QCOMPARE(pages->currentWidget()->objectName(), QStringLiteral("TabSheet3"));
        navigation->clearSelection();
        QTest::keyClick(navigation, Qt::Key_Shift);
        QCOMPARE(pages->currentWidget()->objectName(), QStringLiteral("TabSheet3"));
    }

    void menus_haveEveryEntryAndDisableUnbuiltChores()
    {
        QTemporaryDir dir;
        Workspace ws(dir.filePath(QStringLiteral("settings/")), m_prompts);
        MainWindow window(ws, m_prompts, m_launcher);
        window.buildOtherPages();
        for (const char *name : {"NewProject1", "OpenProject1", "OldProjects1", "Save1", "Saveproject1", "Exit1",
                                 "Copyfiles1", "Zipfolders1", "FirstCopythenzip1", "Uploadfiles1",
                                 "Deletetemporaryfiles1", "Backuptheproject1", "Runallscripts1",
                                 "Opentheproject1", "Options1", "LAnguage1", "Info2"})
            QVERIFY2(window.action(QLatin1String(name)), name);
        QCOMPARE(window.action(QStringLiteral("Save1"))->shortcut(), QKeySequence(QStringLiteral("Ctrl+S")));
        QCOMPARE(window.action(QStringLiteral("FirstCopythenzip1"))->shortcut(), QKeySequence(QStringLiteral("Ctrl+Alt+C")));
    }

    // While a chore runs the window stays live but nothing can start a second one or change the
    // pages under it; Escape stops it and everything comes back.
    void chore_disablesCommandsAndPagesUntilEscapeStopsIt()
    {
        QTemporaryDir dir;
        Workspace ws(dir.filePath(QStringLiteral("settings/")), m_prompts);
        MainWindow window(ws, m_prompts, m_launcher);
        window.buildOtherPages();
        window.show();
        // Escape is the active window's key, also on a display without a window manager.
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        ws.project.setName(QStringLiteral("Demo"));
        QAction *deleteTemp = window.action(QStringLiteral("Deletetemporaryfiles1"));
        QAction *copy = window.action(QStringLiteral("Copyfiles1"));
        QVERIFY(deleteTemp->isEnabled());
        const bool copyBound = copy->isEnabled();

        std::optional<ChoreReport> ended;
        window.runChore(QStringLiteral("Working"), [](ChoreProgress &progress) {
            progress.setTotal(10);
            progress.addDone(4);
            progress.setStatus(QStringLiteral("Copying: a.txt"));
            progress.log(QStringLiteral("first"));
            progress.log(QStringLiteral("second"));
            while (!progress.isCancelled())
                QThread::msleep(1);
        }, [&ended](const ChoreReport &report) { ended = report; });

        auto *panel = find<QLabel>(window, "StatusPanel1");
        auto *bar = find<QProgressBar>(window, "ProgressBar1");
        QTRY_COMPARE(panel->text(), QStringLiteral("Demo ------- Copying: a.txt"));
        QCOMPARE(bar->value(), 4);
        auto *log = find<QListWidget>(window, "ListBox1");
        QTRY_COMPARE(log->count(), 2);
        QCOMPARE(log->item(0)->text(), QStringLiteral("second"));
        QVERIFY(!deleteTemp->isEnabled());
        // Opening another project asks whether to cancel the chore instead.
        QVERIFY(window.action(QStringLiteral("OpenProject1"))->isEnabled());
        QVERIFY(!find<QStackedWidget>(window, "PageControl1")->isEnabled());
        QVERIFY(find<QToolButton>(window, "CancelChore")->isVisible());
        QVERIFY_THROWS_EXCEPTION(Error, window.runChore(QString(), [](ChoreProgress &) {}, {}));

        QTest::keyClick(&window, Qt::Key_Escape);
        QTRY_VERIFY(ended.has_value());
        QVERIFY(ended->cancelled);
        QVERIFY(deleteTemp->isEnabled());
        QCOMPARE(copy->isEnabled(), copyBound);
        QVERIFY(find<QStackedWidget>(window, "PageControl1")->isEnabled());
        QVERIFY(!find<QToolButton>(window, "CancelChore")->isVisible());
        QCOMPARE(bar->value(), 0);
        QCOMPARE(panel->text(), QStringLiteral("Demo - (0 tasks to do)"));
    }

    void chore_errorIsShownAndWindowRestored()
    {
        QTemporaryDir dir;
        Workspace ws(dir.filePath(QStringLiteral("settings/")), m_prompts);
        MainWindow window(ws, m_prompts, m_launcher);
        window.buildOtherPages();
        m_prompts.errors.clear();
        bool doneRan = false;
        window.runChore(QString(), [](ChoreProgress &progress) {
            progress.addFailure(QStringLiteral("/a.txt"), QStringLiteral("Permission denied"));
            throw Error(QStringLiteral("Cannot create the folder /x: Permission denied"));
        }, [&doneRan](const ChoreReport &) { doneRan = true; });
        QTRY_VERIFY(!window.isChoreRunning());
        // What was passed over before the error is not lost with it.
        QCOMPARE(m_prompts.errors, QStringList{QStringLiteral("Cannot create the folder /x: Permission denied\n\n"
                                                              "Before that, these could not be handled:\n"
                                                              "/a.txt: Permission denied")});
        QVERIFY(!doneRan);
        QVERIFY(find<QStackedWidget>(window, "PageControl1")->isEnabled());
    }

    // What the first screen does not show is made once the window is up, or when first needed.
    void startup_makesHiddenWindowsLater()
    {
        QTemporaryDir dir;
        Workspace ws(dir.filePath(QStringLiteral("settings/")), m_prompts);
        MainWindow window(ws, m_prompts, m_launcher);
        QStringList windows;
        for (const QWidget *child : window.findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
            if (child->isWindow())
                windows << child->objectName();
        for (const char *later : {"TForm6", "TInfoForm", "TForm3", "TForm7", "TForm8", "TForm2"})
            QVERIFY2(!windows.contains(QLatin1String(later)), later);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        // The dialogs of the pages, the options window and the language chooser follow at once.
        for (const char *made : {"TForm3", "TForm7", "TForm8", "TForm2"})
            QTRY_VERIFY2(window.findChild<QWidget *>(QLatin1String(made)), made);
        QWidget *browser = window.folderBrowser();
        QCOMPARE(browser, window.findChild<QWidget *>(QStringLiteral("TForm6")));
        QCOMPARE(static_cast<QWidget *>(window.folderBrowser()), browser);
    }

    // The "?" windows open over the main window, not in a corner of the screen where they may
    // cover its menu bar.
    void helpWindows_openCentredOnTheMainWindow_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("windowName");
        QTest::newRow("Options") << "Options1" << "TForm8";
        QTest::newRow("Language") << "LAnguage1" << "TForm2";
        QTest::newRow("Info") << "Info2" << "TInfoForm";
    }
    void helpWindows_openCentredOnTheMainWindow()
    {
        QFETCH(QString, entry);
        QFETCH(QString, windowName);
        QTemporaryDir dir;
        Workspace ws(dir.filePath(QStringLiteral("settings/")), m_prompts);
        MainWindow window(ws, m_prompts, m_launcher);
        window.buildOtherPages();
        // Where the windows, centred on it, fit the screen.
        window.setGeometry(100, 100, 600, 400);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.action(entry)->trigger();
        auto *opened = find<QWidget>(window, qPrintable(windowName));
        QVERIFY(opened->isVisible());
        const QPoint offset = opened->geometry().center() - window.frameGeometry().center();
        QVERIFY2(qAbs(offset.x()) <= 2 && qAbs(offset.y()) <= 2, qPrintable(QStringLiteral("off by %1, %2").arg(offset.x()).arg(offset.y())));

        QApplication::setActiveWindow(opened);
        QTest::keyClick(opened, Qt::Key_Escape);
        QVERIFY(!opened->isVisible());
    }

    // Every question and message opens over the main window, as its child, not in a corner of
    // the screen: also where every window is fitted on the screen as the program does.
    void dialogs_openCentredOverTheWindow_data()
    {
        QTest::addColumn<std::function<void(Prompts &)>>("ask");
        QTest::newRow("message") << std::function([](Prompts &prompts) { prompts.message(QStringLiteral("Finished")); });
        QTest::newRow("warning") << std::function([](Prompts &prompts) { prompts.warning(QStringLiteral("Cancelled")); });
        QTest::newRow("question") << std::function([](Prompts &prompts) { prompts.question(QStringLiteral("Quit?")); });
        QTest::newRow("input") << std::function([](Prompts &prompts) {
            prompts.inputText(QStringLiteral("Extension"), QStringLiteral("Extension:"), QString());
        });
        QTest::newRow("password") << std::function([](Prompts &prompts) { prompts.askPassword(QStringLiteral("ann@host"), true, false); });
        QTest::newRow("save file") << std::function([](Prompts &prompts) { prompts.saveFile(QStringLiteral("All (*)")); });
    }

    void dialogs_openCentredOverTheWindow()
    {
        QFETCH(std::function<void(Prompts &)>, ask);
        ScreenFit fit;
        qApp->installEventFilter(&fit);
        QTemporaryDir dir;
        WindowFixture fixture(dir.filePath(QStringLiteral("settings")));
        fixture.window.setGeometry(100, 80, 600, 440);
        QVERIFY(fixture.showAndActivate());
        QtPrompts prompts;
        prompts.setParentWindow(&fixture.window);

        // What the dialog was while it showed: it may be gone once answered.
        const QWidget *parent = nullptr;
        QString title;
        QRect shownAt;
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&] {
            if (QWidget *modal = QApplication::activeModalWidget(); modal && modal->isVisible()) {
                parent = modal->parentWidget();
                title = modal->windowTitle();
                shownAt = modal->frameGeometry();
                QTest::keyClick(modal, Qt::Key_Escape);
            }
        });
        poll.start(50);
        ask(prompts);
        QCOMPARE(parent, &fixture.window);
        const QPoint offset = shownAt.center() - fixture.window.frameGeometry().center();
        QVERIFY2(offset.manhattanLength() <= 30, qPrintable(QStringLiteral("off by %1, %2").arg(offset.x()).arg(offset.y())));
        QVERIFY(!title.isEmpty());
    }

    // The Project panel keeps its 400 pixels while the count fits beside it, and otherwise
    // narrows: the files count stays whole and the two texts never run over each other.
    void statusBar_filesCountStaysWholeBesideTheProjectPanel_data()
    {
        QTest::addColumn<QString>("files");
        QTest::addColumn<bool>("projectPanelWhole");
        QTest::newRow("short count") << "Files" << true;
        QTest::newRow("usual count") << "Contains 0 files with 0 temp. files" << false;
        QTest::newRow("long count") << "Contains 1234567 files with 123456 temp. files" << false;
    }
    void statusBar_filesCountStaysWholeBesideTheProjectPanel()
    {
        QFETCH(QString, files);
        QFETCH(bool, projectPanelWhole);
        QTemporaryDir dir;
        Workspace ws(dir.filePath(QStringLiteral("settings/")), m_prompts);
        MainWindow window(ws, m_prompts, m_launcher);
        window.buildOtherPages();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        // As a listing shows it: first "Listing…", then the count.
        window.setFilesPanel(QStringLiteral("Listing…"));
        QCoreApplication::sendPostedEvents();
        window.setFilesPanel(files);
        QCoreApplication::sendPostedEvents(); // the status bar lays its panels out anew
        const QLabel *project = find<QLabel>(window, "StatusPanel1");
        const QLabel *count = find<QLabel>(window, "StatusPanel2");
        QCOMPARE(project->width() == 400, projectPanelWhole);
        QVERIFY(count->x() > project->geometry().right());
        QVERIFY(count->width() >= count->minimumSizeHint().width());
        QVERIFY2(count->fontMetrics().horizontalAdvance(files) <= count->contentsRect().width(),
                 qPrintable(QStringLiteral("%1 of %2").arg(count->contentsRect().width()).arg(count->fontMetrics().horizontalAdvance(files))));
    }

    // A long name is cut with "…" where it has no room; the window keeps its size.
    void longTexts_neverWidenTheWindow()
    {
        QTemporaryDir dir;
        Workspace ws(dir.filePath(QStringLiteral("settings/")), m_prompts);
        MainWindow window(ws, m_prompts, m_launcher);
        window.buildOtherPages();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QSize size = window.size();
        const QString name = QStringLiteral("A project name far longer than any window is wide ").repeated(6);
        ws.project.setName(name);
        window.setFilesPanel(QStringLiteral("Contains 1234567890 files with 1234567890 temp. files ").repeated(4));
        QCoreApplication::sendPostedEvents();
        QCOMPARE(window.size(), size);
        QVERIFY(window.minimumSizeHint().width() < size.width());
        QCOMPARE(find<QLabel>(window, "Label1")->text(), name);

        ws.project.setName(QStringLiteral("Short"));
        QCoreApplication::sendPostedEvents();
        QCOMPARE(window.size(), size);
    }

    void clock_showsHoursMinutesAndAmPm_data()
    {
        QTest::addColumn<QString>("localeName");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QTime>("time");
        QTest::newRow("24-hour") << "de_DE" << "14:05 --- 03.02.26" << QTime(14, 5, 33);
        QTest::newRow("12-hour, afternoon") << "en_US" << "2:05 PM --- 2/3/26" << QTime(14, 5, 33);
        QTest::newRow("12-hour, after midnight") << "en_US" << "12:12 AM --- 2/3/26" << QTime(0, 12, 9);
        QTest::newRow("seconds in the short format") << "C" << "14:05 --- 3 Feb 2026" << QTime(14, 5, 33);
    }
    void clock_showsHoursMinutesAndAmPm()
    {
        QFETCH(QString, localeName);
        QFETCH(QString, expected);
        QFETCH(QTime, time);
        // Some locales put a narrow no-break space before AM and PM.
        const QString shown = clockText(QDateTime(QDate(2026, 2, 3), time), QLocale(localeName));
        QCOMPARE(QString(shown).replace(QChar(0x202F), QLatin1Char(' ')), expected);
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_gui_test.moc"
