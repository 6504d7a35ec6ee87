#include "cli/CliRun.h"
#include "housekeeping/BackupProject.h"
#include "project/FileNameBytes.h"
#include "support/TestSupport.h"
#include "zip/ZipArchiveChecks.h"

#include <QLocale>
#include <QtTest>

#include <filesystem>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// A name that is not UTF-8: "bad", the byte FF, then the extension.
QString badName(const QString &extension)
{
    return FileNameBytes::decode(QByteArray("bad\xff") + extension.toUtf8());
}

// Whether `item` exists: a path, or "archive.zip#entry" for an entry of an archive. Names are
// taken byte for byte, so names that are not UTF-8 count too.
bool exists(const QString &item)
{
    const qsizetype hash = item.indexOf(QLatin1Char('#'));
    if (hash < 0) {
        struct stat info;
        return ::lstat(FileNameBytes::encode(item).constData(), &info) == 0;
    }
    QList<ArchiveEntry> entries;
    if (!ZipArchiveChecks::parse(readFile(item.first(hash)), entries).isEmpty())
        return false;
    const QByteArray name = FileNameBytes::encode(item.sliced(hash + 1));
    return std::any_of(entries.begin(), entries.end(), [&](const ArchiveEntry &entry) { return entry.name == name; });
}

// The content of a file, whatever its name.
QByteArray readBytes(const QString &path)
{
    const int fd = ::open(FileNameBytes::encode(path).constData(), O_RDONLY);
    QByteArray bytes(4096, Qt::Uninitialized);
    const ssize_t length = fd < 0 ? -1 : ::read(fd, bytes.data(), size_t(bytes.size()));
    if (fd >= 0)
        ::close(fd);
    return length < 0 ? QByteArray() : bytes.first(length);
}

// A file of `size` bytes with data only at its start and end; false where the file system
// keeps no holes.
bool writeSparseFile(const QString &path, qint64 size)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write("start") != 5 || !file.seek(size - 3) || file.write("end") != 3)
        return false;
    file.close();
    struct stat info;
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 && info.st_blocks * 512 < size / 2;
}

bool hasHoles(const QString &path)
{
    struct stat info;
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 && info.st_blocks * 512 < info.st_size / 2;
}

// A socket file at `path`, as a server leaves it.
bool makeSocket(const QString &path)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray native = QFile::encodeName(path);
    if (fd < 0 || size_t(native.size()) >= sizeof address.sun_path)
        return false;
    std::copy(native.begin(), native.end(), address.sun_path);
    const bool made = ::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
    ::close(fd);
    return made;
}

} // namespace

// Faults staged around a project, each run through trovas-cli as a user would: whatever the
// chore, nothing outside the project is touched, the end report names the fault, and the exit
// status says whether everything was done.
class CliStagedFaultsTest : public QObject
{
    Q_OBJECT

private:
    IsolatedHome m_home;
    std::unique_ptr<QTemporaryDir> m_dir;

    QString path(const QString &relative) const { return m_dir->filePath(relative); }

    // The project in work/: a temporary file, a file to keep and a source folder; its copy goes
    // to work/out/, its source folder is zipped, and it is backed up into work/bak/.
    ProjectData project() const
    {
        writeFile(path("work/proj/a.tmp"), "temporary");
        writeFile(path("work/proj/keep.txt"), "keep");
        writeFile(path("work/proj/src/main.c"), "int main() {}");
        ProjectData data;
        data.name = QStringLiteral("Demo");
        data.projectFolder = path("work/proj");
        data.backupFolder = path("work/bak/");
        data.includeSubfolders = true;
        data.zipWithFolderNames = true;
        data.tempExtensions = {QStringLiteral(".tmp")};
        data.copies = {{path("work/proj/keep.txt"), path("work/out/keep.txt")}};
        data.zipFolders = {path("work/proj/src/")};
        return data;
    }

    // Changes the project and its files the way `fault` names.
    void stage(const QString &fault, ProjectData &data) const
    {
        if (fault == "relative folders") {
            data.projectFolder = QStringLiteral("proj");
            data.backupFolder = QStringLiteral("bak/");
            data.copies = {{QStringLiteral("proj/keep.txt"), QStringLiteral("out/keep.txt")}};
            data.zipFolders = {QStringLiteral("proj/src/")};
        } else if (fault == "project folder linked to /etc") {
            QVERIFY(QFile::link(QStringLiteral("/etc"), path("work/link")));
            data.projectFolder = path("work/link");
        } else if (fault == "project folder inside /usr") {
            data.projectFolder = QStringLiteral("/usr/share");
        } else if (fault == "project folder /var") {
            data.projectFolder = QStringLiteral("/var/");
        } else if (fault == "empty zip line and root") {
            data.zipFolders = {QString(), QStringLiteral("/"), path("work/proj/src/")};
        } else if (fault == "zip folder linked to /etc") {
            QVERIFY(QFile::link(QStringLiteral("/etc"), path("work/proj/etc")));
            data.zipFolders = {path("work/proj/etc/"), path("work/proj/src/")};
        } else if (fault == "root copy source") {
            data.copies.prepend({QStringLiteral("/"), path("work/out/all/")});
        } else if (fault == "links out of the tree") {
            QVERIFY(QFile::link(path("outside/secret"), path("work/proj/src/out")));
            QVERIFY(QFile::link(path("outside/canary.txt"), path("work/proj/src/hosts.txt")));
            QVERIFY(QFile::link(path("outside/canary.tmp"), path("work/proj/src/canary.tmp")));
            QVERIFY(QFile::link(QStringLiteral("main.c"), path("work/proj/src/inner.c")));
            data.copies = {{path("work/proj/src/"), path("work/out/src/")}};
        } else if (fault == "special files") {
            QCOMPARE(::mkfifo(QFile::encodeName(path("work/proj/src/pipe.tmp")).constData(), 0600), 0);
            QVERIFY(makeSocket(path("work/proj/src/server.tmp")));
            QVERIFY(QFile::link(path("work/nowhere"), path("work/proj/src/gone.tmp")));
            QVERIFY(QFile::link(path("work/proj/src/loop.tmp"), path("work/proj/src/loop.tmp")));
            data.copies = {{path("work/proj/src/"), path("work/out/src/")}};
        } else if (fault == "names not UTF-8") {
            writeBytes(path("work/proj/") + badName(".tmp"), "temporary");
            writeBytes(path("work/proj/src/") + badName(".c"), "source");
            data.copies = {{path("work/proj/src/"), path("work/out/src/")}};
        } else if (fault == "255-byte name") {
            const QString name = QString(251, QLatin1Char('n')) + QStringLiteral(".txt");
            writeFile(path("work/proj/") + name, "long");
            data.copies = {{path("work/proj/") + name, path("work/out/") + name}};
        } else if (fault == "sparse file") {
            if (!writeSparseFile(path("work/proj/sparse.bin"), qint64(64) << 20))
                QSKIP("this file system keeps no holes");
            data.copies = {{path("work/proj/sparse.bin"), path("work/out/sparse.bin")}};
        } else if (fault == "archive that cannot be written") {
            writeFile(path("work/proj/docs/readme.txt"), "docs");
            QVERIFY(QDir().mkpath(path("work/proj/docs.zip")));
            data.zipFolders = {path("work/proj/docs/"), path("work/proj/src/")};
        } else {
            QFAIL(qPrintable("no such fault: " + fault));
        }
    }

    static void writeBytes(const QString &path, const QByteArray &bytes)
    {
        const int fd = ::open(FileNameBytes::encode(path).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        QVERIFY(fd >= 0 && ::write(fd, bytes.constData(), size_t(bytes.size())) == bytes.size());
        ::close(fd);
    }

    // Files outside the project that no chore may touch: some with a temporary file's name, in
    // the folder trovas-cli is run in.
    void plantCanaries() const
    {
        writeFile(path("outside/canary.tmp"), "canary");
        writeFile(path("outside/canary.txt"), "canary");
        writeFile(path("outside/secret/inner.tmp"), "canary");
    }

private Q_SLOTS:
    void init() { m_dir = std::make_unique<QTemporaryDir>(); }
    // Qt cannot remove what it cannot name.
    void cleanup() { std::filesystem::remove_all(FileNameBytes::encode(m_dir->path()).toStdString()); }

    void chore_leavesWhatIsNotTheProjectsAndSaysWhatItDidNot_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QStringList>("command");
        QTest::addColumn<int>("status");
        // What standard error must say, a part of a line each; <dir> is the test's folder.
        QTest::addColumn<QStringList>("said");
        // Below the test's folder: what the chore must have made, and what must be gone; an entry of
        // an archive is named "archive.zip#entry".
        QTest::addColumn<QStringList>("present");
        QTest::addColumn<QStringList>("absent");
        // The chore runs this many times, each one as the first.
        QTest::addColumn<int>("runs");

        const QString stamp = backupDateStamp(QDate::currentDate(), QLocale::system());
        const QString backup = "work/bak/" + stamp;
        const QString archive = "work/proj/src.zip#";
        QTest::newRow("relative folders: clean --delete")
            << "relative folders" << QStringList{"clean", "--delete"} << 0 << QStringList()
            << QStringList{"work/proj/keep.txt"} << QStringList{"work/proj/a.tmp"} << 1;
        QTest::newRow("relative folders: release")
            << "relative folders" << QStringList{"release"} << 0 << QStringList()
            << QStringList{"work/out/keep.txt", archive + "main.c"} << QStringList() << 1;
        QTest::newRow("relative folders: backup")
            << "relative folders" << QStringList{"backup"} << 0 << QStringList()
            << QStringList{backup + "/src/main.c"} << QStringList() << 1;

        // A dry run refuses as the chore does, and nothing of the system is even listed.
        QTest::newRow("project folder linked to /etc: clean")
            << "project folder linked to /etc" << QStringList{"clean", "--dry-run"} << 1
            << QStringList{"The project folder \"<dir>/work/link\" (which leads to \"/etc\") is the operating "
                           "system's folder /etc"}
            << QStringList() << QStringList() << 1;
        QTest::newRow("project folder inside /usr: backup")
            << "project folder inside /usr" << QStringList{"backup"} << 1
            << QStringList{"The project folder \"/usr/share\" is inside the operating system's folder /usr",
                           "No backup was made."}
            << QStringList() << QStringList{"work/bak"} << 1;
        QTest::newRow("project folder /var: clean")
            << "project folder /var" << QStringList{"clean", "--dry-run"} << 1
            << QStringList{"The project folder \"/var/\" is the system's folder /var itself"} << QStringList()
            << QStringList() << 1;
        QTest::newRow("empty zip line and root: zip")
            << "empty zip line and root" << QStringList{"zip", "--dry-run"} << 1
            << QStringList{"The zip folder on line 1 is empty",
                           "The zip folder on line 2 \"/\" is the root of the file system"}
            << QStringList() << QStringList() << 1;
        QTest::newRow("zip folder linked to /etc: zip")
            << "zip folder linked to /etc" << QStringList{"zip", "--dry-run"} << 1
            << QStringList{"The zip folder on line 1 \"<dir>/work/proj/etc/\" (which leads to \"/etc\")"}
            << QStringList() << QStringList() << 1;
        QTest::newRow("root copy source: copy")
            << "root copy source" << QStringList{"copy"} << 1
            << QStringList{"The copy source on line 1 \"/\" is the root of the file system", "Nothing was copied."}
            << QStringList() << QStringList{"work/out"} << 1;

        // A link inside the tree is taken as before; one out of it is never followed, and named.
        const QString outFolder = "<dir>/work/proj/src/out: a link that leads out of the folder, to \"<dir>/outside/secret\"";
        const QString outFile = "<dir>/work/proj/src/hosts.txt: a link that leads out of the folder";
        QTest::newRow("links out of the tree: zip")
            << "links out of the tree" << QStringList{"zip"} << 0 << QStringList{outFolder, outFile}
            << QStringList{archive + "inner.c"} << QStringList{archive + "out/", archive + "hosts.txt"} << 1;
        QTest::newRow("links out of the tree: copy")
            << "links out of the tree" << QStringList{"copy"} << 0 << QStringList{outFile}
            << QStringList{"work/out/src/inner.c"} << QStringList{"work/out/src/hosts.txt"} << 1;
        QTest::newRow("links out of the tree: backup")
            << "links out of the tree" << QStringList{"backup"} << 0 << QStringList{outFolder, outFile}
            << QStringList{backup + "/src/inner.c", backup + "/.trovas-backup"}
            << QStringList{backup + "/src/hosts.txt", backup + "/src/out"} << 1;
        QTest::newRow("links out of the tree: clean --delete")
            << "links out of the tree" << QStringList{"clean", "--delete"} << 0
            << QStringList{"<dir>/work/proj/src/canary.tmp: a link that leads out of the folder"}
            << QStringList{"work/proj/src/canary.tmp"} << QStringList{"work/proj/a.tmp"} << 1;

        // Named, each with what it is; the rest is done.
        const QStringList specials{"<dir>/work/proj/src/pipe.tmp: a named pipe, not a file",
                                   "<dir>/work/proj/src/server.tmp: a socket, not a file",
                                   "<dir>/work/proj/src/gone.tmp: a link to \"<dir>/work/nowhere\", which does not exist",
                                   "<dir>/work/proj/src/loop.tmp: a link"};
        QTest::newRow("special files: backup")
            << "special files" << QStringList{"backup"} << 0 << specials
            << QStringList{backup + "/src/main.c", backup + "/.trovas-backup"} << QStringList() << 1;
        QTest::newRow("special files: copy")
            << "special files" << QStringList{"copy"} << 0 << specials << QStringList{"work/out/src/main.c"}
            << QStringList() << 1;
        QTest::newRow("special files: zip")
            << "special files" << QStringList{"zip"} << 0 << specials << QStringList{archive + "main.c"}
            << QStringList() << 1;
        QTest::newRow("special files: clean --delete")
            << "special files" << QStringList{"clean", "--delete"} << 0 << specials
            << QStringList{"work/proj/src/pipe.tmp"} << QStringList{"work/proj/a.tmp"} << 1;

        // Carried byte for byte, or not done and said so: never a success that was not.
        QTest::newRow("names not UTF-8: clean --delete")
            << "names not UTF-8" << QStringList{"clean", "--delete"} << 0 << QStringList() << QStringList()
            << QStringList{"work/proj/" + badName(".tmp")} << 1;
        QTest::newRow("names not UTF-8: clean to the trash")
            << "names not UTF-8" << QStringList{"clean"} << 1 << QStringList{"Its name is not valid UTF-8"}
            << QStringList{"work/proj/" + badName(".tmp")} << QStringList{"work/proj/a.tmp"} << 1;
        QTest::newRow("names not UTF-8: copy")
            << "names not UTF-8" << QStringList{"copy"} << 0 << QStringList()
            << QStringList{"work/out/src/" + badName(".c")} << QStringList() << 1;
        QTest::newRow("names not UTF-8: zip")
            << "names not UTF-8" << QStringList{"zip"} << 0 << QStringList()
            << QStringList{archive + badName(".c")} << QStringList() << 1;
        QTest::newRow("names not UTF-8: backup")
            << "names not UTF-8" << QStringList{"backup"} << 0 << QStringList()
            << QStringList{backup + "/src/" + badName(".c"), backup + "/.trovas-backup"} << QStringList() << 1;

        // The temporary name of a copy fits where the target's name does.
        QTest::newRow("255-byte name: copy twice")
            << "255-byte name" << QStringList{"copy"} << 0 << QStringList()
            << QStringList{"work/out/" + QString(251, QLatin1Char('n')) + ".txt"} << QStringList() << 2;

        QTest::newRow("sparse file: copy") << "sparse file" << QStringList{"copy"} << 0 << QStringList()
                                           << QStringList{"work/out/sparse.bin"} << QStringList() << 1;
        QTest::newRow("sparse file: backup") << "sparse file" << QStringList{"backup"} << 0 << QStringList()
                                             << QStringList{backup + "/sparse.bin"} << QStringList() << 1;

        // One folder's archive failing leaves the other folders of the list zipped.
        QTest::newRow("archive that cannot be written: zip")
            << "archive that cannot be written" << QStringList{"zip"} << 1
            << QStringList{"The folder \"<dir>/work/proj/docs/\" was not zipped"}
            << QStringList{archive + "main.c"} << QStringList() << 1;
    }

    void chore_leavesWhatIsNotTheProjectsAndSaysWhatItDidNot()
    {
        QFETCH(QString, fault);
        QFETCH(QStringList, command);
        QFETCH(int, status);
        QFETCH(QStringList, said);
        QFETCH(QStringList, present);
        QFETCH(QStringList, absent);
        QFETCH(int, runs);
        plantCanaries();
        const QMap<QString, QString> outside = treeState(path("outside"));
        ProjectData data = project();
        stage(fault, data);
        const QString projectFile = writeProject(path("work/demo.dev"), data);

        for (int run = 0; run < runs; ++run) {
            const CliResult result = runCli(QStringList{projectFile} + command, path("outside"));
            const QString err = QString::fromUtf8(result.err);
            QVERIFY2(result.status == status, qPrintable(err));
            for (const QString &part : said)
                QVERIFY2(err.contains(QString(part).replace("<dir>", m_dir->path())), qPrintable(err));
            for (const QString &item : present)
                QVERIFY2(exists(path(item)), qPrintable(item + " is missing\n" + err));
            for (const QString &item : absent)
                QVERIFY2(!exists(path(item)), qPrintable(item + " is still there\n" + err));
        }
        QCOMPARE(treeState(path("outside")), outside);
        if (fault == "sparse file") {
            const QString copy = path(present.first());
            QCOMPARE(QFileInfo(copy).size(), qint64(64) << 20);
            QVERIFY2(hasHoles(copy), "the copy was written out in full");
            QCOMPARE(readFile(copy).right(3), "end");
        }
        if (fault == "names not UTF-8" && (command.first() == "copy" || command.first() == "backup"))
            QCOMPARE(readBytes(path(present.first())), "source");
    }
};

QTEST_GUILESS_MAIN(CliStagedFaultsTest)
#include "cli_staged_faults_test.moc"
