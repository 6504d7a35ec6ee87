// Folder deploys to real servers on 127.0.0.1 (pyftpdlib, vsftpd with TLS, OpenSSH's sshd):
// only what changed moves, the record on the server lets any machine agree on what is there,
// stale files go only when asked and only if the deploy put them there.
#include "RealFtpServer.h"
#include "RealSshServer.h"
#include "chores/ChoreRunner.h"
#include "support/TestSupport.h"
#include "upload/FolderDeploy.h"
#include "upload/HostTrust.h"
#include "upload/SyncState.h"
#include "upload/UploadRun.h"

#include <QDirIterator>
#include <QTimer>
#include <QtTest>

#include <sys/stat.h>

namespace {

class TrustAll : public HostTrust
{
public:
    bool trust(const QString &, const QString &) override { return true; }
};

struct RunResult
{
    QStringList log;
    QList<ChoreFailure> failures;
    QStringList notes;
    QStringList problems;
    bool cancelled = false;

    QStringList uploaded() const
    {
        QStringList paths;
        for (const QString &line : log)
            if (line.startsWith(QLatin1String("Upload: ")))
                paths.append(line.mid(8));
        paths.sort();
        return paths;
    }
    // What went wrong first, then the log.
    QString report() const
    {
        QStringList lines;
        for (const ChoreFailure &failure : failures)
            lines << "failure " + failure.item + ": " + failure.reason;
        return (lines + notes + problems + log).join('\n');
    }
};

QByteArray contentOf(const QString &path, int variant = 0)
{
    return QStringLiteral("%1 #%2 ").arg(path).arg(variant).toUtf8().repeated(1 + int(qHash(path) % 40));
}

// path -> content of every file below `folder`, the deploy's record and temporaries left out.
QMap<QString, QByteArray> treeOf(const QString &folder)
{
    QMap<QString, QByteArray> tree;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = QDir(folder).relativeFilePath(it.next());
        if (path != SyncState::FileName)
            tree.insert(path, readFile(it.filePath()));
    }
    return tree;
}

} // namespace

class DeployTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void changesOnly_data();
    void changesOnly();
    void staleFiles_removedOnlyWhenAskedAndOnlyOurs_data();
    void staleFiles_removedOnlyWhenAskedAndOnlyOurs();
    void missingOrDamagedState_comparesWithTheServersFiles_data();
    void missingOrDamagedState_comparesWithTheServersFiles();
    void twoClones_agreeThroughTheServersRecord();
    void oneOrFourAtOnce_giveTheSameTree_data();
    void oneOrFourAtOnce_giveTheSameTree();
    void cutOffHalfway_recordsWhatArrived_andTheNextRunSendsTheRest();
    void preview_movesNothing();
    void linksAndSpecialFiles();

private:
    // A fresh local tree and its server folder for one protocol; returns the entry.
    UploadEntry entryFor(const QString &scheme, const QString &name, const QString &local);
    QString serverFolder(const QString &scheme, const QString &name);
    RunResult deploy(const UploadEntry &entry, int jobs = 4, ChoreProgress *progress = nullptr);
    void makeSite(const QString &folder, int files);

    IsolatedHome m_home;
    QTemporaryDir m_local;
    RealSshServer m_ssh;
    RealFtpServer m_ftps{RealFtpServer::Kind::Vsftpd};
    RealFtpServer m_ftp{RealFtpServer::Kind::Pyftpdlib};
    RealFtpServer m_slowFtp{RealFtpServer::Kind::Pyftpdlib};
    TrustAll m_trust;
};

void DeployTest::initTestCase()
{
    QString problem = m_ssh.start();
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
    m_ftps.requireTls();
    problem = m_ftps.start();
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
    problem = m_ftp.start();
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
    problem = m_slowFtp.start(1 << 20);
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
}

void DeployTest::init()
{
    qunsetenv("SSH_AUTH_SOCK");
}

QString DeployTest::serverFolder(const QString &scheme, const QString &name)
{
    if (scheme == "sftp")
        return m_ssh.folder(name);
    return (scheme == "ftps" ? m_ftps : m_ftp).root() + "/" + name;
}

UploadEntry DeployTest::entryFor(const QString &scheme, const QString &name, const QString &local)
{
    const quint16 port = scheme == "sftp" ? m_ssh.port() : scheme == "ftps" ? m_ftps.port() : m_ftp.port();
    if (scheme == "ftps")
        m_ftps.makeFolder(QString()); // vsftpd's user may write in its root
    const QString target = scheme == "sftp" ? "sftp://127.0.0.1" + serverFolder(scheme, name) // an absolute folder
                                            : scheme + "://127.0.0.1/" + name;
    return {local, target, QString::fromLatin1(RealFtpServer::SystemUser), QString::fromLatin1(RealFtpServer::Password),
            QString::number(port)};
}

void DeployTest::makeSite(const QString &folder, int files)
{
    for (int i = 0; i < files; ++i) {
        const QString path = QStringLiteral("f%1/sub%2/page %3.html").arg(i % 3).arg(i % 2).arg(i);
        writeFile(folder + "/" + path, contentOf(path));
    }
    writeFile(folder + "/index.html", contentOf("index.html"));
    writeFile(folder + "/empty.txt", {});
}

RunResult DeployTest::deploy(const UploadEntry &entry, int jobs, ChoreProgress *given)
{
    ChoreProgress own;
    ChoreProgress &progress = given ? *given : own;
    UploadServices services;
    services.hostTrust = &m_trust;
    services.pinnedCertificates = m_home.path() + "/pins.txt";
    services.transfersAtOnce = jobs;
    RunResult result;
    try {
        runUploads({entry}, progress, services);
    } catch (const ChoreCancelled &) {
        result.cancelled = true;
    }
    result.log = progress.takeLog();
    result.failures = progress.failures();
    result.notes = progress.notes();
    result.problems = progress.problems();
    return result;
}

void DeployTest::changesOnly_data()
{
    QTest::addColumn<QString>("scheme");
    QTest::newRow("ftp") << "ftp";
    QTest::newRow("ftps, a server without MLSD") << "ftps";
    QTest::newRow("sftp") << "sftp";
}

void DeployTest::changesOnly()
{
    QFETCH(QString, scheme);
    const QString local = m_local.filePath(scheme + "-changes");
    makeSite(local, 12);
    const UploadEntry entry = entryFor(scheme, "changes", local);

    RunResult run = deploy(entry);
    QVERIFY2(run.failures.isEmpty() && run.problems.isEmpty(), qPrintable(run.report()));
    QCOMPARE(run.uploaded().size(), 14);
    QCOMPARE(treeOf(serverFolder(scheme, "changes")), treeOf(local));

    writeFile(local + "/f1/sub1/page 7.html", contentOf("f1/sub1/page 7.html", 1));
    writeFile(local + "/new/folder/added.css", "body {}");
    run = deploy(entry);
    QVERIFY2(run.failures.isEmpty(), qPrintable(run.report()));
    QCOMPARE(run.uploaded(), (QStringList{"f1/sub1/page 7.html", "new/folder/added.css"}));
    QCOMPARE(treeOf(serverFolder(scheme, "changes")), treeOf(local));

    // Nothing changed: nothing sent, not even the record.
    const QDateTime recorded = QFileInfo(serverFolder(scheme, "changes") + "/" + SyncState::FileName).lastModified();
    run = deploy(entry);
    QVERIFY2(run.failures.isEmpty(), qPrintable(run.report()));
    QCOMPARE(run.uploaded(), QStringList());
    QCOMPARE(QFileInfo(serverFolder(scheme, "changes") + "/" + SyncState::FileName).lastModified(), recorded);
}

void DeployTest::staleFiles_removedOnlyWhenAskedAndOnlyOurs_data()
{
    QTest::addColumn<QString>("scheme");
    QTest::newRow("ftp") << "ftp";
    QTest::newRow("sftp") << "sftp";
}

void DeployTest::staleFiles_removedOnlyWhenAskedAndOnlyOurs()
{
    QFETCH(QString, scheme);
    const QString local = m_local.filePath(scheme + "-stale");
    makeSite(local, 4);
    UploadEntry entry = entryFor(scheme, "stale", local);
    const QString server = serverFolder(scheme, "stale");
    QVERIFY(deploy(entry).failures.isEmpty());
    writeFile(server + "/theirs.txt", "put there by someone else");
    writeFile(server + "/f0/theirs too.txt", "likewise");
    QVERIFY(QFile::remove(local + "/f0/sub0/page 0.html"));

    // Without the option the file stays where it is.
    RunResult run = deploy(entry);
    QVERIFY2(run.failures.isEmpty(), qPrintable(run.report()));
    QVERIFY(QFile::exists(server + "/f0/sub0/page 0.html"));

    entry.target = targetWithRemoveStale(entry.target, true);
    run = deploy(entry);
    QVERIFY2(run.failures.isEmpty(), qPrintable(run.report()));
    QVERIFY(run.log.contains("Removed: f0/sub0/page 0.html"));
    QVERIFY(!QFile::exists(server + "/f0/sub0/page 0.html"));
    QCOMPARE(readFile(server + "/theirs.txt"), "put there by someone else");
    QCOMPARE(readFile(server + "/f0/theirs too.txt"), "likewise");
    QMap<QString, QByteArray> expected = treeOf(local);
    expected.insert("theirs.txt", "put there by someone else");
    expected.insert("f0/theirs too.txt", "likewise");
    QCOMPARE(treeOf(server), expected);
}

void DeployTest::missingOrDamagedState_comparesWithTheServersFiles_data()
{
    QTest::addColumn<QString>("scheme");
    QTest::addColumn<QByteArray>("state"); // what the record is replaced with; empty: removed
    QTest::addColumn<bool>("noted");
    for (const char *scheme : {"ftp", "ftps", "sftp"}) {
        QTest::addRow("%s, missing", scheme) << scheme << QByteArray() << false;
        QTest::addRow("%s, damaged", scheme) << scheme << QByteArray("{\"version\":1,\"files\":[{\"path\":\"../x\"") << true;
    }
}

void DeployTest::missingOrDamagedState_comparesWithTheServersFiles()
{
    QFETCH(QString, scheme);
    QFETCH(QByteArray, state);
    QFETCH(bool, noted);
    const QString name = QStringLiteral("lost-%1").arg(QTest::currentDataTag()).replace(QRegularExpression("\\W+"), "-");
    const QString local = m_local.filePath(name);
    makeSite(local, 6);
    UploadEntry entry = entryFor(scheme, name, local);
    entry.target = targetWithRemoveStale(entry.target, true);
    const QString server = serverFolder(scheme, name);
    QVERIFY(deploy(entry).failures.isEmpty());

    const QString record = server + "/" + SyncState::FileName;
    QVERIFY(QFile::remove(record));
    if (!state.isEmpty())
        writeFile(record, state);
    writeFile(local + "/index.html", contentOf("index.html") + "longer now");
    QVERIFY(QFile::remove(local + "/f2/sub0/page 2.html"));

    const RunResult run = deploy(entry);
    QVERIFY2(run.failures.isEmpty(), qPrintable(run.report()));
    QCOMPARE(run.uploaded(), QStringList{"index.html"});
    QCOMPARE(noted, !run.notes.filter(SyncState::FileName).isEmpty());
    // Without a record nothing is known to be ours, so nothing goes.
    QVERIFY(QFile::exists(server + "/f2/sub0/page 2.html"));
    QVERIFY(SyncState::fromJson(readFile(record)).has_value());
}

void DeployTest::twoClones_agreeThroughTheServersRecord()
{
    const QString first = m_local.filePath("clone-a");
    const QString second = m_local.filePath("clone-b");
    makeSite(first, 8);
    QTest::qWait(20); // other times of change in the second clone
    makeSite(second, 8);
    QVERIFY(deploy(entryFor("sftp", "clones", first)).failures.isEmpty());

    RunResult run = deploy(entryFor("sftp", "clones", second));
    QVERIFY2(run.failures.isEmpty(), qPrintable(run.report()));
    QCOMPARE(run.uploaded(), QStringList());

    writeFile(second + "/index.html", "changed on the second machine");
    QVERIFY(deploy(entryFor("sftp", "clones", second)).failures.isEmpty());
    run = deploy(entryFor("sftp", "clones", first));
    QCOMPARE(run.uploaded(), QStringList{"index.html"}); // the first machine's own older copy goes back
}

void DeployTest::oneOrFourAtOnce_giveTheSameTree_data()
{
    QTest::addColumn<QString>("scheme");
    QTest::newRow("ftp") << "ftp";
    QTest::newRow("ftps") << "ftps";
    QTest::newRow("sftp") << "sftp";
}

void DeployTest::oneOrFourAtOnce_giveTheSameTree()
{
    QFETCH(QString, scheme);
    const QString local = m_local.filePath(scheme + "-jobs");
    makeSite(local, 30);
    QMap<QString, QByteArray> trees[2];
    for (const int jobs : {1, 4}) {
        const QString name = QStringLiteral("jobs%1").arg(jobs);
        const RunResult run = deploy(entryFor(scheme, name, local), jobs);
        QVERIFY2(run.failures.isEmpty() && run.notes.isEmpty(), qPrintable(run.report()));
        QCOMPARE(run.uploaded().size(), 32);
        trees[jobs == 4] = treeOf(serverFolder(scheme, name));
        QCOMPARE(SyncState::fromJson(readFile(serverFolder(scheme, name) + "/" + SyncState::FileName))->size(), 32);
    }
    QCOMPARE(trees[0], treeOf(local));
    QCOMPARE(trees[1], trees[0]);
}

void DeployTest::cutOffHalfway_recordsWhatArrived_andTheNextRunSendsTheRest()
{
    const QString local = m_local.filePath("cut");
    writeFile(local + "/a.bin", QByteArray(1000, 'a'));
    writeFile(local + "/b.bin", QByteArray(3 << 20, 'b'));
    writeFile(local + "/c.bin", QByteArray(1000, 'c'));
    UploadEntry entry = entryFor("ftp", "cut", local);
    entry.port = QString::number(m_slowFtp.port());
    const QString server = m_slowFtp.root() + "/cut";

    // The server takes 1 MB a second: cancelled a third into the second file.
    ChoreProgress progress;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (progress.snapshot().done >= (1 << 20))
            progress.cancel();
    });
    watch.start(10);
    RunResult run = deploy(entry, 1, &progress);
    watch.stop();
    QVERIFY2(run.cancelled, qPrintable(run.report()));
    // The record names the file that arrived whole; the part of the one cut off stays under
    // its temporary name, never its own.
    const std::optional<QList<MirrorFile>> recorded = SyncState::fromJson(readFile(server + "/" + SyncState::FileName));
    QVERIFY2(recorded, qPrintable(run.report()));
    QCOMPARE(recorded->size(), 1);
    QCOMPARE(recorded->first().path, "a.bin");
    QCOMPARE(QDir(server).entryList(QDir::Files), QStringList{"a.bin"});
    QCOMPARE(QDir(server).entryList({".b.bin.*.part"}, QDir::Hidden | QDir::Files).size(), 1);

    run = deploy(entry, 1);
    QVERIFY2(run.failures.isEmpty() && !run.cancelled, qPrintable(run.report()));
    QCOMPARE(run.uploaded(), (QStringList{"b.bin", "c.bin"}));
    QCOMPARE(run.log.filter("Resuming the upload at byte").size(), 1);
    QCOMPARE(treeOf(server), treeOf(local));
}

void DeployTest::preview_movesNothing()
{
    const QString local = m_local.filePath("preview");
    makeSite(local, 3);
    UploadEntry entry = entryFor("ftp", "preview", local);
    QVERIFY(deploy(entry).failures.isEmpty());
    const QString server = serverFolder("ftp", "preview");
    writeFile(local + "/index.html", "new");
    QVERIFY(QFile::remove(local + "/f1/sub1/page 1.html"));
    entry.target = targetWithRemoveStale(entry.target, true);
    const QMap<QString, QByteArray> before = treeOf(server);
    const QByteArray record = readFile(server + "/" + SyncState::FileName);

    ChoreProgress progress;
    const QList<UploadPreview> previews = previewUploads({entry}, progress);
    QVERIFY(progress.failures().isEmpty());
    QCOMPARE(previews.size(), 1);
    QVERIFY(previews[0].plan);
    const MirrorPlan &plan = *previews[0].plan;
    QCOMPARE(plan.stepsOf(MirrorAction::Upload), (QList<MirrorStep>{{MirrorAction::Upload, "index.html", 3}}));
    QCOMPARE(plan.stepsOf(MirrorAction::Remove).value(0).path, "f1/sub1/page 1.html");
    QCOMPARE(plan.stepsOf(MirrorAction::Skip).size(), 3);
    QCOMPARE(describeMirrorPlan(plan).last(), "1 to upload (3 bytes), 3 unchanged, 1 to remove");
    QCOMPARE(treeOf(server), before);
    QCOMPARE(readFile(server + "/" + SyncState::FileName), record);
}

void DeployTest::linksAndSpecialFiles()
{
    const QString local = m_local.filePath("links");
    writeFile(local + "/real.txt", "real");
    writeFile(m_local.filePath("outside.txt"), "secret");
    QVERIFY(QFile::link(local + "/real.txt", local + "/alias.txt"));
    QVERIFY(QFile::link(m_local.filePath("outside.txt"), local + "/out.txt"));
    QVERIFY(QFile::link(local, local + "/loop"));
    QCOMPARE(::mkfifo(QFile::encodeName(local + "/pipe").constData(), 0600), 0);

    const RunResult run = deploy(entryFor("sftp", "links", local));
    QVERIFY2(run.failures.isEmpty(), qPrintable(run.report()));
    QCOMPARE(treeOf(serverFolder("sftp", "links")), (QMap<QString, QByteArray>{{"alias.txt", "real"}, {"real.txt", "real"}}));
    QCOMPARE(run.notes.filter("a link out of the folder: " + local + "/out.txt").size(), 1);
    QCOMPARE(run.notes.filter("a link to a folder: " + local + "/loop").size(), 1);
    QCOMPARE(run.notes.filter("not a regular file: " + local + "/pipe").size(), 1);
}

QTEST_GUILESS_MAIN(DeployTest)
#include "deploy_test.moc"
