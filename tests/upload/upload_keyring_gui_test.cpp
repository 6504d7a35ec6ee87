// Upload passwords kept in the system keyring: the upload dialog's check box, the run's look-up
// and prompt, moving a project's passwords, and the command line; against a real Secret Service
// (the test runs in a D-Bus session of its own) and a real FTP server.
#include "RealFtpServer.h"
#include "widgets/RecordListView.h"
#include "chores/ChoreRunner.h"
#include "cli/CliRun.h"
#include "project/TextFile.h"
#include "support/ListRows.h"
#include "support/TestSupport.h"
#include "support/WindowFixture.h"
#include "upload/Keyring.h"

#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QtTest>

#include <sys/stat.h>

namespace {

const QString kPassword = QString::fromLatin1(RealFtpServer::Password);
const QString kUser = QString::fromLatin1(RealFtpServer::SystemUser);

// Everything Qt's message functions printed while the test ran.
QStringList g_qtMessages;
QtMessageHandler g_previousHandler = nullptr;

void recordMessage(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    g_qtMessages.append(message);
    g_previousHandler(type, context, message);
}

int modeOf(const QString &path)
{
    struct stat status = {};
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? int(status.st_mode & 07777) : -1;
}

QStringList passwordsOf(const QList<UploadEntry> &uploads)
{
    QStringList passwords;
    for (const UploadEntry &entry : uploads)
        passwords.append(entry.password);
    return passwords;
}

void forgetInKeyring(const QString &key)
{
    QProcess::execute(QStringLiteral("secret-tool"), {"clear", "user", key, "server", "Trovas"});
}

// The file's bytes with the values of the given lines (counted from 0) emptied.
QByteArray withLinesEmptied(const QByteArray &bytes, const QList<int> &lines)
{
    QStringList text = TextFile::splitLines(TextFile::decode(bytes));
    for (int line : lines)
        text[line].clear();
    return TextFile::joinLines(text);
}

// The line of the password of the upload at `index` in a file whose lists before the uploads
// are empty.
int passwordLine(int index)
{
    return 18 + index * UploadEntry::kFieldCount + 3;
}

} // namespace

class UploadKeyringGuiTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void keyring_answersOnEveryThreadWhileTheCallerWaits();
    void dialogSave_keepsThePasswordInTheKeyring_data();
    void dialogSave_keepsThePasswordInTheKeyring();
    void dialogSave_keyringRefusal_keepsThePasswordInTheFile();
    void upload_takesThePasswordFromTheKeyring();
    void upload_missingPassword_askedOnceForEachAccount_data();
    void upload_missingPassword_askedOnceForEachAccount();
    void refusedPassword_askedAgainOnce_data();
    void refusedPassword_askedAgainOnce();
    void commandLineUpload_data();
    void commandLineUpload();
    void movePasswords_windowAsksThenSavesWithout();
    void movePasswords_commandLineKeepsTheFileButThePasswordLines();
    void outputs_neverShowThePassword();

private:
    QLineEdit *box(const char *name) const { return m_dialog->findChild<QLineEdit *>(QLatin1String(name)); }
    QCheckBox *keepInKeyring() const { return m_dialog->findChild<QCheckBox *>(QStringLiteral("KeepInKeyring")); }
    void editRow(int row);
    void collectShown();
    void waitForRunEnd() { QTRY_VERIFY_WITH_TIMEOUT(!m_fixture->window.isChoreRunning(), 30000); }
    QString port() const { return QString::number(m_server.port()); }
    QString key(const QString &host) const { return kUser + QLatin1Char('@') + host + QLatin1Char(':') + port(); }
    UploadEntry entry(const QString &file, const QString &host, const QString &password) const;
    QStringList logLines() const;
    // Remembers what a command line run printed, for the search for the password.
    CliResult cli(const QStringList &arguments);

    RealFtpServer m_server{RealFtpServer::Kind::Pyftpdlib};
    IsolatedHome m_home;
    QTemporaryDir m_dir;
    std::unique_ptr<WindowFixture> m_fixture;
    RecordListView *m_list = nullptr;
    QDialog *m_dialog = nullptr;
    // What the program showed: messages, log lines, command line output.
    QStringList m_shown;
};

void UploadKeyringGuiTest::initTestCase()
{
    g_previousHandler = qInstallMessageHandler(recordMessage);
    QVERIFY2(Keyring::unavailableReason().isEmpty(), qPrintable(Keyring::unavailableReason()));
    const QString problem = m_server.start();
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
    m_server.makeFolder(QStringLiteral("in"));
}

void UploadKeyringGuiTest::init()
{
    m_fixture = std::make_unique<WindowFixture>(m_dir.path());
    m_fixture->window.buildOtherPages();
    m_list = m_fixture->widget<RecordListView>("ListView5");
    m_dialog = m_fixture->widget<QDialog>("TForm5");
    QVERIFY(keepInKeyring());
    m_fixture->showProjectTab("TabSheet13");
    QVERIFY(m_fixture->show());
    for (const QString &host : {QStringLiteral("127.0.0.1"), QStringLiteral("localhost")})
        forgetInKeyring(key(host));
}

void UploadKeyringGuiTest::cleanup()
{
    collectShown();
    m_fixture.reset();
}

void UploadKeyringGuiTest::collectShown()
{
    m_shown += m_fixture->prompts.messages + m_fixture->prompts.errors + m_fixture->prompts.warnings + m_fixture->prompts.questions + logLines();
}

void UploadKeyringGuiTest::editRow(int row)
{
    m_list->clearSelection();
    selectRow(m_list, row);
    m_list->setCurrentIndex(m_list->model()->index(row, 0));
    QTest::keyClick(m_list, Qt::Key_Return);
    QVERIFY(m_dialog->isVisible());
}

UploadEntry UploadKeyringGuiTest::entry(const QString &file, const QString &host, const QString &password) const
{
    const QString source = writeFile(m_dir.filePath(file), file.toUtf8());
    return {source, QStringLiteral("ftp://%1/in").arg(host), kUser, password, port()};
}

QStringList UploadKeyringGuiTest::logLines() const
{
    const auto *log = m_fixture->window.findChild<QListWidget *>(QStringLiteral("ListBox1"));
    QStringList lines;
    for (int row = 0; row < log->count(); ++row)
        lines.append(log->item(row)->text());
    return lines;
}

CliResult UploadKeyringGuiTest::cli(const QStringList &arguments)
{
    const CliResult result = runCli(arguments);
    m_shown += {QString::fromUtf8(result.out), QString::fromUtf8(result.err)};
    return result;
}

// The keyring's library starts its next request from the thread it served first; a window
// thread that waits for a worker, as the chore runner does when it cancels, must not stall it.
void UploadKeyringGuiTest::keyring_answersOnEveryThreadWhileTheCallerWaits()
{
    Keyring::write(QStringLiteral("thread check"), QStringLiteral("from the window thread"));
    QString readOnWorker;
    std::unique_ptr<QThread> worker(QThread::create([&readOnWorker] {
        readOnWorker = Keyring::read(QStringLiteral("thread check")).value_or(QString());
        Keyring::write(QStringLiteral("thread check"), QStringLiteral("from a worker"));
    }));
    worker->start();
    // Blocked, handling no events at all.
    QVERIFY(worker->wait(10000));
    QCOMPARE(readOnWorker, QStringLiteral("from the window thread"));

    ChoreRunner runner;
    std::optional<QString> readInChore;
    const ChoreReport report = runner.run(QStringLiteral("reading"), [&readInChore](ChoreProgress &) {
        readInChore = Keyring::read(QStringLiteral("thread check"));
    });
    QVERIFY(report.succeeded());
    QCOMPARE(readInChore, std::optional<QString>(QStringLiteral("from a worker")));
    QCOMPARE(Keyring::read(QStringLiteral("nothing kept here")), std::nullopt);
}

void UploadKeyringGuiTest::dialogSave_keepsThePasswordInTheKeyring_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("port");
    QTest::addColumn<QString>("key");

    QTest::newRow("ftp, the dialog's port") << "ftp://files.example.org/in" << "21" << "bob@files.example.org:21";
    QTest::newRow("ftps, the dialog's port") << "ftps://files.example.org/in" << "21" << "bob@files.example.org:21";
    QTest::newRow("sftp, the dialog's port is SSH's") << "sftp://files.example.org/in" << "21" << "bob@files.example.org:22";
    QTest::newRow("a port of its own") << "ftp://files.example.org/in" << "2121" << "bob@files.example.org:2121";
    QTest::newRow("the URL's port") << "sftp://files.example.org:99/in" << "2121" << "bob@files.example.org:99";
    QTest::newRow("no port, ftp's") << "ftp://files.example.org/in" << "" << "bob@files.example.org:21";
}

// An entry whose password the file holds: ticking the box takes the password out of the file
// when the project is saved, and the file is otherwise written byte for byte as it was, and
// keeps its mode. Changes discarded, the keyring never gets the password.
void UploadKeyringGuiTest::dialogSave_keepsThePasswordInTheKeyring()
{
    QFETCH(QString, target);
    QFETCH(QString, port);
    QFETCH(QString, key);
    const QString password = QStringLiteral("Pw-%1-ü").arg(QTest::currentDataTag());
    forgetInKeyring(key);
    ProjectData data;
    data.name = QStringLiteral("Keyring");
    data.uploads = {{"/srv/release.zip", target, "bob", password, port}};
    data.notes = {QStringLiteral("a note")};
    const QString path = writeProject(m_dir.filePath(QStringLiteral("dialog.dev")), data);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    const QByteArray before = readFile(path);
    m_fixture->workspace.commands.load(path);

    const auto tickAndSave = [this] {
        editRow(0);
        QVERIFY(keepInKeyring()->isEnabled());
        QVERIFY(!keepInKeyring()->isChecked());
        keepInKeyring()->setChecked(true);
        m_dialog->findChild<QPushButton *>(QStringLiteral("BitBtn2"))->click();
    };
    tickAndSave();
    m_fixture->workspace.commands.load(path);
    QCOMPARE(Keyring::read(key), std::nullopt);
    QCOMPARE(readFile(path), before);

    tickAndSave();
    QCOMPARE(Keyring::read(key), std::nullopt);
    m_fixture->trigger("Save1");
    QVERIFY(m_fixture->prompts.errors.isEmpty());
    QCOMPARE(Keyring::read(key), std::optional(password));
    QCOMPARE(readFile(path), withLinesEmptied(before, {passwordLine(0)}));
    QCOMPARE(modeOf(path), 0644);

    // Opened again, the box is ticked and the password is the keyring's.
    editRow(0);
    QVERIFY(keepInKeyring()->isChecked());
    QCOMPARE(box("Edit5")->text(), password);
    // A new entry starts with the box ticked.
    m_fixture->trigger("Newupload1");
    QVERIFY(keepInKeyring()->isChecked());
    QVERIFY(box("Edit5")->text().isEmpty());
}

// A password the keyring cannot take stays where it was, and the user is told at the save.
void UploadKeyringGuiTest::dialogSave_keyringRefusal_keepsThePasswordInTheFile()
{
    m_fixture->workspace.project.setPath(m_dir.filePath(QStringLiteral("refused.dev")));
    m_fixture->trigger("Newupload1");
    QTest::keyClicks(box("Edit1"), QStringLiteral("/srv/a.zip"));
    QTest::keyClicks(box("Edit4"), QStringLiteral("ftp:///in"));
    QTest::keyClicks(box("Edit3"), QStringLiteral("bob"));
    QTest::keyClicks(box("Edit5"), QStringLiteral("kept-in-file"));
    QVERIFY(keepInKeyring()->isChecked());
    m_dialog->findChild<QPushButton *>(QStringLiteral("BitBtn2"))->click();
    QVERIFY(m_fixture->prompts.errors.isEmpty());
    m_fixture->trigger("Save1");
    QCOMPARE(m_fixture->prompts.errors.size(), 1);
    QVERIFY2(m_fixture->prompts.errors[0].startsWith(QLatin1String("These passwords stay in the project file:\nftp:///in: ")),
             qPrintable(m_fixture->prompts.errors[0]));
    QCOMPARE(ProjectFile::read(m_fixture->workspace.project.data().path).uploads.at(0).password, QStringLiteral("kept-in-file"));
    m_fixture->prompts.errors.clear();
}

void UploadKeyringGuiTest::upload_takesThePasswordFromTheKeyring()
{
    Keyring::write(key(QStringLiteral("localhost")), kPassword);
    const UploadEntry kept = entry(QStringLiteral("kept.txt"), QStringLiteral("localhost"), QString());
    m_fixture->workspace.project.setUploads({kept});
    m_fixture->trigger("Uploadfiles1");
    waitForRunEnd();
    QCOMPARE(m_fixture->prompts.messages, QStringList{"Finished"});
    QVERIFY(m_fixture->prompts.passwordAccounts.isEmpty());
    QCOMPARE(readFile(m_server.root() + "/in/kept.txt"), QByteArray("kept.txt"));
}

void UploadKeyringGuiTest::upload_missingPassword_askedOnceForEachAccount_data()
{
    QTest::addColumn<bool>("answered");
    QTest::addColumn<bool>("remember");
    QTest::newRow("typed in and remembered") << true << true;
    QTest::newRow("typed in for this run") << true << false;
    QTest::newRow("cancelled: those entries fail") << false << false;
}

// Two entries of one account and one that holds its own password: one question, once.
void UploadKeyringGuiTest::upload_missingPassword_askedOnceForEachAccount()
{
    QFETCH(bool, answered);
    QFETCH(bool, remember);
    const QString tag = QString::fromLatin1(QTest::currentDataTag()).left(5);
    const QList<UploadEntry> uploads = {entry(tag + "-1.txt", "127.0.0.1", ""), entry(tag + "-2.txt", "127.0.0.1", ""),
                                        entry(tag + "-3.txt", "localhost", kPassword)};
    m_fixture->workspace.project.setUploads(uploads);
    if (answered)
        m_fixture->prompts.answers.push_back(kPassword);
    m_fixture->prompts.rememberPasswords = remember;

    m_fixture->trigger("Uploadfiles1");
    waitForRunEnd();

    QCOMPARE(m_fixture->prompts.passwordAccounts, QStringList{key("127.0.0.1")});
    QCOMPARE(Keyring::read(key(QStringLiteral("127.0.0.1"))), remember ? std::optional(kPassword) : std::nullopt);
    QCOMPARE(QFileInfo::exists(m_server.root() + "/in/" + tag + "-1.txt"), answered);
    QCOMPARE(QFileInfo::exists(m_server.root() + "/in/" + tag + "-2.txt"), answered);
    QVERIFY(QFileInfo::exists(m_server.root() + "/in/" + tag + "-3.txt"));
    if (answered) {
        QCOMPARE(m_fixture->prompts.messages, QStringList{"Finished"});
        return;
    }
    const QString whyNone = QStringLiteral("No password for %1: the system keyring holds none for it. No "
                                           "password was typed in.").arg(key("127.0.0.1"));
    QCOMPARE(m_fixture->prompts.warnings, QStringList{QStringLiteral("Finished, but 2 of 3 uploads failed:\n\n%1: %3\n%2: %3")
                                               .arg(uploads[0].source, uploads[1].source, whyNone)});
}

void UploadKeyringGuiTest::refusedPassword_askedAgainOnce_data()
{
    QTest::addColumn<QString>("answer"); // to the one question after the refusal
    QTest::addColumn<bool>("remember");

    QTest::newRow("right, kept") << kPassword << true;
    QTest::newRow("right, for this run") << kPassword << false;
    QTest::newRow("wrong again: not asked a third time") << "still-wrong" << true;
}

// The file's password is refused: asked again once for the account, whose second entry then
// needs no question. Kept, the password goes into the keyring and the file's stale one goes.
void UploadKeyringGuiTest::refusedPassword_askedAgainOnce()
{
    QFETCH(QString, answer);
    QFETCH(bool, remember);
    const bool right = answer == kPassword;
    const QString tag = QString::number(qHash(QString::fromLatin1(QTest::currentDataTag())));
    const QList<UploadEntry> uploads = {entry(tag + "-1.txt", "127.0.0.1", "stale"), entry(tag + "-2.txt", "127.0.0.1", "stale")};
    m_fixture->workspace.project.setUploads(uploads);
    m_fixture->workspace.project.setModified(false);
    m_fixture->prompts.answers.push_back(answer);
    m_fixture->prompts.rememberPasswords = remember;

    m_fixture->trigger("Uploadfiles1");
    waitForRunEnd();

    QCOMPARE(m_fixture->prompts.passwordAccounts, QStringList{key("127.0.0.1") + " (refused)"});
    QCOMPARE(QFileInfo::exists(m_server.root() + "/in/" + tag + "-1.txt"), right);
    QCOMPARE(QFileInfo::exists(m_server.root() + "/in/" + tag + "-2.txt"), right);
    const bool kept = right && remember;
    QCOMPARE(Keyring::read(key(QStringLiteral("127.0.0.1"))), kept ? std::optional(kPassword) : std::nullopt);
    QCOMPARE(passwordsOf(m_fixture->workspace.project.data().uploads),
             kept ? QStringList({"", ""}) : QStringList({"stale", "stale"}));
    QCOMPARE(m_fixture->workspace.project.isModified(), kept);
    if (right)
        QCOMPARE(m_fixture->prompts.messages, QStringList{"Finished"});
    else
        QVERIFY2(m_fixture->prompts.warnings.value(0).contains("The server refused the login: 530"),
                 qPrintable(m_fixture->prompts.warnings.value(0)));
}

void UploadKeyringGuiTest::commandLineUpload_data()
{
    QTest::addColumn<QString>("inKeyring");
    QTest::addColumn<QByteArray>("environment"); // TROVAS_PASSWORD; null when not set
    QTest::addColumn<int>("status");

    QTest::newRow("the keyring's") << kPassword << QByteArray() << 0;
    QTest::newRow("the keyring's before the environment's") << kPassword << QByteArray("wrong") << 0;
    QTest::newRow("none: the entry fails") << QString() << QByteArray() << 1;
    QTest::newRow("the environment's") << QString() << kPassword.toUtf8() << 0;
}

void UploadKeyringGuiTest::commandLineUpload()
{
    QFETCH(QString, inKeyring);
    QFETCH(QByteArray, environment);
    QFETCH(int, status);
    if (!inKeyring.isEmpty())
        Keyring::write(key(QStringLiteral("127.0.0.1")), inKeyring);
    const QString file = QStringLiteral("cli-%1.txt").arg(QTest::currentDataTag()).replace(QLatin1Char(' '), QLatin1Char('-'))
                             .remove(QLatin1Char('\'')).remove(QLatin1Char(':'));
    ProjectData data;
    data.uploads = {entry(file, QStringLiteral("127.0.0.1"), QString())};
    const QString path = writeProject(m_dir.filePath(QStringLiteral("cli.dev")), data);
    if (!environment.isNull())
        qputenv("TROVAS_PASSWORD", environment);
    const auto unset = qScopeGuard([] { qunsetenv("TROVAS_PASSWORD"); });

    const CliResult result = cli({path, QStringLiteral("upload")});
    QVERIFY2(result.status == status, result.err.constData());
    QCOMPARE(QFileInfo::exists(m_server.root() + "/in/" + file), status == 0);
    if (status != 0)
        QVERIFY2(result.err.contains(QStringLiteral("No password for %1: the system keyring holds none for it. "
                                                    "Set TROVAS_PASSWORD to give it.").arg(key("127.0.0.1")).toUtf8()),
                 result.err.constData());
}

// Three passwords, each under its own account; one "No" changes nothing.
void UploadKeyringGuiTest::movePasswords_windowAsksThenSavesWithout()
{
    const QList<UploadEntry> uploads = {{"/a.zip", "ftp://one.example.org/in", "ann", "pw-ann", "21"},
                                        {"/b.zip", "sftp://two.example.org/in", "bob", "pw-bob", "21"},
                                        {"/c.zip", "ftp://two.example.org/in", "bob", "pw-bob-ftp", "2121"}};
    const QStringList keys = {"ann@one.example.org:21", "bob@two.example.org:22", "bob@two.example.org:2121"};
    for (const QString &key : keys)
        forgetInKeyring(key);
    ProjectData data;
    data.uploads = uploads;
    const QString path = writeProject(m_dir.filePath(QStringLiteral("move.dev")), data);
    m_fixture->workspace.commands.load(path);

    m_fixture->prompts.answers.push_back(std::nullopt);
    m_fixture->trigger("Movepasswords1");
    QCOMPARE(m_fixture->prompts.questions, QStringList{"Move the 3 upload passwords of this project into the system keyring "
                                              "and save the project without them?"});
    QCOMPARE(Keyring::read(keys[0]), std::nullopt);
    QCOMPARE(passwordsOf(ProjectFile::read(path).uploads), passwordsOf(uploads));

    m_fixture->prompts.answers.push_back(QStringLiteral("yes"));
    m_fixture->trigger("Movepasswords1");
    QCOMPARE(m_fixture->prompts.messages, QStringList{"3 passwords are in the system keyring now."});
    for (int i = 0; i < 3; ++i)
        QCOMPARE(Keyring::read(keys[i]), std::optional(uploads[i].password));
    QCOMPARE(passwordsOf(ProjectFile::read(path).uploads), QStringList({"", "", ""}));
    QCOMPARE(passwordsOf(m_fixture->workspace.project.data().uploads), QStringList({"", "", ""}));
}

// In the file's own order, only the password lines change; an entry the keyring cannot take
// keeps its password, and the run says so with exit status 1.
void UploadKeyringGuiTest::movePasswords_commandLineKeepsTheFileButThePasswordLines()
{
    ProjectData data;
    data.name = QStringLiteral("Move");
    data.uploads = {{"/z.zip", "ftp://three.example.org/in", "zed", "pw-zed", "21"},
                    {"/y.zip", "not a URL", "yan", "pw-yan", "21"},
                    {"/x.zip", "ftp://three.example.org/in", "xia", "", "21"},
                    {"/w.zip", "ftps://three.example.org/in", "wes", "pw-wes", "990"}};
    data.todos = {TodoItem{}};
    const QString path = writeProject(m_dir.filePath(QStringLiteral("cli-move.dev")), data);
    const QByteArray before = readFile(path);

    const CliResult dryRun = cli({path, "secrets", "move", "--dry-run"});
    QCOMPARE(dryRun.status, 1);
    QCOMPARE(dryRun.out, QByteArray("zed@three.example.org:21\nwes@three.example.org:990\n"));
    QCOMPARE(readFile(path), before);

    const CliResult result = cli({path, "secrets", "move"});
    QCOMPARE(result.status, 1);
    QCOMPARE(result.out, QByteArray("Moved 2 of 3 passwords into the system keyring.\n"));
    QVERIFY2(result.err.startsWith("not a URL: the password stays in the project file."), result.err.constData());
    QCOMPARE(Keyring::read(QStringLiteral("zed@three.example.org:21")), std::optional<QString>("pw-zed"));
    QCOMPARE(Keyring::read(QStringLiteral("wes@three.example.org:990")), std::optional<QString>("pw-wes"));
    QCOMPARE(readFile(path), withLinesEmptied(before, {passwordLine(0), passwordLine(3)}));
    // One password is still in the file, so it stays its owner's alone.
    QCOMPARE(modeOf(path), 0600);

    const CliResult again = cli({path, "secrets", "move"});
    QCOMPARE(again.status, 1);
    QCOMPARE(again.out, QByteArray("Moved 0 of 1 passwords into the system keyring.\n"));
}

// Whatever the program printed or showed while these tests ran, the password of the FTP
// account never appears in it, nor in Qt's messages.
void UploadKeyringGuiTest::outputs_neverShowThePassword()
{
    Keyring::write(key(QStringLiteral("127.0.0.1")), kPassword);
    ProjectData data;
    data.uploads = {entry(QStringLiteral("shown.txt"), QStringLiteral("127.0.0.1"), QString()),
                    entry(QStringLiteral("shown.txt"), QStringLiteral("localhost"), kPassword),
                    {m_dir.filePath("shown.txt"), "ftp://127.0.0.1/nowhere", kUser, kPassword, port()}};
    const QString path = writeProject(m_dir.filePath(QStringLiteral("shown.dev")), data);
    QCOMPARE(cli({path, "upload"}).status, 1);
    QCOMPARE(cli({path, "upload", "--dry-run", "--json"}).status, 0);
    QCOMPARE(cli({path, "secrets", "move", "--dry-run", "--json"}).status, 0);
    QCOMPARE(cli({path, "info", "--json"}).status, 0);
    m_fixture->workspace.commands.load(path);
    m_fixture->trigger("Uploadfiles1");
    waitForRunEnd();
    collectShown();

    QVERIFY(m_shown.join(QLatin1Char('\n')).contains(QStringLiteral("Transfer complete")));
    for (const QString &text : std::as_const(m_shown))
        QVERIFY2(!text.contains(kPassword), qPrintable(text));
    for (const QString &text : std::as_const(g_qtMessages))
        QVERIFY2(!text.contains(kPassword), qPrintable(text));
}

QTEST_MAIN(UploadKeyringGuiTest)
#include "upload_keyring_gui_test.moc"
