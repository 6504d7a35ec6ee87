#include "app/ui/DesktopLauncher.h"
#include "project/Error.h"
#include "project/ProjectFile.h"
#include "support/TestSupport.h"
#include "support/WindowFixture.h"

#include <QDesktopServices>
#include <QDir>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QStandardPaths>
#include <QtTest>

// Stands in for the desktop's handler of the schemes the launcher hands over.
class UrlRecorder : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> urls;

public Q_SLOTS:
    void open(const QUrl &url) { urls.append(url); }
};

class ToolsGuiTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void newTool_sortsIntoListAndMenu();
    void menuEntry_startsRealPathWithAmpersand();
    void toolsMenu_disabledWhileEmptyAndOpensAfterEveryChange();
    void deleteKey_removesOneOfTwoEqualTools();
    void loadTheProject_opensMainFileEvenEmpty();
    void loadProject_buildsMenuAndScans();
    void desktopLauncher_startsExecutableDetached();
    void desktopLauncher_reportsWhatXdgOpenCouldNotOpen();
    void desktopLauncher_handsOtherTargetsToDesktop_data();
    void desktopLauncher_handsOtherTargetsToDesktop();
    void desktopLauncher_namesTargetNoProgramOpens();

private:
    QStringList menuCaptions() const;
    QStringList listed() const;
    void addTools(const QStringList &paths);

    IsolatedHome m_home;
    QTemporaryDir m_dir;
    std::unique_ptr<WindowFixture> m_fixture;
};

void ToolsGuiTest::init()
{
    m_fixture = std::make_unique<WindowFixture>(m_dir.path());
    m_fixture->window.buildOtherPages();
}

void ToolsGuiTest::cleanup()
{
    m_fixture.reset();
}

QStringList ToolsGuiTest::menuCaptions() const
{
    QStringList captions;
    for (const QAction *entry : m_fixture->window.toolsMenu()->actions())
        captions.append(entry->text());
    return captions;
}

QStringList ToolsGuiTest::listed() const
{
    QStringList texts;
    auto *list = m_fixture->widget<QListWidget>("ListBox5");
    for (int row = 0; row < list->count(); ++row)
        texts.append(list->item(row)->text());
    return texts;
}

void ToolsGuiTest::addTools(const QStringList &paths)
{
    for (const QString &path : paths) {
        m_fixture->prompts.answers.push_back(path);
        m_fixture->trigger("Newscripttool1");
    }
}

void ToolsGuiTest::newTool_sortsIntoListAndMenu()
{
    QVERIFY(menuCaptions().isEmpty());
    addTools({"/opt/zed", "/opt/Build.sh", "/opt/apt", "/opt/zed"});
    m_fixture->trigger("Newscripttool1"); // cancelled

    const QStringList sorted{"/opt/apt", "/opt/Build.sh", "/opt/zed", "/opt/zed"};
    QCOMPARE(listed(), sorted);
    QCOMPARE(menuCaptions(), sorted);

    m_fixture->trigger("Runallscripts1");
    QCOMPARE(m_fixture->launcher.opened, sorted);
    QVERIFY(m_fixture->prompts.messages.isEmpty());

    // A tool no program opens is named; the tools after it still start.
    m_fixture->launcher.opened.clear();
    m_fixture->launcher.unopenable = QStringList{"/opt/Build.sh"};
    m_fixture->trigger("Runallscripts1");
    QCOMPARE(m_fixture->launcher.opened, (QStringList{"/opt/apt", "/opt/zed", "/opt/zed"}));
    QCOMPARE(m_fixture->prompts.errors, QStringList{"Cannot open /opt/Build.sh: no program is set up to open it."});
}

void ToolsGuiTest::menuEntry_startsRealPathWithAmpersand()
{
    addTools({"/opt/R&D/tool&go.sh", "/opt/a.sh"});
    QCOMPARE(menuCaptions(), (QStringList{"/opt/a.sh", "/opt/R&&D/tool&&go.sh"}));

    m_fixture->window.toolsMenu()->actions().at(1)->trigger();
    m_fixture->trigger("Runallscripts1");
    QCOMPARE(m_fixture->launcher.opened, (QStringList{"/opt/R&D/tool&go.sh", "/opt/a.sh", "/opt/R&D/tool&go.sh"}));

    m_fixture->workspace.commands.newProject();
    QVERIFY(menuCaptions().isEmpty());
}

void ToolsGuiTest::toolsMenu_disabledWhileEmptyAndOpensAfterEveryChange()
{
    QVERIFY(m_fixture->show());
    QMenu *menu = m_fixture->window.toolsMenu();
    auto open = [this, menu] {
        m_fixture->window.menuBar()->setActiveAction(menu->menuAction());
        const bool shown = QTest::qWaitFor([menu] { return menu->isVisible(); }, 500);
        menu->close();
        return shown;
    };
    QVERIFY(!menu->menuAction()->isEnabled());
    QVERIFY(!open());

    addTools({"/opt/a.sh"});
    QVERIFY(menu->menuAction()->isEnabled());
    QVERIFY(open());

    m_fixture->workspace.commands.newProject();
    QVERIFY(!menu->menuAction()->isEnabled());
    addTools({"/opt/b.sh"});
    QVERIFY(open());
}

void ToolsGuiTest::deleteKey_removesOneOfTwoEqualTools()
{
    addTools({"/opt/b", "/opt/a", "/opt/b"});
    auto *list = m_fixture->widget<QListWidget>("ListBox5");
    list->item(2)->setSelected(true);
    QTest::keyClick(list, Qt::Key_Delete);
    QCOMPARE(listed(), (QStringList{"/opt/a", "/opt/b"}));
    QCOMPARE(menuCaptions(), listed());

    list->clearSelection();
    m_fixture->trigger("Delete7");
    QCOMPARE(listed().size(), 2);
}

void ToolsGuiTest::loadTheProject_opensMainFileEvenEmpty()
{
    m_fixture->trigger("Opentheproject1");
    m_fixture->workspace.project.setMainFile(QStringLiteral("/work/app.pro"));
    m_fixture->trigger("Opentheproject1");
    QCOMPARE(m_fixture->launcher.opened, (QStringList{QString(), "/work/app.pro"}));
}

void ToolsGuiTest::loadProject_buildsMenuAndScans()
{
    addTools({"/opt/old"});
    ProjectData data;
    data.tools = QStringList{"/opt/b&c", "/opt/A"};
    data.tempExtensions = QStringList{".o"};
    data.projectFolder = m_dir.filePath(QStringLiteral("src"));
    writeFile(m_dir.filePath(QStringLiteral("src/main.o")), "x");
    const QString file = m_dir.filePath(QStringLiteral("tools.dev"));
    ProjectFile::write(file, data);

    m_fixture->workspace.commands.load(file);

    QCOMPARE(menuCaptions(), (QStringList{"/opt/A", "/opt/b&&c"}));
    QVERIFY(waitForListing(m_fixture->workspace.tempFiles));
    QCOMPARE(m_fixture->workspace.tempFiles.found(), QStringList{m_dir.filePath(QStringLiteral("src/main.o"))});
}

void ToolsGuiTest::desktopLauncher_startsExecutableDetached()
{
    // The script reports its arguments and working folder, then its marker appears.
    const QString marker = m_dir.filePath(QStringLiteral("marker"));
    const QString script = writeFile(m_dir.filePath(QStringLiteral("tool & co.sh")),
                                     "#!/bin/sh\necho \"$# $(pwd)\" > \"$0.tmp\" && mv \"$0.tmp\" \"" + marker.toUtf8()
                                         + "\"\n");
    QVERIFY(QFile::setPermissions(script, QFile::permissions(script) | QFileDevice::ExeOwner));

    DesktopLauncher launcher;
    launcher.open(script);

    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(marker), 10000);
    QCOMPARE(readFile(marker).trimmed(), "0 " + QDir::currentPath().toUtf8());
}

void ToolsGuiTest::desktopLauncher_handsOtherTargetsToDesktop_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("executableDocument");
    QTest::addColumn<QList<QUrl>>("handed");

    const QString document = m_dir.filePath(QStringLiteral("notes.txt"));
    const QString missing = m_dir.filePath(QStringLiteral("gone.pro"));
    const QString relative = QStringLiteral("no-such-tool.sh");
    QTest::newRow("document with the executable flag") << document << true << QList{QUrl::fromLocalFile(document)};
    QTest::newRow("missing file") << missing << false << QList{QUrl::fromLocalFile(missing)};
    QTest::newRow("missing file, relative name")
        << relative << false << QList{QUrl::fromLocalFile(QDir::current().absoluteFilePath(relative))};
    QTest::newRow("mailto with a blank") << "mailto:bob @example.org" << false
                                         << QList{QUrl(QStringLiteral("mailto:bob @example.org"))};
    QTest::newRow("empty") << QString() << false << QList<QUrl>{};
}

void ToolsGuiTest::desktopLauncher_handsOtherTargetsToDesktop()
{
    QFETCH(QString, target);
    QFETCH(bool, executableDocument);
    QFETCH(QList<QUrl>, handed);
    if (executableDocument) {
        writeFile(target, "plain text, no program\n");
        QVERIFY(QFile::setPermissions(target, QFile::permissions(target) | QFileDevice::ExeOwner));
    }
    UrlRecorder desktop;
    for (const QString scheme : {"file", "mailto", "http", "https"})
        QDesktopServices::setUrlHandler(scheme, &desktop, "open");
    const auto unset = qScopeGuard([] {
        for (const QString scheme : {"file", "mailto", "http", "https"})
            QDesktopServices::unsetUrlHandler(scheme);
    });

    DesktopLauncher().open(target);

    QCOMPARE(desktop.urls, handed);
}

void ToolsGuiTest::desktopLauncher_namesTargetNoProgramOpens()
{
    // A desktop without any program to hand documents or links to.
    QTemporaryDir emptyPath;
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", emptyPath.path().toLocal8Bit());
    qunsetenv("BROWSER");
    qunsetenv("DEFAULT_BROWSER");
    const auto restore = qScopeGuard([&path] { qputenv("PATH", path); });
    const QString document = writeFile(m_dir.filePath(QStringLiteral("readme.txt")), "text\n");

    try {
        DesktopLauncher().open(document);
        QFAIL("no error for a document that nothing opens");
    } catch (const Error &error) {
        QCOMPARE(error.message(), "Cannot open " + document + ": no program is set up to open it.");
    }
}

// On the free desktops the answer comes from xdg-open after open() returned. A missing file
// starts no program, whatever the machine has installed.
void ToolsGuiTest::desktopLauncher_reportsWhatXdgOpenCouldNotOpen()
{
    if (QStandardPaths::findExecutable(QStringLiteral("xdg-open")).isEmpty())
        QSKIP("xdg-open (xdg-utils) is not installed");
    QStringList reported;
    DesktopLauncher launcher([&reported](const Error &error) { reported.append(error.message()); });
    const QString missing = m_dir.filePath(QStringLiteral("gone.pro"));

    launcher.open(missing);

    QTRY_COMPARE_WITH_TIMEOUT(reported, QStringList{"Cannot open " + missing + ": it does not exist."}, 10000);
}

QTEST_MAIN(ToolsGuiTest)
#include "tools_gui_test.moc"
