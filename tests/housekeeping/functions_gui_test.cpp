#include "support/ListRows.h"
#include "zip/ZipArchiveChecks.h"

#include "housekeeping/BackupFolders.h"
#include "housekeeping/BackupProject.h"
#include "housekeeping/BackupsToKeep.h"
#include "housekeeping/SpoiledCopies.h"
#include "support/TestSupport.h"
#include "support/WindowFixture.h"

#include <QHeaderView>
#include <QListWidget>
#include <QSpinBox>
#include <QToolButton>
#include <QTreeView>
#include <QtTest>

class FunctionsGuiTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void popupMenus_editBothLists();
    void folderBrowser_refusesWhatNoChoreTakes();
    void columnClick_sortsTheCopyPairs();
    void menuCommands_runEachChoreAndSayHowItWent();
    void menuCommands_sayWhatWasNotDone_data();
    void menuCommands_sayWhatWasNotDone();
    void cancelledBackup_saysTheFolderIsIncomplete();
    void backupsToKeep_setInTheOptionsWindow_removesTheOldest();

private:
    // Runs a Functions command and waits for its chore to end.
    void runChore(const char *action);
    QStringList copyRows() const;
    QString path(const QString &relative) const { return m_dir->filePath(relative); }

    IsolatedHome m_home;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<WindowFixture> m_fixture;
};

void FunctionsGuiTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_fixture = std::make_unique<WindowFixture>(path("settings"));
    m_fixture->window.buildOtherPages();
}

void FunctionsGuiTest::cleanup()
{
    m_fixture.reset();
}

void FunctionsGuiTest::runChore(const char *action)
{
    QVERIFY(m_fixture->widget<QAction>(action)->isEnabled());
    m_fixture->trigger(action);
    QTRY_VERIFY_WITH_TIMEOUT(!m_fixture->window.isChoreRunning(), 30000);
}

QStringList FunctionsGuiTest::copyRows() const
{
    QStringList rows;
    auto *list = m_fixture->widget<QTreeView>("ListView4");
    for (int row = 0; row < rowCount(list); ++row)
        rows.append(cellText(list, row, 0) + " > " + cellText(list, row, 1));
    return rows;
}

void FunctionsGuiTest::popupMenus_editBothLists()
{
    m_fixture->prompts.answers = {"/src/a.txt", "/dst/a.txt", "/src/b.txt", std::nullopt};
    m_fixture->trigger("Newfile1");
    m_fixture->trigger("Newfile1"); // the copy's name is cancelled
    m_fixture->prompts.answers = {"/from", "/to", "/z/b", "/z/A"};
    m_fixture->trigger("Newfolder1");
    m_fixture->trigger("Newfolder2");
    m_fixture->trigger("Newfolder2");
    // Neither list takes what it holds already.
    m_fixture->prompts.answers = {"/src/a.txt", "/dst/a.txt", "/from", "/to", "/z/b"};
    m_fixture->trigger("Newfile1");
    m_fixture->trigger("Newfolder1");
    m_fixture->trigger("Newfolder2");
    QCOMPARE(m_fixture->prompts.errors, (QStringList{"The list holds this already:\n/src/a.txt \u2192 /dst/a.txt",
                                                     "The list holds this already:\n/from/ \u2192 /to/",
                                                     "The list holds this already:\n/z/b/"}));
    QCOMPARE(copyRows(), (QStringList{"/src/a.txt > /dst/a.txt", "/from/ > /to/"}));
    QCOMPARE(m_fixture->prompts.folderTitles,
             (QStringList{"From:", "To:", "Zip folder", "Zip folder", "From:", "To:", "Zip folder"}));
    auto *zipList = m_fixture->widget<QListWidget>("ListBox4");
    QCOMPARE(m_fixture->workspace.project.data().zipFolders, (QStringList{"/z/A/", "/z/b/"}));
    QCOMPARE(zipList->item(1)->text(), "/z/b/");

    zipList->item(0)->setSelected(true);
    QTest::keyClick(zipList, Qt::Key_Delete);
    QCOMPARE(m_fixture->workspace.project.data().zipFolders, QStringList{"/z/b/"});
    auto *copyList = m_fixture->widget<QTreeView>("ListView4");
    selectRow(copyList, 1);
    QTest::keyClick(copyList, Qt::Key_Delete);
    QCOMPARE(copyRows(), QStringList{"/src/a.txt > /dst/a.txt"});
    selectRow(copyList, 0);
    m_fixture->trigger("Delete4");
    QCOMPARE(copyRows(), QStringList());
}

// A root or a system folder picked for the zip list or as a copy source is refused as it is
// picked, saying why; no folder picked adds nothing.
void FunctionsGuiTest::folderBrowser_refusesWhatNoChoreTakes()
{
    m_fixture->prompts.answers = {"/", "/etc", QString(), path("proj"), QString(), "/usr/lib"};
    for (int i = 0; i < 3; ++i)
        m_fixture->trigger("Newfolder2");
    m_fixture->trigger("Newfolder1"); // to no folder
    m_fixture->trigger("Newfolder1");

    QCOMPARE(m_fixture->workspace.project.data().zipFolders, QStringList());
    QCOMPARE(copyRows(), QStringList());
    const QStringList &errors = m_fixture->prompts.errors;
    QCOMPARE(errors.size(), 3);
    QVERIFY2(errors.at(0).startsWith("The folder \"/\" is the root of the file system"), qPrintable(errors.at(0)));
    QVERIFY2(errors.at(1).startsWith("The folder \"/etc\" is the operating system's folder /etc"), qPrintable(errors.at(1)));
    QVERIFY2(errors.at(2).contains("inside the operating system's folder /usr"), qPrintable(errors.at(2)));
}

// As after a load, the key is 1: a first click on "From" sorts descending, a second ascending,
// and "To" then sorts ascending by the target. Letters differing only in case compare equal.
void FunctionsGuiTest::columnClick_sortsTheCopyPairs()
{
    m_fixture->workspace.project.setCopies({{"/b", "/y"}, {"/A", "/z"}, {"/a", "/x"}});
    m_fixture->workspace.project.sortList(ProjectList::Copies, 1);
    QCOMPARE(copyRows(), (QStringList{"/A > /z", "/a > /x", "/b > /y"}));
    QHeaderView *header = m_fixture->widget<QTreeView>("ListView4")->header();
    const auto click = [header](int column) {
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
    };
    m_fixture->window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&m_fixture->window));
    m_fixture->showProjectTab("TabSheet11");
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
    Project &project = m_fixture->workspace.project;
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
    QCOMPARE(m_fixture->prompts.messages, (QStringList{"Finished", "Finished"}));

    QFile::remove(path("proj/release.zip"));
    QFile::remove(path("proj/release/copy.txt"));
    runChore("FirstCopythenzip1");
    QCOMPARE(m_fixture->prompts.messages.size(), 3);
    QList<ArchiveEntry> entries;
    QCOMPARE(ZipArchiveChecks::parse(readFile(path("proj/release.zip")), entries), QString());
    QCOMPARE(entries.size(), 1);
    QCOMPARE(entries.first().name, "copy.txt");

    runChore("Backuptheproject1");
    const QString dated = path("bak/") + backupDateStamp(QDate::currentDate(), QLocale::system());
    QCOMPARE(readFile(dated + "/src/main.c"), "int main() {}");
    QCOMPARE(readFile(dated + "/release.zip"), readFile(path("proj/release.zip")));
    QCOMPARE(m_fixture->prompts.messages.size(), 4);
    QCOMPARE(m_fixture->prompts.messages.last(), "Finished: backed up to \"" + dated + "\".");
    QCOMPARE(m_fixture->prompts.errors, QStringList());
    QCOMPARE(m_fixture->prompts.warnings, QStringList());

    // A chore that cannot start says why.
    project.setBackupFolder(QString());
    runChore("Backuptheproject1");
    QCOMPARE(m_fixture->prompts.errors.size(), 1);
    QVERIFY2(m_fixture->prompts.errors.last().startsWith("No backup folder is set"), qPrintable(m_fixture->prompts.errors.last()));
    QCOMPARE(m_fixture->prompts.messages.size(), 4);
}

// What each chore did not do is said at its end, with a warning, and the rest is done.
void FunctionsGuiTest::menuCommands_sayWhatWasNotDone_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("spoil");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("missing source") << "Copyfiles1" << "missing source"
                                    << QStringList{"Finished, but 1 file could not be copied:", "",
                                                   "<dir>/proj/gone.txt: source does not exist"};
    QTest::newRow("folder that cannot be created")
        << "Copyfiles1" << "blocked folder"
        << QStringList{"Finished, but 1 folder could not be copied:", "",
                       "<dir>/plain/sub/: cannot be created: Not a directory"};
    QTest::newRow("zip step skipped")
        << "FirstCopythenzip1" << "relative target"
        << QStringList{"The copy target on line 2 \"out/a.txt\" is not a full path, and the project has not been "
                       "saved yet, so there is no folder to take it from. Save the project first, or give it with its "
                       "folders from the top. Nothing was copied.",
                       "", "The folders were not zipped, since the copy stopped."};
}

void FunctionsGuiTest::menuCommands_sayWhatWasNotDone()
{
    QFETCH(QString, action);
    QFETCH(QString, spoil);
    QFETCH(QStringList, expected);
    expected.replaceInStrings("<dir>", m_dir->path());
    const QString file = writeFile(path("proj/a.txt"), "a");
    writeFile(path("plain"), "a file where a folder would go");
    const QList<CopyEntry> copies = spoiledCopies(*m_dir, file, spoil);
    Project &project = m_fixture->workspace.project;
    project.setCopies(copies);
    project.setZipFolders({path("out/")});

    runChore(qPrintable(action));

    QCOMPARE(m_fixture->prompts.messages, QStringList());
    QCOMPARE(m_fixture->prompts.errors, QStringList());
    QCOMPARE(m_fixture->prompts.warnings.size(), 1);
    QCOMPARE(m_fixture->prompts.warnings.first().split('\n'), expected);
    const bool copied = spoil != "relative target";
    QCOMPARE(QFile::exists(path("out/last.txt")), copied);
    QCOMPARE(QFile::exists(path("out.zip")), false);
    if (spoil == "missing source")
        QVERIFY(QFileInfo(path("out/gone")).isDir());
}

// Cancelled within a large file, the backup says how far it got and that its folder is no
// finished backup; the folder holds no half file and no marker.
void FunctionsGuiTest::cancelledBackup_saysTheFolderIsIncomplete()
{
    writeFile(path("proj/a.txt"), "a");
    QVERIFY(writeAllocatedFile(path("proj/zz/huge.bin"), qint64(1) << 30));
    Project &project = m_fixture->workspace.project;
    project.setProjectFolder(path("proj"));
    project.setIncludeSubfolders(true);
    project.setBackupFolder(path("bak"));
    const QString dated = path("bak/") + backupDateStamp(QDate::currentDate(), QLocale::system());

    m_fixture->trigger("Backuptheproject1");
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(dated + "/zz/huge.bin").size() > 1024 * 1024, 20000);
    m_fixture->widget<QToolButton>("CancelChore")->click();
    QTRY_VERIFY_WITH_TIMEOUT(!m_fixture->window.isChoreRunning(), 5000);

    QCOMPARE(m_fixture->prompts.warnings,
             QStringList{"Cancelled\n\n1 of 2 files were backed up. The folder \"" + dated
                         + "\" is incomplete: it does not count as a finished backup."});
    QCOMPARE(QDir(dated + "/zz").entryList(QDir::Files | QDir::Hidden), QStringList());
    QVERIFY(!QFile::exists(dated + "/.trovas-backup"));
}

// The number set in the options window is kept for the next start and is what a backup keeps.
void FunctionsGuiTest::backupsToKeep_setInTheOptionsWindow_removesTheOldest()
{
    auto *keep = m_fixture->window.findChild<QSpinBox *>("BackupsToKeep");
    QVERIFY(keep);
    QCOMPARE(keep->value(), 0);
    QVERIFY(QDir().mkpath(path("settings")));
    keep->setValue(2);
    QCOMPARE(BackupsToKeep::load(path("settings")), 2);

    writeFile(path("proj/a.txt"), "a");
    const QDateTime start(QDate(2025, 1, 1), QTime(0, 0), Qt::UTC);
    for (int day = 1; day <= 2; ++day)
        BackupFolders::markFinished(path(QStringLiteral("bak/old%1").arg(day)), "Demo", start.addDays(day));
    Project &project = m_fixture->workspace.project;
    project.setProjectFolder(path("proj"));
    project.setBackupFolder(path("bak"));
    runChore("Backuptheproject1");

    const QString dated = backupDateStamp(QDate::currentDate(), QLocale::system());
    QCOMPARE(QDir(path("bak")).entryList(QDir::Dirs | QDir::NoDotAndDotDot), (QStringList{dated, "old2"}));
    QCOMPARE(m_fixture->prompts.messages, QStringList{"Finished: backed up to \"" + path("bak/") + dated
                                             + "\".\n\nRemoved the old backup \"" + path("bak/old1") + "\"."});
}

QTEST_MAIN(FunctionsGuiTest)
#include "functions_gui_test.moc"
