#include "support/TestSupport.h"
#include "support/WindowFixture.h"

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

// The edit dialogs of the record lists never add an entry the list holds already: Save is
// refused with a message, and the dialog stays open with what was typed.
class DuplicateEntriesTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void save_refusesAnEntryTheListHolds_data();
    void save_refusesAnEntryTheListHolds();

private:
    IsolatedHome m_home;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<WindowFixture> m_fixture;
};

void DuplicateEntriesTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_fixture = std::make_unique<WindowFixture>(m_dir->path());
    m_fixture->window.buildOtherPages();
    QVERIFY(m_fixture->show());
}

void DuplicateEntriesTest::cleanup()
{
    m_fixture.reset();
}

void DuplicateEntriesTest::save_refusesAnEntryTheListHolds_data()
{
    QTest::addColumn<QString>("dialog");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("list");
    QTest::newRow("developer") << "TForm4" << "Newdeveloper1" << "Edit1" << int(ProjectList::Developers);
    QTest::newRow("to-do") << "TForm3" << "Add2" << "Edit1" << int(ProjectList::Todos);
    QTest::newRow("upload") << "TForm5" << "Newupload1" << "Edit1" << int(ProjectList::Uploads);
}

void DuplicateEntriesTest::save_refusesAnEntryTheListHolds()
{
    QFETCH(QString, dialog);
    QFETCH(QString, command);
    QFETCH(QString, field);
    QFETCH(int, list);
    const ProjectData &data = m_fixture->workspace.project.data();
    const auto count = [&data, list] {
        switch (ProjectList(list)) {
        case ProjectList::Developers: return data.developers.size();
        case ProjectList::Todos: return data.todos.size();
        default: return data.uploads.size();
        }
    };
    auto *window = m_fixture->widget<QDialog>(dialog);
    const auto enterAndSave = [&](const QString &text) {
        m_fixture->trigger(qPrintable(command));
        QVERIFY(window->isVisible());
        window->findChild<QLineEdit *>(field)->setText(text);
        window->findChild<QPushButton *>(QStringLiteral("BitBtn2"))->click();
    };

    enterAndSave(QStringLiteral("first"));
    enterAndSave(QStringLiteral("second"));
    QCOMPARE(count(), 2);
    QVERIFY(m_fixture->prompts.errors.isEmpty());

    enterAndSave(QStringLiteral("first"));
    QCOMPARE(count(), 2);
    QCOMPARE(m_fixture->prompts.errors, QStringList{"The list holds this entry already."});
    QVERIFY(window->isVisible());
    QCOMPARE(window->findChild<QLineEdit *>(field)->text(), QStringLiteral("first"));
}

QTEST_MAIN(DuplicateEntriesTest)
#include "duplicate_entries_gui_test.moc"
