#include "app/Workspace.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QtTest>

class TempFilesTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void scan_followsFolderAndSubfolders();
    void newExtension_data();
    void newExtension();
    void deleteExtensions_removesSelectedRowsOnly();
    void deleteTemporaryFiles_passesOverFailuresAndSaysFinished();
    void deleteFound_deletesSelectedFilesOnly();

private:
    QString path(const QString &relative) const { return m_root + QLatin1Char('/') + relative; }

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

void TempFilesTest::scan_followsFolderAndSubfolders()
{
    Project &project = m_workspace->project;
    TempFiles &tempFiles = m_workspace->tempFiles;

    project.setProjectFolder(m_root);
    QCOMPARE(tempFiles.found(), (QStringList{path("a.tmp"), path("B.bak"), path("c.TMP")}));
    QCOMPARE(tempFiles.countText(), QStringLiteral("Contains 4 files with 3 temp. files"));

    project.setIncludeSubfolders(true);
    QCOMPARE(tempFiles.found(), (QStringList{path("a.tmp"), path("B.bak"), path("c.TMP"), path("sub/d.tmp")}));
    QCOMPARE(tempFiles.countText(), QStringLiteral("Contains 6 files with 4 temp. files"));

    project.setProjectFolder(m_root + QStringLiteral("/su"));
    QVERIFY(tempFiles.found().isEmpty());
    QCOMPARE(tempFiles.countText(), QStringLiteral("Contains 0 files with 0 temp. files"));
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
    m_workspace->project.setProjectFolder(m_root);
    if (confirm)
        m_prompts->answers.push_back(typed);
    QSignalSpy scans(&m_workspace->tempFiles, &TempFiles::scanned);

    m_workspace->tempFiles.newExtension();

    QCOMPARE(m_workspace->project.data().tempExtensions, extensions);
    QCOMPARE(m_workspace->tempFiles.found().size(), found);
    QCOMPARE(scans.count(), 1);
}

void TempFilesTest::deleteExtensions_removesSelectedRowsOnly()
{
    Project &project = m_workspace->project;
    project.setTempExtensions({QStringLiteral(".tmp"), QStringLiteral(".BAK"), QStringLiteral(".tmp")});
    project.setProjectFolder(m_root);

    m_workspace->tempFiles.deleteExtensions({1});
    QCOMPARE(project.data().tempExtensions, (QStringList{".BAK", ".tmp"}));
    QCOMPARE(m_workspace->tempFiles.found().size(), 3);

    m_workspace->tempFiles.deleteExtensions({0});
    QCOMPARE(m_workspace->tempFiles.found().size(), 2);
}

void TempFilesTest::deleteTemporaryFiles_passesOverFailuresAndSaysFinished()
{
    TempFiles &tempFiles = m_workspace->tempFiles;
    tempFiles.deleteTemporaryFiles();
    QCOMPARE(m_prompts->messages, QStringList{QStringLiteral("Finished")});

    writeFile(path("0.tmp"), "x");
    m_workspace->project.setIncludeSubfolders(true);
    m_workspace->project.setProjectFolder(m_root);
    QCOMPARE(tempFiles.found().first(), path("0.tmp"));
    // The first found file turns into a folder, which no user can delete as a file.
    QVERIFY(QFile::remove(path("0.tmp")));
    writeFile(path("0.tmp/kept"), "x");
    QVERIFY(QFile::remove(path("B.bak"))); // gone before its turn
    // A folder without write permission keeps its files, unless this user ignores permissions.
    QVERIFY(QFile::setPermissions(path("sub"), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    const bool locked = !QFile(path("sub/probe")).open(QIODevice::WriteOnly);

    tempFiles.deleteTemporaryFiles();
    QFile::setPermissions(path("sub"), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

    QCOMPARE(m_prompts->messages, (QStringList{"Finished", "Finished"}));
    QVERIFY(m_prompts->errors.isEmpty());
    QVERIFY(!QFile::exists(path("a.tmp")) && !QFile::exists(path("c.TMP")));
    QVERIFY(QFile::exists(path("notes.txt")) && QFile::exists(path("0.tmp/kept")));
    QCOMPARE(tempFiles.found(), locked ? QStringList{path("sub/d.tmp")} : QStringList());
}

void TempFilesTest::deleteFound_deletesSelectedFilesOnly()
{
    TempFiles &tempFiles = m_workspace->tempFiles;
    m_workspace->project.setProjectFolder(m_root);
    QSignalSpy scans(&tempFiles, &TempFiles::scanned);

    tempFiles.deleteFound({});
    QCOMPARE(scans.count(), 1);
    QCOMPARE(tempFiles.found().size(), 3);

    tempFiles.deleteFound({0, 2});
    QCOMPARE(tempFiles.found(), QStringList{path("B.bak")});
    QVERIFY(QFile::exists(path("B.bak")) && !QFile::exists(path("a.tmp")) && !QFile::exists(path("c.TMP")));
    QVERIFY(m_prompts->messages.isEmpty());
}

QTEST_GUILESS_MAIN(TempFilesTest)
#include "temp_files_test.moc"
