#include "project/ProjectFile.h"
#include "support/TestSupport.h"
#include "support/WindowFixture.h"

#include <QAbstractScrollArea>
#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QMimeData>
#include <QtTest>

// Files and folders dragged from the file manager onto the lists and the window.
class FileDropsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void lists_addDroppedEntriesAsTheirNewCommands();
    void uploadList_opensTheDialogWithTheDroppedFile();
    void uploadList_takesAFolderDroppedAlone();
    void window_opensADroppedProject();
    void dropsOnEveryList_thenZipFolders();

private:
    // Drags `paths` over the widget and drops them there; whether the widget took the drop.
    static bool drop(QWidget *target, const QStringList &paths);
    QWidget *viewportOf(const char *list) const
    {
        return m_fixture->window.findChild<QAbstractScrollArea *>(QLatin1String(list))->viewport();
    }
    QString path(const char *relative) const { return m_dir->filePath(QLatin1String(relative)); }

    IsolatedHome m_home;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<WindowFixture> m_fixture;
};

void FileDropsTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    for (const char *file : {"main.o", "lib.OBJ", "Makefile", "notes.tmp", "src/main.c"})
        writeFile(path(file), "x");
    QDir().mkpath(path("settings"));
    m_fixture = std::make_unique<WindowFixture>(path("settings"));
    m_fixture->window.buildOtherPages();
    QVERIFY(m_fixture->show());
}

void FileDropsTest::cleanup()
{
    m_fixture.reset();
}

bool FileDropsTest::drop(QWidget *target, const QStringList &paths)
{
    QMimeData mime;
    QList<QUrl> urls;
    for (const QString &path : paths)
        urls.append(QUrl::fromLocalFile(path));
    mime.setUrls(urls);
    const QPoint centre = target->rect().center();
    QDragEnterEvent enter(centre, Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent dropped(QPointF(centre), Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &dropped);
    // What the drop adds is added once the drag is over.
    QCoreApplication::processEvents();
    return dropped.isAccepted() && dropped.dropAction() == Qt::CopyAction;
}

void FileDropsTest::lists_addDroppedEntriesAsTheirNewCommands()
{
    const ProjectData &data = m_fixture->workspace.project.data();
    const QString folder = path("src");
    QVERIFY(!drop(viewportOf("ListView4"), {}));

    // The copies ask once where they all go, naming what was dropped; each keeps its name there.
    m_fixture->prompts.answers = {path("out")};
    QVERIFY(drop(viewportOf("ListView4"), {path("main.o"), folder, path("notes.tmp"), path("lib.OBJ")}));
    QCOMPARE(m_fixture->prompts.folderTitles, QStringList{"Copy main.o, src, notes.tmp and 1 more to:"});
    QCOMPARE(data.copies.size(), 4);
    QCOMPARE(data.copies[0].fields(), (QStringList{path("main.o"), path("out/main.o")}));
    QCOMPARE(data.copies[1].fields(), (QStringList{folder + QLatin1Char('/'), path("out/src/")}));
    QVERIFY(m_fixture->prompts.answers.empty());
    // No folder chosen: nothing added. A pair the list holds is refused, the new one added.
    m_fixture->prompts.answers = {QString(), path("out")};
    QVERIFY(drop(viewportOf("ListView4"), {path("Makefile")}));
    QVERIFY(drop(viewportOf("ListView4"), {path("main.o"), path("Makefile")}));
    QCOMPARE(data.copies.size(), 5);
    QCOMPARE(m_fixture->prompts.errors,
             QStringList{"The list holds this already:\n" + path("main.o") + " \u2192 " + path("out/main.o")});
    m_fixture->prompts.errors.clear();

    QVERIFY(drop(viewportOf("ListBox4"), {path("main.o"), folder}));
    QVERIFY(drop(viewportOf("ListBox4"), {folder + QLatin1Char('/')}));
    QCOMPARE(data.zipFolders, QStringList{folder + QLatin1Char('/')});
    QCOMPARE(m_fixture->prompts.errors, QStringList{"The list holds this already:\n" + folder + QLatin1Char('/')});
    m_fixture->prompts.errors.clear();

    m_fixture->workspace.project.setTempExtensions({QStringLiteral(".TMP")});
    QVERIFY(drop(viewportOf("ListBox3"), {path("main.o"), path("lib.OBJ"), path("Makefile"), path("notes.tmp"), folder}));
    QCOMPARE(data.tempExtensions, (QStringList{".o", ".OBJ", ".TMP"}));
    QVERIFY(m_fixture->prompts.errors.isEmpty());
}

void FileDropsTest::uploadList_opensTheDialogWithTheDroppedFile()
{
    QVERIFY(drop(viewportOf("ListView5"), {path("src"), path("main.o"), path("Makefile")}));
    auto *dialog = m_fixture->window.findChild<QDialog *>(QStringLiteral("TForm5"));
    QTRY_VERIFY(dialog->isVisible());
    QCOMPARE(dialog->findChild<QLineEdit *>(QStringLiteral("Edit1"))->text(), path("main.o"));
    QVERIFY(dialog->findChild<QLineEdit *>(QStringLiteral("Edit2"))->text().isEmpty());
    QVERIFY(m_fixture->workspace.project.data().uploads.isEmpty());
}

void FileDropsTest::uploadList_takesAFolderDroppedAlone()
{
    QVERIFY(drop(viewportOf("ListView5"), {path("src")}));
    auto *dialog = m_fixture->window.findChild<QDialog *>(QStringLiteral("TForm5"));
    QTRY_VERIFY(dialog->isVisible());
    QCOMPARE(dialog->findChild<QLineEdit *>(QStringLiteral("Edit1"))->text(), path("src"));
    // A folder may remove what it put on the server before; the option starts off.
    auto *removeStale = dialog->findChild<QCheckBox *>(QStringLiteral("RemoveStale"));
    QVERIFY(removeStale->isEnabled());
    QVERIFY(!removeStale->isChecked());
}

void FileDropsTest::window_opensADroppedProject()
{
    ProjectData project;
    project.name = QStringLiteral("Dropped");
    const QString file = path("dropped.DEV");
    ProjectFile::write(file, project);
    QWidget *title = m_fixture->window.findChild<QWidget *>(QStringLiteral("Label1"));

    QVERIFY(!drop(title, {path("main.o")}));
    QVERIFY(drop(title, {path("main.o"), file}));
    QTRY_VERIFY2(m_fixture->workspace.project.data().name == QStringLiteral("Dropped"), qPrintable(m_fixture->prompts.errors.join(u'\n')));
}

// Drops on each list one after the other, then the lists' pages shown in turn and the folders
// zipped: the window stays, and each dropped folder is zipped once.
void FileDropsTest::dropsOnEveryList_thenZipFolders()
{
    const QString folder = path("src");
    m_fixture->prompts.answers = {path("out")};
    for (const char *list : {"ListBox3", "ListView4", "ListBox4", "ListBox4", "ListBox5"})
        drop(viewportOf(list), {folder, path("main.o"), path("notes.tmp")});
    for (const char *tab : {"TabSheet10", "TabSheet11", "TabSheet13", "TabSheet12"})
        m_fixture->showProjectTab(tab);
    QCOMPARE(m_fixture->workspace.project.data().zipFolders, QStringList{folder + QLatin1Char('/')});
    QCOMPARE(m_fixture->prompts.errors, QStringList{"The list holds this already:\n" + folder + QLatin1Char('/')});
    m_fixture->prompts.errors.clear();

    m_fixture->trigger("Zipfolders1");
    QTRY_VERIFY_WITH_TIMEOUT(!m_fixture->window.isChoreRunning(), 30000);
    QVERIFY2(m_fixture->prompts.errors.isEmpty(), qPrintable(m_fixture->prompts.errors.join(u'\n')));
    QVERIFY(QFileInfo(path("src.zip")).size() > 0);
    QVERIFY(m_fixture->window.isVisible());
}

QTEST_MAIN(FileDropsTest)
#include "file_drops_gui_test.moc"
