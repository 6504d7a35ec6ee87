#include "workspace/Workspace.h"
#include "app/ui/MainWindow.h"
#include "i18n/LanguageEntries.h"
#include "i18n/LanguageTable.h"
#include "i18n/ui/LanguageApplier.h"
#include "project/Error.h"
#include "project/TextFile.h"
#include "support/TestSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTextEdit>
#include <QToolButton>
#include <QTreeView>
#include <QtTest>

namespace {

// The caption of a page of a tab control, found by the page's name.
QString tabText(const QWidget &window, const char *page)
{
    auto *sheet = window.findChild<QWidget *>(QLatin1String(page));
    auto *tabs = qobject_cast<QTabWidget *>(sheet->parentWidget()->parentWidget());
    return tabs->tabText(tabs->indexOf(sheet));
}

} // namespace

class LanguageGuiTest : public QObject
{
    Q_OBJECT

private:
    IsolatedHome m_home;
    QTemporaryDir m_settings;
    ScriptedPrompts m_prompts;
    RecordingLauncher m_launcher;

    template<typename T = QWidget>
    static T *find(const QWidget &parent, const char *name)
    {
        T *object = parent.findChild<T *>(QLatin1String(name));
        if (!object)
            qFatal("no %s", name);
        return object;
    }

    static QStringList items(const QComboBox *list)
    {
        QStringList texts;
        for (int i = 0; i < list->count(); ++i)
            texts.append(list->itemText(i));
        return texts;
    }

    // The captions that show the language, one element of each window by its name.
    static QStringList captions(const MainWindow &window)
    {
        const QWidget &todo = *find(window, "TForm3");
        const QWidget &developer = *find(window, "TForm4");
        const QWidget &changelog = *find(window, "TForm7");
        const QWidget &options = *find(window, "TForm8");
        return {find<QMenu>(window, "File1")->title(),
                window.action(QStringLiteral("Saveproject1"))->text(),
                find<QMenu>(window, "Commands1")->title(),
                window.action(QStringLiteral("Opentheproject1"))->text(),
                find<QLabel>(window, "Label20")->text(),
                tabText(window, "TabSheet9"),
                tabText(window, "TabSheet16"),
                find<QTreeView>(window, "ListView2")->model()->headerData(5, Qt::Horizontal).toString(),
                find<QListWidget>(window, "ListView1")->item(2)->text(),
                find<QGroupBox>(todo, "GroupBox1")->title(),
                find<QPushButton>(todo, "BitBtn2")->text(),
                find<QGroupBox>(developer, "GroupBox4")->title(),
                tabText(changelog, "TabSheet2"),
                find<QCheckBox>(options, "CheckBox4")->text()};
    }

    void choose(const MainWindow &window, const char *language)
    {
        QTest::mouseClick(find<QRadioButton>(*find(window, "TForm2"), language), Qt::LeftButton);
    }

private Q_SLOTS:
    void cleanup()
    {
        QVERIFY2(m_prompts.errors.isEmpty(), qPrintable(m_prompts.errors.join(QLatin1Char('\n'))));
    }

    void switchToGermanAndBack_changesEveryWindowAndSurvivesARestart()
    {
        const QStringList english = {"&File", "Save &project", "&Scripts/Tools", "&Load the project", "Project name:",
                                     "Project", "Developer", "Title", "To-Do", "Title:", "Save", "Telefone", "HTML-Source", "To do"};
        const QStringList german = {"&Datei", "Speichern &unter...", "&Skripte/Werkzeuge", "Projekt &laden",
                                    "Projektname:", "Projekt", "Entwickler", "Titel", "Aufgaben", "Titel:", "Speichern", "Telefon",
                                    "HTML-Quelltext", "Zu erledigen"};
        auto workspace = std::make_unique<Workspace>(m_settings.path(), m_prompts);
        auto window = std::make_unique<MainWindow>(*workspace, m_prompts, m_launcher);
        window->buildOtherPages();
        window->show();
        QCOMPARE(captions(*window), english);
        auto *chooser = find(*window, "TForm2");
        QCOMPARE(chooser->findChildren<QRadioButton *>().size(), 4);

        // Text typed into an open dialog stays when the language changes.
        window->action(QStringLiteral("Newdeveloper1"))->trigger();
        find<QLineEdit>(*find(*window, "TForm4"), "Edit1")->setText(QStringLiteral("Ann"));
        auto *todo = find(*window, "TForm3");
        todo->show();
        auto *priorities = find<QComboBox>(*todo, "ComboBox2");
        QCOMPARE(items(priorities), (QStringList{"High", "Normal", "Low"}));

        choose(*window, "Deutsch");
        QCOMPARE(captions(*window), german);
        QCOMPARE(TextFile::readLines(workspace->appDataFolder + QStringLiteral("lang.ini")), QStringList{"Deutsch"});
        QCOMPARE(find<QLineEdit>(*find(*window, "TForm4"), "Edit1")->text(), QStringLiteral("Ann"));
        QCOMPARE(QKeySequence::mnemonic(find<QMenu>(*window, "File1")->title()), QKeySequence(Qt::ALT | Qt::Key_D));
        QVERIFY(window->action(QStringLiteral("N5"))->isSeparator());
        // The open to-do dialog takes the new names the next time it is shown.
        QCOMPARE(items(priorities), (QStringList{"High", "Normal", "Low"}));
        todo->hide();
        todo->show();
        QCOMPARE(items(priorities), (QStringList{"Hoch", "Normal", "Niedrig"}));

        window.reset();
        workspace = std::make_unique<Workspace>(m_settings.path(), m_prompts);
        window = std::make_unique<MainWindow>(*workspace, m_prompts, m_launcher);
        window->buildOtherPages();
        QCOMPARE(captions(*window), german);

        choose(*window, "English");
        QCOMPARE(captions(*window), english);
        QCOMPARE(TextFile::readLines(workspace->appDataFolder + QStringLiteral("lang.ini")), QStringList{"English"});
    }

    // A language changes captions only: the selected text keeps its size, and the title keeps
    // showing the loaded project's name.
    void choosingALanguage_leavesTheDocumentAndTheTitleAlone()
    {
        Workspace workspace(m_settings.path(), m_prompts);
        MainWindow window(workspace, m_prompts, m_launcher);
        window.buildOtherPages();
        window.show();
        auto *title = find<QLabel>(window, "Label1");
        choose(window, "Deutsch");
        QCOMPARE(title->text(), QStringLiteral("Projektname"));

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("demo.dev"));
        workspace.project.setName(QStringLiteral("Demo"));
        workspace.project.setDescription({QStringLiteral("large text")});
        m_prompts.answers = {path};
        QVERIFY(workspace.commands.save());
        workspace.commands.load(path);
        auto *editor = find<QTextEdit>(window, "Editor");
        QTextCursor cursor(editor->document());
        cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
        QTextCharFormat large;
        large.setFontPointSize(14);
        cursor.mergeCharFormat(large);
        editor->setTextCursor(cursor);
        const QString document = editor->toHtml();

        for (const char *language : {"English", "Deutsch", "English"}) {
            choose(window, language);
            QCOMPARE(title->text(), QStringLiteral("Demo"));
            QCOMPARE(editor->toHtml(), document);
            QCOMPARE(editor->textCursor().charFormat().fontPointSize(), 14.0);
        }
        QCOMPARE(find<QMenu>(window, "File1")->title(), QStringLiteral("&File"));
    }

    // A file made before the later captions existed ends at entry 185: it applies whole, and
    // the later captions show in English, also after a language that has them.
    void fileEndingAtTheRequiredEntries_keepsTheLaterCaptionsEnglish()
    {
        Workspace workspace(m_settings.path(), m_prompts);
        MainWindow window(workspace, m_prompts, m_launcher);
        window.buildOtherPages();
        const QString languages = workspace.localisation.languagesFolder();
        const LanguageTable german = LanguageTable::read(QDir(languages).filePath(QStringLiteral("Deutsch.txt")));
        const QWidget &todo = *find(window, "TForm3");
        const QWidget &upload = *find(window, "TForm5");
        const auto laterCaptions = [&] {
            return QStringList{find<QLabel>(todo, "TypeLabel")->text(), find<QLabel>(todo, "PriorityLabel")->text(),
                               find<QLabel>(todo, "StatusLabel")->text(),
                               find<QToolButton>(upload, "ShowPassword")->text()};
        };
        applyLanguage(german, window);
        QCOMPARE(laterCaptions(), (QStringList{"&Typ", "&Priorität", "&Status", "Anzeigen"}));

        QTemporaryDir dir;
        QStringList lines;
        for (int number = 0; number < LanguageEntries::kRequiredCount; ++number)
            lines.append(german.entry(number));
        const QString path = dir.filePath(QStringLiteral("Old.txt"));
        TextFile::writeLines(path, lines);
        applyLanguage(LanguageTable::read(path), window);
        QCOMPARE(laterCaptions(), (QStringList{"&Type", "&Priority", "&Status", "Show"}));
        QCOMPARE(find<QMenu>(window, "File1")->title(), QStringLiteral("&Datei"));
        find<QToolButton>(upload, "ShowPassword")->click();
        QCOMPARE(find<QToolButton>(upload, "ShowPassword")->text(), QStringLiteral("Hide"));
    }

    // A file that ends early sets the entries it has and stops at the first one it lacks.
    void shortFile_appliesUpToItsEndAndNamesTheMissingEntry()
    {
        QTemporaryDir dir;
        QStringList lines;
        for (int line = 0; line < 100; ++line)
            lines.append(QStringLiteral("T%1").arg(line));
        // The two font sizes must be numbers.
        lines[74] = lines[81] = QStringLiteral("12");
        const QString path = dir.filePath(QStringLiteral("Short.txt"));
        TextFile::writeLines(path, lines);

        Workspace workspace(m_settings.path(), m_prompts);
        MainWindow window(workspace, m_prompts, m_launcher);
        window.buildOtherPages();
        try {
            applyLanguage(LanguageTable::read(path), window);
            QFAIL("entry 100 is missing");
        } catch (const Error &error) {
            QVERIFY2(error.message().contains(QStringLiteral("entry 100")) && error.message().contains(QStringLiteral("Short.txt")),
                     qPrintable(error.message()));
        }
        QCOMPARE(tabText(*find(window, "TForm7"), "TabSheet1"), QStringLiteral("T0"));
        QCOMPARE(window.action(QStringLiteral("Zipfolders1"))->text(), QStringLiteral("T99"));
        QCOMPARE(window.action(QStringLiteral("FirstCopythenzip1"))->text(), QStringLiteral("&First copy then zip"));
        // A separator's entry that is not "-" makes it an ordinary entry.
        QAction *separator = window.action(QStringLiteral("N5"));
        QVERIFY(!separator->isSeparator());
        QCOMPARE(separator->text(), QStringLiteral("T92"));
    }
};

QTEST_MAIN(LanguageGuiTest)
#include "language_gui_test.moc"
