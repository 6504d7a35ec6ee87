// Without a system keyring (a D-Bus session where no Secret Service answers) uploads keep their
// passwords in the project file as they always did, and nothing pretends otherwise; a password
// the file lacks comes from TROVAS_PASSWORD or, in the window, from the user.
#include "RealFtpServer.h"
#include "RealSshServer.h"
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
    void upload_missingPassword_variableOrPrompt_data();
    void upload_missingPassword_variableOrPrompt();
    void sftp_refusedPassword_askedAgainOnce_data();
    void sftp_refusedPassword_askedAgainOnce();
    void movePasswords_refusedAndNothingChanges();

private:
    QLineEdit *box(const char *name) const { return m_dialog->findChild<QLineEdit *>(QLatin1String(name)); }

    RealFtpServer m_server{RealFtpServer::Kind::Pyftpdlib};
    RealSshServer m_ssh;
    IsolatedHome m_home;
    QTemporaryDir m_dir;
    std::unique_ptr<WindowFixture> m_fixture;
    QDialog *m_dialog = nullptr;
};

void UploadNoKeyringGuiTest::initTestCase()
{
    QVERIFY(!Keyring::unavailableReason().isEmpty());
    QString problem = m_server.start();
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
    m_server.makeFolder(QStringLiteral("in"));
    problem = m_ssh.start();
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
    // The SSH server is known; the user has no keys it takes.
    QDir(m_home.path()).mkpath(QStringLiteral(".ssh"));
    QProcess keyscan;
    keyscan.start(QStringLiteral("ssh-keyscan"), {"-p", QString::number(m_ssh.port()), "127.0.0.1"});
    QVERIFY(keyscan.waitForFinished(10000));
    writeFile(m_home.path() + QStringLiteral("/.ssh/known_hosts"), keyscan.readAllStandardOutput());
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

void UploadNoKeyringGuiTest::upload_missingPassword_variableOrPrompt_data()
{
    QTest::addColumn<QString>("scheme");
    QTest::addColumn<QByteArray>("variable");            // TROVAS_PASSWORD; null when not set
    QTest::addColumn<QString>("typedIn");     // the window's answer; null cancels

    for (const char *scheme : {"ftp", "sftp"}) {
        QTest::addRow("%s: the variable", scheme) << scheme << QByteArray(RealFtpServer::Password) << QString();
        QTest::addRow("%s: typed in", scheme) << scheme << QByteArray() << QString(RealFtpServer::Password);
        QTest::addRow("%s: none", scheme) << scheme << QByteArray() << QString();
    }
}

// An entry with no password of its own and no keyring to ask: the variable, else the window
// asks (SFTP once the key login is refused), and the command line names the account lacking
// one and says how to give it. An account without a password is never tried with an empty one.
void UploadNoKeyringGuiTest::upload_missingPassword_variableOrPrompt()
{
    QFETCH(QString, scheme);
    QFETCH(QByteArray, variable);
    QFETCH(QString, typedIn);
    const bool sftp = scheme == QLatin1String("sftp");
    const QString name = QStringLiteral("missing-%1.txt").arg(qHash(QString::fromLatin1(QTest::currentDataTag())));
    const QString source = writeFile(m_dir.filePath(name), "arrived");
    const QString folder = sftp ? m_ssh.folder(QStringLiteral("in")) : m_server.root() + QStringLiteral("/in");
    const quint16 port = sftp ? m_ssh.port() : m_server.port();
    const QString account = QStringLiteral("%1@127.0.0.1:%2").arg(QLatin1String(RealFtpServer::SystemUser)).arg(port);
    ProjectData data;
    data.uploads = {{source, sftp ? "sftp://127.0.0.1" + folder : QStringLiteral("ftp://127.0.0.1/in"),
                     RealFtpServer::SystemUser, "", QString::number(port)}};
    const QString path = writeProject(m_dir.filePath(QStringLiteral("upload.dev")), data);
    if (!variable.isNull())
        qputenv("TROVAS_PASSWORD", variable);
    const auto unset = qScopeGuard([] { qunsetenv("TROVAS_PASSWORD"); });
    const bool arrives = !variable.isNull() || !typedIn.isNull();

    m_fixture->workspace.commands.load(path);
    m_fixture->prompts.answers = {typedIn.isNull() ? std::nullopt : std::optional(typedIn)};
    m_fixture->trigger("Uploadfiles1");
    QTRY_VERIFY_WITH_TIMEOUT(!m_fixture->window.isChoreRunning(), 30000);
    QCOMPARE(m_fixture->prompts.passwordAccounts, variable.isNull() ? QStringList{account} : QStringList());
    QCOMPARE(readFile(folder + QLatin1Char('/') + name), arrives ? QByteArray("arrived") : QByteArray());
    if (!arrives) {
        QCOMPARE(m_fixture->prompts.warnings.size(), 1);
        QVERIFY2(m_fixture->prompts.warnings[0].contains(QStringLiteral("No password for %1: ").arg(account)),
                 qPrintable(m_fixture->prompts.warnings[0]));
    }
    m_fixture->prompts.passwordAccounts.clear();
    m_fixture->prompts.warnings.clear();
    m_fixture->prompts.messages.clear();
    QFile::remove(folder + QLatin1Char('/') + name);

    const CliResult result = runCli({path, QStringLiteral("upload")});
    QCOMPARE(result.status, variable.isNull() ? 1 : 0);
    QCOMPARE(readFile(folder + QLatin1Char('/') + name), variable.isNull() ? QByteArray() : QByteArray("arrived"));
    if (variable.isNull()) {
        QVERIFY2(result.err.contains(QStringLiteral("No password for %1: ").arg(account).toUtf8()),
                 result.err.constData());
        QVERIFY2(result.err.contains("Set TROVAS_PASSWORD to give it."), result.err.constData());
    }
    // Never tried with an empty password: the server saw no failed login.
    if (!sftp)
        QVERIFY(!result.err.contains("530"));
}

void UploadNoKeyringGuiTest::sftp_refusedPassword_askedAgainOnce_data()
{
    QTest::addColumn<QString>("answer");
    QTest::newRow("right") << QString::fromLatin1(RealFtpServer::Password);
    QTest::newRow("wrong again") << QStringLiteral("still-wrong");
}

// The file's password refused over SFTP: asked again once, telling that the server refused it;
// the second entry of the account takes what the first found, with no further question.
void UploadNoKeyringGuiTest::sftp_refusedPassword_askedAgainOnce()
{
    QFETCH(QString, answer);
    const bool right = answer == QLatin1String(RealFtpServer::Password);
    const QString folder = m_ssh.folder(QStringLiteral("refused"));
    const QString tag = QString::number(qHash(QString::fromLatin1(QTest::currentDataTag())));
    const QString first = writeFile(m_dir.filePath(tag + QStringLiteral("-1.txt")), "one");
    const QString second = writeFile(m_dir.filePath(tag + QStringLiteral("-2.txt")), "two");
    const QString target = QStringLiteral("sftp://127.0.0.1:%1%2").arg(m_ssh.port()).arg(folder);
    m_fixture->workspace.project.setUploads({{first, target, RealFtpServer::SystemUser, "stale", ""},
                                             {second, target, RealFtpServer::SystemUser, "stale", ""}});
    m_fixture->prompts.passwordAccounts.clear();
    m_fixture->prompts.answers = {answer};
    m_fixture->trigger("Uploadfiles1");
    QTRY_VERIFY_WITH_TIMEOUT(!m_fixture->window.isChoreRunning(), 30000);

    QCOMPARE(m_fixture->prompts.passwordAccounts,
             QStringList{QStringLiteral("%1@127.0.0.1:%2 (refused)").arg(QLatin1String(RealFtpServer::SystemUser)).arg(m_ssh.port())});
    QCOMPARE(QFile::exists(folder + QLatin1Char('/') + tag + QStringLiteral("-1.txt")), right);
    QCOMPARE(QFile::exists(folder + QLatin1Char('/') + tag + QStringLiteral("-2.txt")), right);
    if (!right) {
        QVERIFY2(m_fixture->prompts.warnings.value(0).contains(QLatin1String("The server refused the login")),
                 qPrintable(m_fixture->prompts.warnings.value(0)));
    }
    m_fixture->prompts.warnings.clear();
    m_fixture->prompts.messages.clear();
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
