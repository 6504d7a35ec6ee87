#include "workspace/Workspace.h"
#include "app/ui/MainWindow.h"
#include "support/TestSupport.h"

#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QStatusTipEvent>
#include <QTcpServer>
#include <QThread>
#include <QTreeWidget>
#include <QtTest>

namespace {

QByteArray projectNamed(const QByteArray &name)
{
    return "/b\r\n/p\r\n" + name + "\r\n1.0\r\n\r\n/b\r\nF\r\nF\r\n"
           "1\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n"
           "Ann\r\nann@x.org\r\n\r\n\r\n\r\n\r\n";
}

enum class Command { Exit, New, Open, OldProject };

} // namespace

Q_DECLARE_METATYPE(Command)

// Nothing the user made is lost without a word: every command that ends the open project asks
// first while there are unsaved changes, and first of all whether to cancel a running chore.
class UnsavedChangesTest : public QObject
{
    Q_OBJECT

private:
    IsolatedHome m_home;
    ScriptedPrompts m_prompts;
    RecordingLauncher m_launcher;
    QTemporaryDir m_dir;
    QString m_first, m_second;
    std::unique_ptr<Workspace> m_workspace;
    std::unique_ptr<MainWindow> m_window;

    template<typename T = QWidget>
    T *find(const char *name) const
    {
        T *widget = m_window->findChild<T *>(QLatin1String(name));
        if (!widget)
            qFatal("no widget %s", name);
        return widget;
    }

    // Projects load as a chore: whether `path` is open once the loading has ended.
    bool hasLoaded(const QString &path)
    {
        return QTest::qWaitFor([this] { return !m_window->isChoreRunning(); }, 10'000)
               && m_workspace->project.data().path == path;
    }

    // Runs the command; true when it went on (the window closed, the project was replaced).
    bool run(Command command)
    {
        switch (command) {
        case Command::Exit:
            return m_window->close();
        case Command::New:
            m_window->action(QStringLiteral("NewProject1"))->trigger();
            return m_workspace->project.data().path.isEmpty();
        case Command::Open:
            m_window->action(QStringLiteral("OpenProject1"))->trigger();
            return hasLoaded(m_second);
        case Command::OldProject:
            for (QAction *entry : m_window->action(QStringLiteral("OldProjects1"))->menu()->actions())
                if (entry->text() == m_second)
                    entry->trigger();
            return hasLoaded(m_second);
        }
        return false;
    }

private Q_SLOTS:
    void init()
    {
        m_prompts = {};
        m_first = writeFile(m_dir.filePath(QStringLiteral("first.dev")), projectNamed("First"));
        m_second = writeFile(m_dir.filePath(QStringLiteral("second.dev")), projectNamed("Second"));
        m_workspace = std::make_unique<Workspace>(m_dir.filePath(QStringLiteral("settings/")), m_prompts);
        QDir().mkpath(m_workspace->appDataFolder);
        m_window = std::make_unique<MainWindow>(*m_workspace, m_prompts, m_launcher);
        m_window->buildOtherPages();
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        m_workspace->commands.load(m_second);
        m_workspace->commands.load(m_first);
    }

    void cleanup()
    {
        QVERIFY2(m_prompts.errors.isEmpty(), qPrintable(m_prompts.errors.join(QLatin1Char('\n'))));
        m_window.reset();
        m_workspace.reset();
    }

    void commandsThatEndTheProject_askAboutUnsavedChanges_data()
    {
        QTest::addColumn<Command>("command");
        QTest::addColumn<QString>("answer");
        const std::pair<const char *, Command> commands[] = {
            {"Exit", Command::Exit}, {"New", Command::New}, {"Open", Command::Open}, {"Old projects", Command::OldProject}};
        for (const auto &[name, command] : commands)
            for (const char *answer : {"save", "discard", "cancel"})
                QTest::addRow("%s, %s", name, answer) << command << QString::fromLatin1(answer);
    }

    void commandsThatEndTheProject_askAboutUnsavedChanges()
    {
        QFETCH(Command, command);
        QFETCH(QString, answer);
        QVERIFY(!m_window->isWindowModified());
        QTest::keyClicks(find<QLineEdit>("Edit4"), QStringLiteral(" edited"));
        QVERIFY(m_window->isWindowModified());
        QCOMPARE(m_window->windowTitle().replace(QStringLiteral("[*]"), QStringLiteral("*")),
                 QStringLiteral("first.dev* - Trovas"));

        m_prompts.answers = {answer};
        if (command == Command::Open)
            m_prompts.answers.push_back(m_second);
        const bool wentOn = run(command);

        QCOMPARE(m_prompts.questions, QStringList{QStringLiteral("Save changes to First edited?")});
        QCOMPARE(wentOn, answer != QLatin1String("cancel"));
        const QByteArray saved = answer == QLatin1String("save") ? projectNamed("First edited") : projectNamed("First");
        QCOMPARE(readFile(m_first), saved);
        if (!wentOn) {
            QCOMPARE(m_workspace->project.data().name, QStringLiteral("First edited"));
            QVERIFY(m_window->isWindowModified());
            QVERIFY(m_window->isVisible());
        } else if (command != Command::Exit) {
            QVERIFY(!m_window->isWindowModified());
        }
    }

    // Saving a project that has no file yet asks for a name; cancelling that keeps everything.
    void saveAnswer_withoutAFileName_keepsTheProject()
    {
        m_window->action(QStringLiteral("NewProject1"))->trigger();
        QTest::keyClicks(find<QLineEdit>("Edit4"), QStringLiteral("Fresh"));
        m_prompts.answers = {QStringLiteral("save"), std::nullopt};
        QVERIFY(!m_window->close());
        QCOMPARE(m_prompts.questions, QStringList{QStringLiteral("Save changes to Fresh?")});
        QCOMPARE(m_workspace->project.data().name, QStringLiteral("Fresh"));

        const QString chosen = m_dir.filePath(QStringLiteral("fresh"));
        m_prompts.answers = {QStringLiteral("save"), chosen};
        QVERIFY(m_window->close());
        QVERIFY(readFile(chosen + QStringLiteral(".dev")).contains("\r\nFresh\r\n"));
    }

    // Only edits count: sorting, loading and saving leave nothing to ask about, and saving says so.
    void editsOnly_makeTheProjectModified()
    {
        m_workspace->project.sortList(ProjectList::Developers, -1);
        QVERIFY(!m_window->isWindowModified());
        m_workspace->project.setDevelopers(m_workspace->project.data().developers);
        QVERIFY(!m_window->isWindowModified());

        m_workspace->project.setVersion(QStringLiteral("1.1"));
        QVERIFY(m_window->isWindowModified());
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        QTest::keyClick(m_window.get(), Qt::Key_S, Qt::ControlModifier);
        QVERIFY(!m_window->isWindowModified());
        QCOMPARE(find<QLabel>("StatusNotice")->text(), QStringLiteral("Saved"));
        QTRY_VERIFY_WITH_TIMEOUT(find<QLabel>("StatusNotice")->text().isEmpty(), 10'000);

        m_window->action(QStringLiteral("NewProject1"))->trigger();
        QVERIFY(m_prompts.questions.isEmpty());
    }

    // Exit, New and Open while a chore runs ask whether to cancel it; yes ends it and goes on,
    // no leaves it running.
    void commandsDuringAChore_askToCancelIt_data()
    {
        QTest::addColumn<Command>("command");
        QTest::addColumn<QString>("question");
        QTest::newRow("Exit") << Command::Exit << "A chore is running. Cancel it and quit?";
        QTest::newRow("New") << Command::New << "A chore is running. Cancel it and start a new project?";
        QTest::newRow("Open") << Command::Open << "A chore is running. Cancel it and open another project?";
    }

    void commandsDuringAChore_askToCancelIt()
    {
        QFETCH(Command, command);
        QFETCH(QString, question);
        std::optional<ChoreReport> ended;
        const auto startChore = [&] {
            m_window->runChore(QStringLiteral("Working"), [](ChoreProgress &progress) {
                while (!progress.isCancelled())
                    QThread::msleep(1);
            }, [&ended](const ChoreReport &report) { ended = report; });
        };

        startChore();
        m_prompts.answers = {std::nullopt};
        QVERIFY(!run(command));
        QCOMPARE(m_prompts.questions, QStringList{question});
        QVERIFY(m_window->isChoreRunning());
        QVERIFY(m_window->isVisible());

        m_prompts.answers = {QStringLiteral("yes")};
        if (command == Command::Open)
            m_prompts.answers.push_back(m_second);
        QVERIFY(run(command));
        QVERIFY(!m_window->isChoreRunning());
        QVERIFY(ended && ended->cancelled);
    }

    // Exit answered "Yes, cancel and quit" during an upload that waits on a silent server: the
    // window closes as soon as the upload has stopped, with no end box in between.
    void exitDuringAChore_quitsOnceItStops()
    {
        QTcpServer silent;
        QVERIFY(silent.listen(QHostAddress::LocalHost));
        const QString source = writeFile(m_dir.filePath(QStringLiteral("site/index.html")), "<p>hi</p>");
        m_workspace->project.setUploads(
            {{source, QStringLiteral("ftp://127.0.0.1/www/"), QStringLiteral("ann"), QStringLiteral("secret"),
              QString::number(silent.serverPort())}});
        m_window->action(QStringLiteral("Uploadfiles1"))->trigger();
        QVERIFY(m_window->isChoreRunning());
        QTRY_VERIFY(silent.hasPendingConnections());

        QElapsedTimer sinceStopped;
        connect(m_window->findChild<ChoreRunner *>(QStringLiteral("ChoreRunner")), &ChoreRunner::finished, this,
                [&sinceStopped] { sinceStopped.start(); });
        m_prompts.answers = {QStringLiteral("yes"), QStringLiteral("discard")};
        QVERIFY(m_window->close());
        QVERIFY(sinceStopped.isValid());
        QVERIFY2(sinceStopped.elapsed() < 500, qPrintable(QString::number(sinceStopped.elapsed())));
        QVERIFY(!m_window->isVisible());
        QCOMPARE(m_prompts.questions, QStringList({QStringLiteral("A chore is running. Cancel it and quit?"),
                                                   QStringLiteral("Save changes to First?")}));
        QCOMPARE(m_prompts.warnings + m_prompts.messages, QStringList());
    }

    void keys_openTheFileCommandsAndTheMenuBar()
    {
        const std::pair<const char *, QKeySequence> shortcuts[] = {
            {"NewProject1", QKeySequence(QStringLiteral("Ctrl+N"))}, {"OpenProject1", QKeySequence(QStringLiteral("Ctrl+O"))},
            {"Save1", QKeySequence(QStringLiteral("Ctrl+S"))}, {"Exit1", QKeySequence(QStringLiteral("Ctrl+Q"))}};
        for (const auto &[name, keys] : shortcuts)
            QCOMPARE(m_window->action(QLatin1String(name))->shortcut(), keys);

        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        QTest::keyClick(m_window.get(), Qt::Key_F10);
        QTRY_VERIFY(find<QMenu>("File1")->isVisible());
        find<QMenu>("File1")->close();
    }

    // A tool bar's hint goes beside the status panels instead of hiding them.
    void statusTips_leaveThePanelsShown()
    {
        QStatusTipEvent tip(QStringLiteral("Select font name"));
        QCoreApplication::sendEvent(m_window.get(), &tip);
        for (const char *panel : {"StatusPanel0", "StatusPanel1", "StatusPanel2"})
            QVERIFY2(find<QLabel>(panel)->isVisible(), panel);
        QCOMPARE(find<QLabel>("StatusNotice")->text(), QStringLiteral("Select font name"));
        QStatusTipEvent none{QString()};
        QCoreApplication::sendEvent(m_window.get(), &none);
        QVERIFY(find<QLabel>("StatusNotice")->text().isEmpty());
    }
};

QTEST_MAIN(UnsavedChangesTest)
#include "unsaved_changes_gui_test.moc"
