#include "workspace/Workspace.h"
#include "app/ui/MainWindow.h"
#include "support/TestSupport.h"
#include "todolist/ui/TemplateWindow.h"

#include <QCheckBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QtTest>

class TemplateWindowGuiTest : public QObject
{
    Q_OBJECT

private:
    IsolatedHome m_home;
    QString m_folder;
    ScriptedPrompts m_prompts;
    RecordingLauncher m_launcher;
    std::unique_ptr<Workspace> m_workspace;
    std::unique_ptr<MainWindow> m_window;

    // A start of the program on the settings folder as it is now.
    void start()
    {
        m_window.reset();
        m_workspace = std::make_unique<Workspace>(m_folder, m_prompts);
        m_window = std::make_unique<MainWindow>(*m_workspace, m_prompts, m_launcher);
        // The options window is made, and reads its files, once the main window is up.
        m_window->buildOtherPages();
    }
    TemplateWindow *options() const { return m_window->findChild<TemplateWindow *>(QStringLiteral("TForm8")); }
    QPlainTextEdit *memo(const char *name) const { return options()->findChild<QPlainTextEdit *>(QLatin1String(name)); }
    QCheckBox *flag(int number) const
    {
        return options()->findChild<QCheckBox *>(QStringLiteral("CheckBox%1").arg(number));
    }
    QByteArray file(const char *name) const { return readFile(m_folder + QLatin1String(name)); }

private Q_SLOTS:
    void init()
    {
        m_folder = m_home.path() + QStringLiteral("/config/Trovas/");
        QVERIFY(QDir(m_folder).removeRecursively() && QDir().mkpath(m_folder));
        m_prompts.errors.clear();
    }

    void firstStart_showsDefaults_writesNothing()
    {
        start();
        m_window->action(QStringLiteral("Options1"))->trigger();
        QVERIFY(options()->isVisible());
        QCOMPARE(options()->windowTitle(), QStringLiteral("HTML-Template"));
        QCOMPARE(options()->size(), QSize(788, 600));
        // Every editor shows several lines; the nodes, the most.
        QVERIFY(QTest::qWaitForWindowExposed(options()));
        const int line = memo("Memo2")->fontMetrics().lineSpacing();
        QVERIFY(memo("Memo1")->viewport()->height() >= 5 * line);
        QVERIFY(memo("Memo3")->viewport()->height() >= 5 * line);
        QVERIFY(memo("Memo2")->viewport()->height() > memo("Memo1")->viewport()->height());
        QCOMPARE(memo("Memo1")->toPlainText(), QStringLiteral("<h3>[%Version%]</h3>\n<ul>\n"));
        QCOMPARE(memo("Memo2")->toPlainText(), QStringLiteral("<li>[%Title%]: [%Description%]</li>\n"));
        QCOMPARE(memo("Memo3")->toPlainText(), QStringLiteral("</ul><br>\n"));
        QVERIFY(flag(1)->isChecked());
        for (int number = 2; number <= 5; ++number)
            QVERIFY(!flag(number)->isChecked());
        QVERIFY(QDir(m_folder).isEmpty());
        QVERIFY(m_prompts.errors.isEmpty());

        QTest::keyClick(memo("Memo2"), Qt::Key_Escape);
        QVERIFY(!options()->isVisible());
    }

    // The changelog's settings and the program's own are on tabs of their own; on a narrow
    // screen each tab scrolls down, never sideways, and Close closes the window.
    void tabs_holdTheirSettings_narrowWindowNeverScrollsSideways()
    {
        start();
        m_window->action(QStringLiteral("Options1"))->trigger();
        QVERIFY(QTest::qWaitForWindowExposed(options()));
        auto *tabs = options()->findChild<QTabWidget *>(QStringLiteral("OptionsTabs"));
        QCOMPARE(tabs->count(), 2);
        for (const char *name : {"Memo1", "GroupBox4", "Memo2", "Memo3"})
            QVERIFY2(tabs->widget(0)->isAncestorOf(options()->findChild<QWidget *>(QLatin1String(name))), name);
        for (const char *name : {"GroupBox5", "CheckBox6", "BackupGroup", "BackupsToKeep"})
            QVERIFY2(tabs->widget(1)->isAncestorOf(options()->findChild<QWidget *>(QLatin1String(name))), name);

        options()->resize(360, 600);
        for (int tab = 0; tab < tabs->count(); ++tab) {
            tabs->setCurrentIndex(tab);
            auto *area = qobject_cast<QScrollArea *>(tabs->currentWidget());
            QTRY_VERIFY(area->widget()->width() <= area->viewport()->width());
            QVERIFY(!area->horizontalScrollBar()->isVisible());
        }

        QTest::mouseClick(options()->findChild<QPushButton *>(QStringLiteral("CloseOptions")), Qt::LeftButton);
        QVERIFY(!options()->isVisible());
    }

    void savedFiles_loadAtStart()
    {
        writeFile(m_folder + QStringLiteral("Head.txt"), "<h2>[%Version%]</h2>\r\n<ol>");
        writeFile(m_folder + QStringLiteral("settings.dat"), "T\r\nF\r\nT\r\nF\r\nT\r\n");
        start();
        QCOMPARE(memo("Memo1")->toPlainText(), QStringLiteral("<h2>[%Version%]</h2>\n<ol>\n"));
        QCOMPARE(options()->templates().text(ChangelogTemplates::Head), QStringLiteral("<h2>[%Version%]</h2>\r\n<ol>\r\n"));
        const QList<bool> expected{true, false, true, false, true};
        for (int number = 1; number <= 5; ++number)
            QCOMPARE(flag(number)->isChecked(), expected[number - 1]);
        QVERIFY(m_prompts.errors.isEmpty());
    }

    void shortSettings_reported_restKeepDefaults()
    {
        writeFile(m_folder + QStringLiteral("settings.dat"), "F\r\nT\r\n");
        start();
        QCOMPARE(m_prompts.errors.size(), 1);
        QVERIFY(m_prompts.errors.first().contains(QStringLiteral("settings.dat")));
        const QList<bool> expected{false, true, false, false, false};
        for (int number = 1; number <= 5; ++number)
            QCOMPARE(flag(number)->isChecked(), expected[number - 1]);
        flag(4)->click();
        QCOMPARE(file("settings.dat"), QByteArray("F\r\nT\r\nF\r\nT\r\nF\r\n"));
    }

    // Every keystroke is on disk at once; the next start shows it and changelogs use it.
    void typing_writesAtOnce_andSurvivesRestart()
    {
        start();
        memo("Memo2")->clear();
        QCOMPARE(file("Node.txt"), QByteArray());
        QVERIFY(QFileInfo::exists(m_folder + QStringLiteral("Node.txt")));
        QTest::keyClicks(memo("Memo2"), QStringLiteral("<p>[%Title%]"));
        memo("Memo2")->insertPlainText(QStringLiteral("\u00A0\u00E4")); // as pasted
        QTest::keyClick(memo("Memo2"), Qt::Key_Return, Qt::ShiftModifier);
        QTest::keyClicks(memo("Memo2"), QStringLiteral("</p>"));
        QTest::keyClick(memo("Memo2"), Qt::Key_Return);
        const QByteArray expected("<p>[%Title%]\xA0\xE4\r\n</p>\r\n");
        QCOMPARE(file("Node.txt"), expected);

        start();
        QCOMPARE(options()->templates().text(ChangelogTemplates::Node), QStringLiteral("<p>[%Title%]\u00A0\u00E4\r\n</p>\r\n"));
        QCOMPARE(memo("Memo2")->toPlainText(), QStringLiteral("<p>[%Title%] \u00E4\n</p>\n"));
        QVERIFY(!QFileInfo::exists(m_folder + QStringLiteral("Head.txt")));
    }

    void checkBoxTwice_leavesTheValue()
    {
        start();
        flag(3)->click();
        QCOMPARE(file("settings.dat"), QByteArray("T\r\nF\r\nT\r\nF\r\nF\r\n"));
        flag(3)->click();
        QCOMPARE(file("settings.dat"), QByteArray("T\r\nF\r\nF\r\nF\r\nF\r\n"));
        QVERIFY(!options()->templates().includes(10));
    }

    void unwritableFolder_reportsEachChange_keepsTheText()
    {
        start();
        QVERIFY(QDir(m_folder).removeRecursively());
        QTest::keyClicks(memo("Memo3"), QStringLiteral("ab"));
        QCOMPARE(m_prompts.errors.size(), 2);
        QVERIFY2(m_prompts.errors.first().contains(m_folder + QStringLiteral("End.txt")), qPrintable(m_prompts.errors.first()));
        QCOMPARE(options()->templates().text(ChangelogTemplates::End), QStringLiteral("ab</ul><br>\r\n"));
    }
};

QTEST_MAIN(TemplateWindowGuiTest)
#include "templatewindow_gui_test.moc"
