// Without a system keyring (a D-Bus session where no Secret Service answers) uploads keep their
// passwords in the project file as they always did, and nothing pretends otherwise.
#include "RealFtpServer.h"
#include "widgets/RecordListView.h"
#include "cli/CliRun.h"
#include "support/TestSupport.h"
#include "support/WindowFixture.h"
#include "upload/Keyring.h"

#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QtTest>

#include <sys/stat.h>

class UploadNoKeyringGuiTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void dialog_boxDisabledAndThePasswordStaysInTheOwnersFile();
    void upload_emptyPasswordLogsInAsItIs();
    void movePasswords_refusedAndNothingChanges();

private:
    QLineEdit *box(const char *name) const { return m_dialog->findChild<QLineEdit *>(QLatin1String(name)); }

    RealFtpServer m_server{RealFtpServer::Kind::Pyftpdlib};
    IsolatedHome m_home;
    QTemporaryDir m_dir;
    std::unique_ptr<WindowFixture> m_fixture;
    QDialog *m_dialog = nullptr;
};

void UploadNoKeyringGuiTest::initTestCase()
{
    QVERIFY(!Keyring::unavailableReason().isEmpty());
    const QString problem = m_server.start();
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
    m_server.makeFolder(QStringLiteral("in"));
    m_fixture = std::make_unique<WindowFixture>(m_dir.path());
    m_fixture->window.buildOtherPages();
    m_dialog = m_fixture->widget<QDialog>("TForm5");
    QVERIFY(m_fixture->show());
}

// Saved over a file anyone may read, the file with the password becomes its owner's alone.
void UploadNoKeyringGuiTest::dialog_boxDisabledAndThePasswordStaysInTheOwnersFile()
{
    const QString path = writeFile(m_dir.filePath(QStringLiteral("open.dev")), {});
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    m_fixture->workspace.project.setPath(path);

    m_fixture->trigger("Newupload1");
    auto *keep = m_dialog->findChild<QCheckBox *>(QStringLiteral("KeepInKeyring"));
    QVERIFY(!keep->isEnabled());
    QVERIFY(!keep->isChecked());
    QVERIFY2(keep->toolTip().startsWith(QLatin1String("No system keyring can be used here")), qPrintable(keep->toolTip()));
    QVERIFY2(keep->toolTip().contains(QLatin1String("org.freedesktop.secrets")), qPrintable(keep->toolTip()));
    QTest::keyClicks(box("Edit1"), QStringLiteral("/srv/a.zip"));
    QTest::keyClicks(box("Edit4"), QStringLiteral("ftp://files.example.org/in"));
    QTest::keyClicks(box("Edit3"), QStringLiteral("bob"));
    QTest::keyClicks(box("Edit5"), QStringLiteral("in-the-file"));
    m_dialog->findChild<QPushButton *>(QStringLiteral("BitBtn2"))->click();
    m_fixture->trigger("Save1");

    QVERIFY(m_fixture->prompts.errors.isEmpty());
    QCOMPARE(ProjectFile::read(path).uploads.at(0).password, QStringLiteral("in-the-file"));
    struct stat status = {};
    QCOMPARE(::stat(QFile::encodeName(path).constData(), &status), 0);
    QCOMPARE(int(status.st_mode & 07777), 0600);
}

// As before the keyring: the window asks nothing and the command line fails nothing for it.
void UploadNoKeyringGuiTest::upload_emptyPasswordLogsInAsItIs()
{
    const QString source = writeFile(m_dir.filePath(QStringLiteral("a.txt")), "a");
    ProjectData data;
    data.uploads = {{source, "ftp://127.0.0.1/in", RealFtpServer::SystemUser, "", QString::number(m_server.port())}};
    const QString path = writeProject(m_dir.filePath(QStringLiteral("upload.dev")), data);
    m_fixture->workspace.commands.load(path);
    m_fixture->trigger("Uploadfiles1");
    QTRY_VERIFY_WITH_TIMEOUT(!m_fixture->window.isChoreRunning(), 30000);
    QVERIFY(m_fixture->prompts.passwordAccounts.isEmpty());
    // The server turned the empty password down.
    QCOMPARE(m_fixture->prompts.warnings.size(), 1);
    QVERIFY2(m_fixture->prompts.warnings[0].startsWith("Finished, but 1 of 1 uploads failed:\n\n" + source + ": "),
             qPrintable(m_fixture->prompts.warnings[0]));
    QVERIFY(!m_fixture->prompts.warnings[0].contains(QLatin1String("No password")));
    m_fixture->prompts.warnings.clear();

    const CliResult result = runCli({path, QStringLiteral("upload")});
    QCOMPARE(result.status, 1);
    QVERIFY(!result.err.contains("No password"));
}

void UploadNoKeyringGuiTest::movePasswords_refusedAndNothingChanges()
{
    ProjectData data;
    data.uploads = {{"/a.zip", "ftp://files.example.org/in", "bob", "stays", "21"}};
    const QString path = writeProject(m_dir.filePath(QStringLiteral("move.dev")), data);
    const QByteArray before = readFile(path);
    m_fixture->workspace.commands.load(path);
    m_fixture->prompts.answers.push_back(QStringLiteral("yes"));
    m_fixture->trigger("Movepasswords1");
    QCOMPARE(m_fixture->prompts.errors.size(), 1);
    QVERIFY2(m_fixture->prompts.errors[0].startsWith(QLatin1String("The passwords stay in the project file: no system keyring can be used.")),
             qPrintable(m_fixture->prompts.errors[0]));
    QVERIFY(m_fixture->prompts.questions.isEmpty());
    QCOMPARE(m_fixture->workspace.project.data().uploads.at(0).password, QStringLiteral("stays"));

    const CliResult result = runCli({path, QStringLiteral("secrets"), QStringLiteral("move")});
    QCOMPARE(result.status, 1);
    QVERIFY2(result.err.startsWith("The passwords stay in the project file: no system keyring can be used."),
             result.err.constData());
    QCOMPARE(readFile(path), before);
}

QTEST_MAIN(UploadNoKeyringGuiTest)
#include "upload_no_keyring_gui_test.moc"
