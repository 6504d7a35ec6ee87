#include "workspace/Workspace.h"
#include "project/Error.h"
#include "project/ProjectFile.h"
#include "project/TextFile.h"
#include "support/TestSupport.h"

#include <QtTest>

namespace {

// A project with every section filled, its lists already in the order a load leaves them.
const QByteArray kFullProject =
    "D:\\Backup\r\nD:\\Src\\R&D\r\nM\xfcller's Tool\r\n1.2\r\nD:\\Src\\tool.dpr\r\nD:\\Backup\r\nT\r\nF\r\n"
    "2\r\n2\r\n1\r\n1\r\n1\r\n1\r\n2\r\n3\r\n1\r\n2\r\n"
    "Ann\r\nann@x.org\r\nlead\r\nann1\r\n555\r\nMain St\r\n"
    "bob\r\nbob@x.org\r\n\r\n\r\n\r\n\r\n"
    ".bak\r\n.TMP\r\n"
    "D:\\a.txt\r\nE:\\b.txt\r\n"
    "D:\\Src\\lib\r\n"
    "D:\\Src\\tool.exe\r\nftp://host/dir\r\nuser\r\nsecret\r\n21\r\n"
    "D:\\Tools\\lint.bat\r\n"
    "A tool\r\n\xa9 2024\r\n"
    "8\r\n4\r\n0\r\n-1\r\n1.0\r\nFirst\r\n\r\n\r\n"
    "10\r\n5\r\n3\r\n7\r\n1.10\r\nWork\r\nd\r\nn\r\n"
    "11\r\n6\r\n1\r\n-1\r\n1.9\r\nLater\r\n\r\n\r\n"
    "MIT\r\n"
    "note 1\r\nnote 2\r\n";

} // namespace

class ProjectCommandsTest : public QObject
{
    Q_OBJECT

private:
    IsolatedHome m_home;
    QTemporaryDir m_dir;
    ScriptedPrompts m_prompts;

    QString file(const QString &name) const { return m_dir.filePath(name); }

private Q_SLOTS:
    void loadThenSave_writesTheSameBytes()
    {
        Workspace ws(m_dir.path() + QStringLiteral("/settings/"), m_prompts);
        QDir().mkpath(ws.appDataFolder);
        const QString path = writeFile(file(QStringLiteral("full.dev")), kFullProject);
        ws.commands.load(path);
        QCOMPARE(ws.project.data().name, QStringLiteral("Müller's Tool"));
        QCOMPARE(ws.project.data().todos.size(), 3);
        QCOMPARE(std::as_const(ws.project).sortKey(ProjectList::Todos), 1);
        QFile::remove(path);
        ws.commands.save();
        QCOMPARE(readFile(path), kFullProject);
    }

    // 100,000 to-dos and a few of every other list, in the order a load leaves them: loaded
    // and saved, the very same bytes, in either encoding.
    void bigProject_loadThenSave_writesTheSameBytes_data()
    {
        QTest::addColumn<QString>("accent");
        QTest::newRow("Windows-1252") << QStringLiteral("M\u00fcller \u20ac");
        QTest::newRow("UTF-8") << QStringLiteral("\u65e5\u672c");
    }

    void bigProject_loadThenSave_writesTheSameBytes()
    {
        QFETCH(QString, accent);
        Workspace ws(m_dir.path() + QStringLiteral("/settings/"), m_prompts);
        QDir().mkpath(ws.appDataFolder);
        ProjectData data;
        data.name = accent;
        for (int i = 0; i < 7; ++i) {
            const QString n = QString::number(i * 7 % 5);
            data.developers.append(DeveloperEntry::fromFields({QStringLiteral("dev ") + n, n, {}, {}, {}, accent}));
            data.copies.append(CopyEntry::fromFields({QStringLiteral("/c/") + n, {}}));
            data.uploads.append(UploadEntry::fromFields({QStringLiteral("/u/") + n, QStringLiteral("ftp://h/"), {}, {}, n}));
        }
        for (int i = 0; i < 100'000; ++i) {
            TodoItem item;
            item.status = 8 + i % 5;
            item.priority = 4 + i % 3;
            item.kind = i % 4;
            item.official = i % 3 == 0 ? 7 : -1;
            item.version = QStringLiteral("%1.%2").arg(i % 3).arg(i % 11);
            item.title = QStringLiteral("item %1 %2").arg(i).arg(i % 97 == 0 ? accent : QString());
            item.description = i % 2 ? QString() : QStringLiteral("about item %1").arg(i);
            item.note = i % 5 ? QString() : QStringLiteral("Note");
            data.todos.append(item);
        }
        ws.project.arrangeAsLoaded(data);
        const QString path = file(QStringLiteral("big.dev"));
        ProjectFile::write(path, data);
        const QByteArray written = readFile(path);

        ws.commands.load(path);
        QCOMPARE(ws.project.data().todos.size(), 100'000);
        QFile::remove(path);
        ws.commands.save();
        QCOMPARE(readFile(path), written);
    }

    void load_sortsEveryList()
    {
        Workspace ws(m_dir.path() + QStringLiteral("/settings/"), m_prompts);
        QDir().mkpath(ws.appDataFolder);
        QStringList lines = {"", "", "n", "", "", "", "F", "F", "2", "3", "0", "0", "0", "0", "0", "4", "0", "0"};
        lines += {"zed", "", "", "", "", "", "Adam", "", "", "", "", ""};
        lines += {"b.tmp", "A.bak", ".C"};
        const auto todo = [](const char *status, const char *version) {
            return QStringList{status, "5", "0", "-1", version, "", "", ""};
        };
        lines += todo("11", "2.0") + todo("8", "1.9") + todo("11", "1.10") + todo("8", "1.10");
        const QString path = file(QStringLiteral("order.dev"));
        TextFile::writeLines(path, lines);
        ws.commands.load(path);
        const ProjectData &p = ws.project.data();
        QCOMPARE(p.developers[0].name, QStringLiteral("Adam"));
        QCOMPARE(p.tempExtensions, (QStringList{".C", "A.bak", "b.tmp"}));
        QStringList order;
        for (const TodoItem &item : p.todos)
            order << QStringLiteral("%1 %2").arg(item.status).arg(item.version);
        QCOMPARE(order, (QStringList{"8 1.10", "8 1.9", "11 1.10", "11 2.0"}));
    }

    void failedLoad_keepsPreviousProjectButRemembersPath()
    {
        Workspace ws(m_dir.path() + QStringLiteral("/settings/"), m_prompts);
        QDir().mkpath(ws.appDataFolder);
        const QString good = writeFile(file(QStringLiteral("good.dev")), kFullProject);
        ws.commands.load(good);
        const QString broken = writeFile(file(QStringLiteral("broken.dev")), "a\r\nb\r\nc\r\n");
        try {
            ws.commands.load(broken);
            QFAIL("no error");
        } catch (const Error &error) {
            QVERIFY2(error.message().contains(broken) && error.message().contains(QStringLiteral("line 3")),
                     qPrintable(error.message()));
        }
        QCOMPARE(ws.project.data().path, good);
        QCOMPARE(ws.project.data().developers.size(), 2);
        QVERIFY(TextFile::readLines(ws.recent.filePath()).contains(broken));
    }

    // Loading empties the project before it sets the new folder and flag, so the listing never
    // walks the previous project's folder with the new project's "include subfolders".
    void load_neverListsThePreviousFolderWithTheNewFlag()
    {
        Workspace ws(m_dir.path() + QStringLiteral("/settings/"), m_prompts);
        QDir().mkpath(ws.appDataFolder);
        const QString oldFolder = m_dir.filePath(QStringLiteral("old"));
        writeFile(oldFolder + QStringLiteral("/deep/a.tmp"), "");
        const QString newFolder = m_dir.filePath(QStringLiteral("new"));
        QDir().mkpath(newFolder);
        QStringList lines = {"", oldFolder, "old", "", "", "", "F", "F"};
        lines += QStringList(10, QStringLiteral("0"));
        const QString oldPath = file(QStringLiteral("oldfolder.dev"));
        TextFile::writeLines(oldPath, lines);
        ws.commands.load(oldPath);

        lines[1] = newFolder;
        lines[6] = QStringLiteral("T");
        const QString newPath = file(QStringLiteral("newfolder.dev"));
        TextFile::writeLines(newPath, lines);
        QStringList listings;
        connect(&ws.tempFiles, &TempFiles::scanned, this, [&] {
            const ProjectData &p = ws.project.data();
            listings << QFileInfo(p.projectFolder).fileName() + (p.includeSubfolders ? " T" : " F");
        });
        ws.commands.load(newPath);
        QVERIFY(waitForListing(ws.tempFiles));
        QVERIFY2(!listings.contains(QStringLiteral("old T")), qPrintable(listings.join(", ")));
        QCOMPARE(listings.last(), QStringLiteral("new T"));
    }

    void load_pathWithAmpersandOpensThatFile()
    {
        Workspace ws(m_dir.path() + QStringLiteral("/settings/"), m_prompts);
        QDir().mkpath(ws.appDataFolder);
        const QString path = writeFile(file(QStringLiteral("R&D/a.dev")), kFullProject);
        ws.commands.load(path);
        QCOMPARE(ws.project.data().path, path);
        QVERIFY(ws.recent.menuEntries().value().contains(path));
    }

    void save_asksForNameAndAddsExtensionOnlyWhenThereIsNone_data()
    {
        QTest::addColumn<std::optional<QString>>("answer");
        QTest::addColumn<QString>("written");
        QTest::newRow("no extension") << std::optional<QString>(QStringLiteral("proj")) << "proj.dev";
        QTest::newRow("other extension") << std::optional<QString>(QStringLiteral("proj.txt")) << "proj.txt";
        QTest::newRow("cancelled") << std::optional<QString>() << "";
    }
    void save_asksForNameAndAddsExtensionOnlyWhenThereIsNone()
    {
        QFETCH(std::optional<QString>, answer);
        QFETCH(QString, written);
        QTemporaryDir dir;
        Workspace ws(dir.filePath(QStringLiteral("settings/")), m_prompts);
        m_prompts.answers = {answer ? std::optional(dir.filePath(*answer)) : std::nullopt};
        ws.commands.save();
        // The project file and the formatting of its documents beside it.
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files),
                 (written.isEmpty() ? QStringList() : QStringList{written, written + QStringLiteral("-docs")}));
        QCOMPARE(ws.project.data().path, written.isEmpty() ? QString() : dir.filePath(written));
    }

    void saveAs_cancelledForgetsThePath()
    {
        Workspace ws(m_dir.path() + QStringLiteral("/settings/"), m_prompts);
        QDir().mkpath(ws.appDataFolder);
        ws.commands.load(writeFile(file(QStringLiteral("keep.dev")), kFullProject));
        m_prompts.answers = {std::nullopt};
        ws.commands.saveAs();
        QVERIFY(ws.project.data().path.isEmpty());
    }

    void recent_addsOnceIgnoringCaseAndListsExistingFiles()
    {
        QTemporaryDir dir;
        RecentProjects recent(dir.path() + QLatin1Char('/'));
        QVERIFY(!recent.menuEntries());
        const QString a = writeFile(dir.filePath(QStringLiteral("Work/A.dev")), "");
        const QString b = writeFile(dir.filePath(QStringLiteral("b.dev")), "");
        writeFile(recent.filePath(), (a.toLower() + "\r\n" + b + "\r\n" + b + "\r\n" + dir.filePath("gone.dev") + "\r\n").toUtf8());
        recent.remember(a);
        const QStringList stored = TextFile::readLines(recent.filePath());
        QCOMPARE(stored.count(a.toLower()), 1);
        QVERIFY(!stored.contains(a));
        QCOMPARE(stored.count(b), 1);
        QVERIFY(stored.contains(dir.filePath("gone.dev")));
        QCOMPARE(recent.menuEntries().value(), QStringList{b});
    }

    void settingsFiles_areNamedInsideTheSettingsFolder_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("file");
        QTest::newRow("with separator") << "/cfg/Trovas/" << "/cfg/Trovas/LastOpen.dat";
        QTest::newRow("without separator") << "/cfg/Trovas" << "/cfg/Trovas/LastOpen.dat";
        QTest::newRow("unknown folder: working folder") << "" << "LastOpen.dat";
    }
    void settingsFiles_areNamedInsideTheSettingsFolder()
    {
        QFETCH(QString, folder);
        QFETCH(QString, file);
        Workspace ws(folder, m_prompts);
        QCOMPARE(ws.recent.filePath(), QDir::toNativeSeparators(file));
    }

    void removeDuplicates_keepsFirstOfExactRepeats()
    {
        QStringList lines = {"b", "a", "B", "b", "a", "c"};
        RecentProjects::removeDuplicates(lines);
        QCOMPARE(lines, (QStringList{"b", "a", "B", "c"}));
    }
};

QTEST_GUILESS_MAIN(ProjectCommandsTest)
#include "project_commands_test.moc"
