#include "support/TestSupport.h"
#include "support/WindowFixture.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTabWidget>
#include <QtTest>

class TempFilesGuiTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void typingProjectFolder_listsInTheBackground();
    void extensionCommands_editListAndRescan();
    void deleteCommands_askThenDeleteFoundFiles();
    void deleteTemporaryFiles_refusesHomeFolder();

private:
    QString path(const QString &relative) const { return m_root + QLatin1Char('/') + relative; }
    QString filesPanel() const { return m_fixture->widget<QLabel>("StatusPanel2")->text(); }
    QStringList shown(const char *list) const;
    bool listed() { return waitForListing(m_fixture->workspace.tempFiles); }

    IsolatedHome m_home;
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_root;
    std::unique_ptr<WindowFixture> m_fixture;
};

void TempFilesGuiTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_root = m_dir->path() + QStringLiteral("/proj");
    for (const char *file : {"main.cpp", "main.o", "Old.BAK", "sub/x.o"})
        writeFile(path(QLatin1String(file)), "x");
    QDir().mkpath(m_dir->path() + QStringLiteral("/settings"));
    m_fixture = std::make_unique<WindowFixture>(m_dir->path() + QStringLiteral("/settings"));
    QVERIFY(m_fixture->show());
    m_fixture->workspace.project.setTempExtensions({QStringLiteral(".o"), QStringLiteral(".bak")});
}

void TempFilesGuiTest::cleanup()
{
    m_fixture.reset();
}

QStringList TempFilesGuiTest::shown(const char *list) const
{
    QStringList texts;
    const QAbstractItemModel *model = m_fixture->widget<QAbstractItemView>(list)->model();
    for (int row = 0; row < model->rowCount(); ++row)
        texts.append(model->index(row, 0).data().toString());
    return texts;
}

void TempFilesGuiTest::typingProjectFolder_listsInTheBackground()
{
    QCOMPARE(filesPanel(), QStringLiteral("Files"));
    auto *folderField = m_fixture->widget<QLineEdit>("Edit2");
    for (const QChar c : m_root) {
        QTest::keyClick(folderField, c.toLatin1());
        QCOMPARE(filesPanel(), QStringLiteral("Listing…"));
        QVERIFY(shown("ListBox2").isEmpty());
    }
    QVERIFY(listed());
    QCOMPARE(filesPanel(), QStringLiteral("Contains 3 files with 2 temp. files"));
    QCOMPARE(shown("ListBox2"), (QStringList{path("main.o"), path("Old.BAK")}));

    QTest::keyClick(folderField, 'x');
    QVERIFY(listed());
    QCOMPARE(filesPanel(), QStringLiteral("Contains 0 files with 0 temp. files"));
    QTest::keyClick(folderField, Qt::Key_Backspace);

    m_fixture->widget<QCheckBox>("CheckBox1")->click();
    QCOMPARE(filesPanel(), QStringLiteral("Listing…"));
    QVERIFY(listed());
    QCOMPARE(filesPanel(), QStringLiteral("Contains 4 files with 3 temp. files"));
    QCOMPARE(shown("ListBox2").last(), path("sub/x.o"));
}

void TempFilesGuiTest::extensionCommands_editListAndRescan()
{
    m_fixture->workspace.project.setProjectFolder(m_root);
    m_fixture->prompts.answers = {QStringLiteral(".CPP"), std::nullopt};
    m_fixture->trigger("Newfileextansion1");
    QVERIFY(listed());
    QCOMPARE(shown("ListBox3"), (QStringList{".bak", ".CPP", ".o"}));
    QCOMPARE(filesPanel(), QStringLiteral("Contains 3 files with 3 temp. files"));
    m_fixture->trigger("Newfileextansion1");
    QCOMPARE(shown("ListBox3").size(), 3);

    // The Delete key removes the selected extensions, whatever modifier is held.
    auto *extensions = m_fixture->widget<QListWidget>("ListBox3");
    extensions->item(0)->setSelected(true);
    extensions->item(1)->setSelected(true);
    QTest::keyClick(extensions, Qt::Key_Delete, Qt::ControlModifier);
    QVERIFY(listed());
    QCOMPARE(shown("ListBox3"), QStringList{".o"});
    QCOMPARE(filesPanel(), QStringLiteral("Contains 3 files with 1 temp. files"));

    QTest::keyClick(extensions, Qt::Key_Backspace);
    m_fixture->trigger("Delete3");
    QCOMPARE(shown("ListBox3"), QStringList{".o"});
}

void TempFilesGuiTest::deleteCommands_askThenDeleteFoundFiles()
{
    m_fixture->workspace.project.setIncludeSubfolders(true);
    m_fixture->workspace.project.setProjectFolder(m_root);
    QVERIFY(listed());
    auto *found = m_fixture->widget<QAbstractItemView>("ListBox2");
    QCOMPARE(found->model()->rowCount(), 3);

    // Declined: nothing goes.
    found->selectionModel()->select(found->model()->index(1, 0), QItemSelectionModel::Select);
    m_fixture->prompts.answers = {std::nullopt};
    QTest::keyClick(found, Qt::Key_Delete);
    QCOMPARE(m_fixture->prompts.questions, QStringList{"Move 1 temporary file in " + m_root + " to the trash?"});
    QVERIFY(QFile::exists(path("Old.BAK")));

    m_fixture->prompts.answers = {QStringLiteral("yes")};
    QTest::keyClick(found, Qt::Key_Delete);
    QTRY_COMPARE(shown("ListBox2"), (QStringList{path("main.o"), path("sub/x.o")}));
    QVERIFY(!QFile::exists(path("Old.BAK")));
    QVERIFY(QFile::exists(m_home.path() + QStringLiteral("/data/Trash/files/Old.BAK")));
    QVERIFY(m_fixture->prompts.messages.isEmpty());

    // The options window's setting deletes past the trash, and is kept for the next start.
    m_fixture->trigger("Options1");
    m_fixture->widget<QCheckBox>("CheckBox6")->click();
    m_fixture->prompts.answers = {QStringLiteral("yes")};
    m_fixture->trigger("Deletetemporaryfiles1");
    QCOMPARE(m_fixture->prompts.questions.last(), "Delete 2 temporary files in " + m_root + "?");
    QTRY_COMPARE(m_fixture->prompts.messages, QStringList{QStringLiteral("Finished")});
    QVERIFY(listed());
    QVERIFY(shown("ListBox2").isEmpty());
    QCOMPARE(filesPanel(), QStringLiteral("Contains 1 files with 0 temp. files"));
    QVERIFY(QFile::exists(path("main.cpp")));
    QVERIFY(!QFile::exists(m_home.path() + QStringLiteral("/data/Trash/files/main.o")));
    QVERIFY2(m_fixture->prompts.errors.isEmpty(), qPrintable(m_fixture->prompts.errors.join(u'\n')));

    // The next start reads it back.
    cleanup();
    m_fixture = std::make_unique<WindowFixture>(m_dir->path() + QStringLiteral("/settings"));
    m_fixture->trigger("Options1");
    QVERIFY(m_fixture->widget<QCheckBox>("CheckBox6")->isChecked());
    QCOMPARE(m_fixture->workspace.tempFiles.disposal(), TempFiles::Disposal::Delete);
}

void TempFilesGuiTest::deleteTemporaryFiles_refusesHomeFolder()
{
    const QString stray = writeFile(m_home.path() + QStringLiteral("/stray.o"), "x");
    m_fixture->workspace.project.setProjectFolder(m_home.path());
    QVERIFY(listed());
    // Not even listed: its files are not the project's.
    QCOMPARE(shown("ListBox2"), QStringList());

    m_fixture->prompts.answers = {QStringLiteral("yes")};
    m_fixture->trigger("Deletetemporaryfiles1");
    QCOMPARE(m_fixture->prompts.errors.size(), 1);
    QVERIFY(m_fixture->prompts.errors.first().contains(QLatin1String("home folder")));
    QVERIFY(m_fixture->prompts.questions.isEmpty());
    QVERIFY(QFile::exists(stray));
}

QTEST_MAIN(TempFilesGuiTest)
#include "temp_files_gui_test.moc"
