#include "support/ListRows.h"
#include "zip/ZipArchiveChecks.h"

#include "app/Workspace.h"
#include "app/ui/MainWindow.h"
#include "housekeeping/BackupProject.h"
#include "support/TestSupport.h"

#include <QHeaderView>
#include <QListWidget>
#include <QTreeView>
#include <QtTest>

class FunctionsGuiTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void popupMenus_editBothLists();
    void columnClick_sortsTheCopyPairs();
    void menuCommands_runEachChoreAndSayHowItWent();

private:
    template<typename T>
    T *widget(const char *name) const { return m_window->findChild<T *>(QLatin1String(name)); }
    void trigger(const char *action) { widget<QAction>(action)->trigger(); }
    // Runs a Functions command and waits for its chore to end.
    void runChore(const char *action);
    QStringList copyRows() const;
    QString path(const QString &relative) const { return m_dir->filePath(relative); }

    IsolatedHome m_home;
    std::unique_ptr<QTemporaryDir> m_dir;
    ScriptedPrompts m_prompts;
    RecordingLauncher m_launcher;
    std::unique_ptr<Workspace> m_workspace;
    std::unique_ptr<MainWindow> m_window;
};

void FunctionsGuiTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_prompts = ScriptedPrompts();
    m_workspace = std::make_unique<Workspace>(path("settings"), m_prompts);
    m_window = std::make_unique<MainWindow>(*m_workspace, m_prompts, m_launcher);
    m_window->buildOtherPages();
}

void FunctionsGuiTest::cleanup()
{
    m_window.reset();
    m_workspace.reset();
}

void FunctionsGuiTest::runChore(const char *action)
{
    QVERIFY(widget<QAction>(action)->isEnabled());
    trigger(action);
    QTRY_VERIFY_WITH_TIMEOUT(!m_window->isChoreRunning(), 30000);
}

QStringList FunctionsGuiTest::copyRows() const
{
    QStringList rows;
    auto *list = widget<QTreeView>("ListView4");
    for (int row = 0; row < rowCount(list); ++row)
        rows.append(cellText(list, row, 0) + " > " + cellText(list, row, 1));
    return rows;
}

void FunctionsGuiTest::popupMenus_editBothLists()
{
    m_prompts.answers = {"/src/a.txt", "/dst/a.txt", "/src/b.txt", std::nullopt};
    trigger("Newfile1");
    trigger("Newfile1"); // the copy's name is cancelled
    m_prompts.answers = {"/from", "/to", "/z/b", "/z/A"};
    trigger("Newfolder1");
    trigger("Newfolder2");
    trigger("Newfolder2");
    QCOMPARE(copyRows(), (QStringList{"/src/a.txt > /dst/a.txt", "/from/ > /to/"}));
    QCOMPARE(m_prompts.folderTitles, (QStringList{"From:", "To:", "Zip folder", "Zip folder"}));
    auto *zipList = widget<QListWidget>("ListBox4");
    QCOMPARE(m_workspace->project.data().zipFolders, (QStringList{"/z/A/", "/z/b/"}));
    QCOMPARE(zipList->item(1)->text(), "/z/b/");

    zipList->item(0)->setSelected(true);
    QTest::keyClick(zipList, Qt::Key_Delete);
    QCOMPARE(m_workspace->project.data().zipFolders, QStringList{"/z/b/"});
    auto *copyList = widget<QTreeView>("ListView4");
    selectRow(copyList, 1);
    QTest::keyClick(copyList, Qt::Key_Delete);
    QCOMPARE(copyRows(), QStringList{"/src/a.txt > /dst/a.txt"});
    selectRow(copyList, 0);
    trigger("Delete4");
    QCOMPARE(copyRows(), QStringList());
}

// As after a load, the key is 1: a first click on "From" sorts descending, a second ascending,
// and "To" then sorts ascending by the target. Letters differing only in case compare equal.
void FunctionsGuiTest::columnClick_sortsTheCopyPairs()
{
    m_workspace->project.setCopies({{"/b", "/y"}, {"/A", "/z"}, {"/a", "/x"}});
    m_workspace->project.sortList(ProjectList::Copies, 1);
    QCOMPARE(copyRows(), (QStringList{"/A > /z", "/a > /x", "/b > /y"}));
    QHeaderView *header = widget<QTreeView>("ListView4")->header();
    const auto click = [header](int column) {
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
    };
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    widget<QTabWidget>("PageControl2")->setCurrentWidget(widget<QWidget>("TabSheet11"));
    click(0);
    QCOMPARE(copyRows(), (QStringList{"/b > /y", "/A > /z", "/a > /x"}));
    click(0);
    QCOMPARE(copyRows(), (QStringList{"/A > /z", "/a > /x", "/b > /y"}));
    click(1);
    QCOMPARE(copyRows(), (QStringList{"/a > /x", "/b > /y", "/A > /z"}));
}

void FunctionsGuiTest::menuCommands_runEachChoreAndSayHowItWent()
{
    const QString file = writeFile(path("proj/a.txt"), "a");
    writeFile(path("proj/src/main.c"), "int main() {}");
    Project &project = m_workspace->project;
    project.setName("Demo");
    project.setProjectFolder(path("proj"));
    project.setIncludeSubfolders(true);
    project.setBackupFolder(path("bak/"));
    project.setZipWithFolderNames(true);
    project.setCopies({{file, path("proj/release/copy.txt")}});
    project.setZipFolders({path("proj/release/")});

    runChore("Copyfiles1");
    QCOMPARE(readFile(path("proj/release/copy.txt")), "a");
    runChore("Zipfolders1");
    QCOMPARE(ZipArchiveChecks::validate(path("proj/release.zip")), QString());
    QCOMPARE(m_prompts.messages, (QStringList{"Finished", "Finished"}));

    QFile::remove(path("proj/release.zip"));
    QFile::remove(path("proj/release/copy.txt"));
    runChore("FirstCopythenzip1");
    QCOMPARE(m_prompts.messages.size(), 3);
    QList<ArchiveEntry> entries;
    QCOMPARE(ZipArchiveChecks::parse(readFile(path("proj/release.zip")), entries), QString());
    QCOMPARE(entries.size(), 1);
    QCOMPARE(entries.first().name, "copy.txt");

    runChore("Backuptheproject1");
    const QString dated = path("bak/") + backupDateStamp(QDate::currentDate(), QLocale::system());
    QCOMPARE(readFile(dated + "/src/main.c"), "int main() {}");
    QCOMPARE(readFile(dated + "/release.zip"), readFile(path("proj/release.zip")));
    QCOMPARE(m_prompts.messages.size(), 4);
    QCOMPARE(m_prompts.errors, QStringList());

    // What fails is said, with the reason; a chore that cannot start says why.
    QVERIFY(QDir().mkpath(path("taken")));
    project.setCopies({{file, path("taken")}});
    runChore("Copyfiles1");
    project.setBackupFolder(QString());
    runChore("Backuptheproject1");
    QCOMPARE(m_prompts.errors.size(), 2);
    QCOMPARE(m_prompts.errors.first(), "Finished, but 1 file could not be copied:\n\n" + path("taken")
                                           + ": Is a directory");
    QVERIFY2(m_prompts.errors.last().startsWith("No backup folder is set"), qPrintable(m_prompts.errors.last()));
    QCOMPARE(m_prompts.messages.size(), 4);
}

QTEST_MAIN(FunctionsGuiTest)
#include "functions_gui_test.moc"
