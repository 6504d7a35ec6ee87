#include "workspace/Workspace.h"
#include "chores/ChoreRunner.h"
#include "chores/ChoreEndMessage.h"
#include "project/Error.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QtTest>

#include <unistd.h>

class TempFilesTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void scan_followsFolderAndSubfolders();
    void scan_freshChangeReplacesRunningListing();
    void newExtension_data();
    void newExtension();
    void deleteExtensions_removesSelectedRowsOnly();
    void confirmDeletion_data();
    void confirmDeletion();
    void deleteFiles_passesOverFailures_data();
    void deleteFiles_passesOverFailures();
    void deleteFiles_keepsWhatTheTrashCannotTake();
    void disposal_isKeptInTheSettingsFolder();

private:
    // Sets the project folder and waits for its listing.
    void listFolder(const QString &folder);
    QString path(const QString &relative) const { return m_root + QLatin1Char('/') + relative; }

    IsolatedHome m_home;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<ScriptedPrompts> m_prompts;
    std::unique_ptr<Workspace> m_workspace;
    QString m_root;
};

void TempFilesTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_root = m_dir->path() + QStringLiteral("/project");
    m_prompts = std::make_unique<ScriptedPrompts>();
    m_workspace = std::make_unique<Workspace>(m_dir->path() + QStringLiteral("/settings"), *m_prompts);
    for (const char *file : {"c.TMP", "B.bak", "a.tmp", "notes.txt", "sub/d.tmp", "sub/e.txt"})
        writeFile(path(QLatin1String(file)), "x");
    m_workspace->project.setTempExtensions({QStringLiteral(".tmp"), QStringLiteral(".BAK")});
}

void TempFilesTest::listFolder(const QString &folder)
{
    m_workspace->project.setProjectFolder(folder);
    QVERIFY(waitForListing(m_workspace->tempFiles));
}

void TempFilesTest::scan_followsFolderAndSubfolders()
{
    Project &project = m_workspace->project;
    TempFiles &tempFiles = m_workspace->tempFiles;

    listFolder(m_root);
    QCOMPARE(tempFiles.found(), (QStringList{path("a.tmp"), path("B.bak"), path("c.TMP")}));
    QCOMPARE(tempFiles.countText(), QStringLiteral("Contains 4 files with 3 temp. files"));

    project.setIncludeSubfolders(true);
    QVERIFY(tempFiles.isListing());
    QVERIFY(tempFiles.found().isEmpty());
    QVERIFY(waitForListing(tempFiles));
    QCOMPARE(tempFiles.found(), (QStringList{path("a.tmp"), path("B.bak"), path("c.TMP"), path("sub/d.tmp")}));
    QCOMPARE(tempFiles.countText(), QStringLiteral("Contains 6 files with 4 temp. files"));

    listFolder(m_root + QStringLiteral("/su"));
    QVERIFY(tempFiles.found().isEmpty());
    QCOMPARE(tempFiles.countText(), QStringLiteral("Contains 0 files with 0 temp. files"));
}

void TempFilesTest::scan_freshChangeReplacesRunningListing()
{
    TempFiles &tempFiles = m_workspace->tempFiles;
    QSignalSpy scans(&tempFiles, &TempFiles::scanned);
    QSignalSpy starts(&tempFiles, &TempFiles::listingStarted);
    // Typed character by character: only the last folder's listing is reported.
    const QString typed = m_root + QStringLiteral("/sub");
    for (qsizetype length = 1; length <= typed.size(); ++length)
        m_workspace->project.setProjectFolder(typed.left(length));
    QVERIFY(waitForListing(tempFiles));
    QCOMPARE(starts.count(), typed.size());
    QVERIFY(scans.count() >= 1);
    QCOMPARE(tempFiles.found(), QStringList{path("sub/d.tmp")});
    QCOMPARE(tempFiles.countText(), QStringLiteral("Contains 2 files with 1 temp. files"));
}

void TempFilesTest::newExtension_data()
{
    QTest::addColumn<bool>("confirm");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("extensions");
    QTest::addColumn<int>("found");

    QTest::newRow("cancelled") << false << QString() << QStringList{".BAK", ".tmp"} << 3;
    QTest::newRow("empty text") << true << QString() << QStringList{"", ".BAK", ".tmp"} << 3;
    QTest::newRow("kept as typed, sorted in") << true << ".TXT" << QStringList{".BAK", ".tmp", ".TXT"} << 4;
    QTest::newRow("duplicate") << true << ".bak" << QStringList{".BAK", ".bak", ".tmp"} << 3;
}

void TempFilesTest::newExtension()
{
    QFETCH(bool, confirm);
    QFETCH(QString, typed);
    QFETCH(QStringList, extensions);
    QFETCH(int, found);
    listFolder(m_root);
    if (confirm)
        m_prompts->answers.push_back(typed);
    QSignalSpy scans(&m_workspace->tempFiles, &TempFiles::scanned);

    m_workspace->tempFiles.newExtension();
    QVERIFY(waitForListing(m_workspace->tempFiles));

    QCOMPARE(m_workspace->project.data().tempExtensions, extensions);
    QCOMPARE(m_workspace->tempFiles.found().size(), found);
    QCOMPARE(scans.count(), 1);
}

void TempFilesTest::deleteExtensions_removesSelectedRowsOnly()
{
    Project &project = m_workspace->project;
    project.setTempExtensions({QStringLiteral(".tmp"), QStringLiteral(".BAK"), QStringLiteral(".tmp")});
    listFolder(m_root);

    m_workspace->tempFiles.deleteExtensions({1});
    QVERIFY(waitForListing(m_workspace->tempFiles));
    QCOMPARE(project.data().tempExtensions, (QStringList{".BAK", ".tmp"}));
    QCOMPARE(m_workspace->tempFiles.found().size(), 3);

    m_workspace->tempFiles.deleteExtensions({0});
    QVERIFY(waitForListing(m_workspace->tempFiles));
    QCOMPARE(m_workspace->tempFiles.found().size(), 2);
}

void TempFilesTest::confirmDeletion_data()
{
    QTest::addColumn<QString>("folder"); // relative to the temporary folder, or absolute
    QTest::addColumn<QList<int>>("rows");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<QString>("question"); // empty: nothing asked
    QTest::addColumn<bool>("agreed");
    QTest::addColumn<QString>("refused"); // a word of the refusal, empty when not refused

    // The question names where the files go: the trash, unless the user deletes permanently.
    QTest::newRow("all, yes") << "project" << QList<int>{0, 1, 2} << true
                              << "Move 3 temporary files in %1/project to the trash?" << true << "";
    QTest::newRow("one, no") << "project" << QList<int>{1} << false
                             << "Move 1 temporary file in %1/project to the trash?" << false << "";
    QTest::newRow("permanently, yes") << "project" << QList<int>{0, 2} << true
                                      << "Delete 2 temporary files in %1/project?" << true << "";
    QTest::newRow("nothing selected") << "project" << QList<int>{} << false << "" << true << "";
    QTest::newRow("root") << "/" << QList<int>{0} << true << "" << false << "root";
    QTest::newRow("home") << "" << QList<int>{0} << true << "" << false << "home folder";
    QTest::newRow("home, spelt with a slash") << "/" << QList<int>{0} << true << "" << false << "home folder";
}

void TempFilesTest::confirmDeletion()
{
    QFETCH(QString, folder);
    QFETCH(QList<int>, rows);
    QFETCH(bool, answer);
    QFETCH(QString, question);
    QFETCH(bool, agreed);
    QFETCH(QString, refused);
    if (QTest::currentDataTag() == QByteArrayView("permanently, yes"))
        m_workspace->tempFiles.setDisposal(TempFiles::Disposal::Delete);
    const QString home = m_home.path();
    writeFile(home + QStringLiteral("/stray.tmp"), "x");
    const QString tag = QString::fromLatin1(QTest::currentDataTag());
    const QString listed = tag.startsWith(QLatin1String("home")) ? home + folder
                           : folder.startsWith(QLatin1Char('/')) ? folder
                                                                 : m_dir->path() + QLatin1Char('/') + folder;
    m_workspace->project.setTempExtensions({QStringLiteral(".tmp"), QStringLiteral(".BAK")});
    // The root holds no temporary files here; what is found there does not matter for the refusal.
    listFolder(listed);
    if (answer)
        m_prompts->answers.push_back(QString());
    else
        m_prompts->answers.push_back(std::nullopt);
    const QStringList paths = listed == QLatin1String("/") ? QStringList{QStringLiteral("/x.tmp")}
                                                          : m_workspace->tempFiles.foundAt(rows);

    try {
        QCOMPARE(m_workspace->tempFiles.confirmDeletion(paths), agreed);
        QVERIFY(refused.isEmpty());
    } catch (const Error &error) {
        QVERIFY2(!refused.isEmpty() && error.message().contains(refused), qPrintable(error.message()));
    }
    QCOMPARE(m_prompts->questions, question.isEmpty() ? QStringList() : QStringList{question.arg(m_dir->path())});
}

void TempFilesTest::deleteFiles_passesOverFailures_data()
{
    QTest::addColumn<TempFiles::Disposal>("disposal");
    QTest::newRow("to the trash") << TempFiles::Disposal::Trash;
    QTest::newRow("permanently") << TempFiles::Disposal::Delete;
}

void TempFilesTest::deleteFiles_passesOverFailures()
{
    QFETCH(TempFiles::Disposal, disposal);
    const QString trash = m_home.path() + QStringLiteral("/data/Trash/");
    QDir(m_home.path() + QStringLiteral("/data")).removeRecursively();
    // A name with a percent sign, a blank and a letter beyond ASCII, which the trash's record
    // holds percent-encoded.
    const QString oddName = QStringLiteral("50%25 ü.tmp");
    writeFile(path(oddName), "x");
    const QStringList paths{path("0.tmp"), path("a.tmp"), path("B.bak"), path("sub/d.tmp"), path("gone.tmp"), path(oddName)};
    // A folder under a temporary file's name is no file to delete.
    writeFile(path("0.tmp/kept"), "x");
    // A folder without write permission keeps its files, unless this user ignores permissions.
    QVERIFY(QFile::setPermissions(path("sub"), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    const bool locked = !QFile(path("sub/probe")).open(QIODevice::WriteOnly);

    ChoreRunner runner;
    const ChoreReport report = runner.run(QStringLiteral("Deleting"), [&paths, disposal](ChoreProgress &progress) {
        TempFiles::deleteFiles(paths, disposal, progress);
    });
    QFile::setPermissions(path("sub"), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

    QVERIFY(!report.error && !report.cancelled);
    QVERIFY(!QFile::exists(path("a.tmp")) && !QFile::exists(path("B.bak")));
    QVERIFY(QFile::exists(path("c.TMP")) && QFile::exists(path("notes.txt")) && QFile::exists(path("0.tmp/kept")));
    QCOMPARE(QFile::exists(path("sub/d.tmp")), locked);
    QCOMPARE(report.failures.size(), locked ? 1 : 0);

    // The trash lives in the data folder, which did not exist before: each file there with
    // the record of where it came from.
    const bool toTrash = disposal == TempFiles::Disposal::Trash;
    for (const QString &name : {QStringLiteral("a.tmp"), QStringLiteral("B.bak"), oddName}) {
        QCOMPARE(QFile::exists(trash + QStringLiteral("files/") + name), toTrash);
        const QByteArray info = readFile(trash + QStringLiteral("info/") + name + QStringLiteral(".trashinfo"));
        const QByteArray origin = info.mid(info.indexOf("Path=") + 5).split('\n').value(0);
        QCOMPARE(QUrl::fromPercentEncoding(origin), toTrash ? path(name) : QString());
    }
    QCOMPARE(QDir(m_root).exists(QStringLiteral("files")), false);
}

// Another file system whose top folder holds no trash and cannot get one: the file stays and
// the report names it.
void TempFilesTest::deleteFiles_keepsWhatTheTrashCannotTake()
{
    QTemporaryDir mountPoint;
    QString drive = mountPoint.path();
    const bool mounted = QProcess::execute(QStringLiteral("mount"), {QStringLiteral("-t"), QStringLiteral("tmpfs"),
                                                                   QStringLiteral("-o"), QStringLiteral("size=1m"),
                                                                   QStringLiteral("tmpfs"), drive}) == 0;
    const auto unmount = qScopeGuard([&] {
        if (mounted)
            QProcess::execute(QStringLiteral("umount"), {mountPoint.path()});
    });
    const QString userTrash = QStringLiteral("/.Trash-%1").arg(::getuid());
    if (!mounted) {
        drive = QStringLiteral("/dev/shm");
        if (!QFileInfo(drive).isDir() || QFileInfo::exists(drive + QStringLiteral("/.Trash"))
            || QFileInfo::exists(drive + userTrash))
            QSKIP("Needs a tmpfs without a trash: cannot mount one (not root), and /dev/shm is missing or has a trash");
    }
    // A file where the trash folder of this user would be made.
    const QString blocker = writeFile(drive + userTrash, "");
    const auto unblock = qScopeGuard([&] { QFile::remove(blocker); });
    QTemporaryDir folder(drive + QStringLiteral("/project-XXXXXX"));
    const QString file = writeFile(folder.filePath(QStringLiteral("old.tmp")), "keep me");
    const QString moved = writeFile(path("moved.tmp"), "x");

    ChoreRunner runner;
    const ChoreReport report = runner.run(QStringLiteral("Deleting"), [&](ChoreProgress &progress) {
        TempFiles::deleteFiles({file, moved}, TempFiles::Disposal::Trash, progress);
    });

    QCOMPARE(readFile(file), QByteArray("keep me"));
    QVERIFY(!QFile::exists(moved));
    QCOMPARE(report.failures.size(), 1);
    QCOMPARE(report.failures.first().item, file);
    QVERIFY2(report.failures.first().reason.contains(QLatin1String("left in place")), qPrintable(report.failures.first().reason));
    QVERIFY(choreEnd(report, {TempFiles::handledWord(TempFiles::Disposal::Trash)})
                .text.startsWith(QStringLiteral("Finished, but 1 file could not be moved to the trash:\n")));
}

void TempFilesTest::disposal_isKeptInTheSettingsFolder()
{
    const QString folder = m_dir->path() + QStringLiteral("/options/");
    QCOMPARE(TempFiles::loadDisposal(folder), TempFiles::Disposal::Trash);
    QDir().mkpath(folder);
    TempFiles::saveDisposal(folder, TempFiles::Disposal::Delete);
    QCOMPARE(TempFiles::loadDisposal(folder), TempFiles::Disposal::Delete);
    TempFiles::saveDisposal(folder, TempFiles::Disposal::Trash);
    QCOMPARE(TempFiles::loadDisposal(folder), TempFiles::Disposal::Trash);
}

QTEST_GUILESS_MAIN(TempFilesTest)
#include "temp_files_test.moc"
