#include "project/Error.h"
#include "project/ProjectFile.h"
#include "project/TextFile.h"
#include "support/TestSupport.h"

#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <future>

namespace {

QStringList header(const QStringList &counts)
{
    QStringList lines = {"back0", "proj", "Name", "1.0", "main.c", "back5", "T", "F"};
    return lines + counts;
}

QStringList allZero() { return header({"0", "0", "0", "0", "0", "0", "0", "0", "0", "0"}); }

} // namespace

class ProjectFileTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void header_readsLineFiveAsBackupFolder()
    {
        const ProjectData project = ProjectFile::parse(allZero());
        QCOMPARE(project.backupFolder, QStringLiteral("back5"));
        QCOMPARE(project.projectFolder, QStringLiteral("proj"));
        QCOMPARE(project.name, QStringLiteral("Name"));
        QCOMPARE(project.version, QStringLiteral("1.0"));
        QCOMPARE(project.mainFile, QStringLiteral("main.c"));
        const QStringList written = ProjectFile::serialize(project);
        QCOMPARE(written.size(), 18);
        QCOMPARE(written[0], QStringLiteral("back5"));
        QCOMPARE(written[5], QStringLiteral("back5"));
    }

    void flags_onlyExactTIsTrue_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("expected");
        QTest::newRow("T") << "T" << true;
        QTest::newRow("lower t") << "t" << false;
        QTest::newRow("true") << "true" << false;
        QTest::newRow("blank T") << " T" << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("F") << "F" << false;
    }
    void flags_onlyExactTIsTrue()
    {
        QFETCH(QString, text);
        QFETCH(bool, expected);
        QStringList lines = allZero();
        lines[6] = text;
        lines[7] = text;
        const ProjectData project = ProjectFile::parse(lines);
        QCOMPARE(project.includeSubfolders, expected);
        QCOMPARE(project.zipWithFolderNames, expected);
    }

    void sections_readInOrderAndIgnoreExtraLines()
    {
        QStringList lines = header({"1", "2", "1", "1", "1", "1", "2", "1", "1", "1"});
        lines += {"Ann", "ann@x.org", "lead", "ann#1", "555", "Main St"};
        lines += {".bak", ".tmp"};
        lines += {"from", "to"};
        lines += QStringLiteral("zipme");
        lines += {"file", "ftp://h/d", "user", "pw", "21"};
        lines += QStringLiteral("tool.sh");
        lines += {"desc 1", "desc 2"};
        lines += {"8", "4", "0", "-1", "1.0", "title", "description", "note"};
        lines += QStringLiteral("MIT");
        lines += {"a note", "ignored", "also ignored"};
        const ProjectData p = ProjectFile::parse(lines);
        QCOMPARE(p.developers.size(), 1);
        QCOMPARE(p.developers[0].address, QStringLiteral("Main St"));
        QCOMPARE(p.tempExtensions, (QStringList{".bak", ".tmp"}));
        QCOMPARE(p.copies[0].target, QStringLiteral("to"));
        QCOMPARE(p.zipFolders, QStringList{"zipme"});
        QCOMPARE(p.uploads[0].port, QStringLiteral("21"));
        QCOMPARE(p.tools, QStringList{"tool.sh"});
        QCOMPARE(p.description, (QStringList{"desc 1", "desc 2"}));
        QCOMPARE(p.todos.size(), 1);
        QCOMPARE(p.todos[0].official, -1);
        QCOMPARE(p.todos[0].note, QStringLiteral("note"));
        QCOMPARE(p.license, QStringList{"MIT"});
        QCOMPARE(p.notes, QStringList{"a note"});
        lines[0] = lines[5];
        QCOMPARE(ProjectFile::serialize(p), lines.mid(0, lines.size() - 2));
    }

    void serialize_keepsEveryValueOnOneLine()
    {
        ProjectData project;
        project.name = QStringLiteral("two\nlines");
        project.developers = {DeveloperEntry{QStringLiteral("Ann\r\nB"), QStringLiteral("a@x\r"), {}, {}, {}, {}}};
        const ProjectData back = ProjectFile::parse(ProjectFile::serialize(project));
        QCOMPARE(back.name, QStringLiteral("two lines"));
        QCOMPARE(back.developers.size(), 1);
        QCOMPARE(back.developers[0].name, QStringLiteral("Ann B"));
        QCOMPARE(back.developers[0].email, QStringLiteral("a@x"));
    }

    void malformedFiles_reportLineAndReason_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("message");
        QStringList badCount = allZero();
        badCount[9] = "x";
        QTest::newRow("count not a number") << badCount << "line 10: the count \"x\" is not a number";
        QStringList shortFile = header({"1", "0", "0", "0", "0", "0", "0", "0", "0", "0"});
        shortFile += {"Ann", "mail"};
        QTest::newRow("ends early") << shortFile << "the file ends at line 20, but the header announces more lines";
        QTest::newRow("header cut") << allZero().mid(0, 12) << "the file ends at line 12, but the header announces more lines";
        QStringList badCode = header({"0", "0", "0", "0", "0", "0", "0", "1", "0", "0"});
        badCode += {"8", "high", "0", "-1", "v", "t", "d", "n"};
        QTest::newRow("to-do code") << badCode << "line 20: the to-do code \"high\" is not a number";
        QStringList hugeCount = allZero();
        hugeCount[8] = "99999999999";
        QTest::newRow("count too large") << hugeCount << "line 9: the count \"99999999999\" is too large";
        QStringList binaryCount = allZero();
        binaryCount[10] = QString(100, QLatin1Char('7'));
        QTest::newRow("long line cut")
            << binaryCount << "line 11: the count \"" + QString(80, QLatin1Char('7')) + "…\" is too large";
        binaryCount[10] = QStringLiteral("\x01\tAB");
        QTest::newRow("control characters escaped") << binaryCount << "line 11: the count \"\\x01\\x09AB\" is not a number";
    }
    void malformedFiles_reportLineAndReason()
    {
        QFETCH(QStringList, lines);
        QFETCH(QString, message);
        try {
            ProjectFile::parse(lines);
            QFAIL("no error");
        } catch (const Error &error) {
            QCOMPARE(error.message(), message);
        }
    }

    void encoding_windows1252RoundTripsByteForByte()
    {
        QByteArray bytes = "C:\\Projekte\\M\xfcller\r\nproj\r\n\x80 Gr\xf6\xdf""e \x81\x8d\x8f\x90\x9d\r\n";
        const QString text = TextFile::decode(bytes);
        QVERIFY(text.contains(QStringLiteral("Müller")));
        QVERIFY(text.contains(QChar(0x20AC)));
        QCOMPARE(TextFile::joinLines(TextFile::splitLines(text)), bytes);
    }

    void encoding_utf8ReadAsUtf8AndWrittenAsUtf8WhenNeeded()
    {
        const QByteArray utf8 = "caf\xc3\xa9\r\n\xe6\x97\xa5\xe6\x9c\xac\r\n";
        const QStringList lines = TextFile::splitLines(TextFile::decode(utf8));
        QCOMPARE(lines, (QStringList{QStringLiteral("café"), QStringLiteral("日本")}));
        QCOMPARE(TextFile::joinLines(lines), utf8);
        QCOMPARE(TextFile::joinLines({QStringLiteral("café")}), QByteArray("caf\xe9\r\n"));
    }

    // Only a first byte-order mark belongs to the encoding; a second one is text.
    void encoding_byteOrderMarkAfterTheFirstIsTextAndStays_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("line");
        QTest::addColumn<QByteArray>("written");
        QTest::newRow("one mark") << QByteArray("\xef\xbb\xbf" "A\xc3\xa4\r\n") << QStringLiteral("Aä")
                                  << QByteArray("A\xe4\r\n");
        const QByteArray twoMarks("\xef\xbb\xbf\xef\xbb\xbf" "A\xc3\xa4\r\n");
        QTest::newRow("two marks") << twoMarks << QStringLiteral("\uFEFFAä") << twoMarks;
    }

    void encoding_byteOrderMarkAfterTheFirstIsTextAndStays()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, line);
        QFETCH(QByteArray, written);
        const QStringList lines = TextFile::splitLines(TextFile::decode(bytes));
        QCOMPARE(lines, QStringList{line});
        QCOMPARE(TextFile::joinLines(lines), written);
    }

    void lineEnds_acceptCrLfLfAndCr()
    {
        QCOMPARE(TextFile::splitLines(QStringLiteral("a\r\nb\nc\rd\r\n\r\n")), (QStringList{"a", "b", "c", "d", ""}));
        QCOMPARE(TextFile::splitLines(QStringLiteral("last without break")), QStringList{"last without break"});
    }

    // Read in pieces of any size, a file gives the lines that decoding it whole and splitting
    // the text gives: line ends and multi-byte sequences cut between pieces included.
    void lineStream_givesTheLinesOfTheWholeText_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("one empty line") << QByteArray("\r\n");
        QTest::newRow("mixed line ends, last without") << QByteArray("a\r\nb\nc\rd\r\n\r\ne");
        QTest::newRow("CR, CR LF, LF, CR") << QByteArray("ab\r\r\n\n\rx\r");
        QTest::newRow("Windows-1252") << QByteArray("M\xfcller\r\n\x80\x81\x9d\r\n");
        QTest::newRow("UTF-8") << QByteArray("caf\xc3\xa9\r\n\xe6\x97\xa5\xe6\x9c\xac\nend");
        QTest::newRow("invalid UTF-8 late in the file")
            << QByteArray("caf\xc3\xa9\r\n") + QByteArray(40, 'x') + QByteArray("\r\n\xc3(\r\n");
        QTest::newRow("UTF-8 cut short at the end") << QByteArray("caf\xc3\xa9\r\n\xe6\x97");
        QTest::newRow("byte-order marks") << QByteArray("\xef\xbb\xbf" "A\xc3\xa4\r\n\xef\xbb\xbf" "b\r\n");
        QTest::newRow("surrogate in UTF-8 form") << QByteArray("\xed\xa0\x80\r\n\xc3\xa4\r\n");
    }

    void lineStream_givesTheLinesOfTheWholeText()
    {
        QFETCH(QByteArray, bytes);
        QTemporaryDir dir;
        const QString path = writeFile(dir.filePath(QStringLiteral("t.txt")), bytes);
        const QStringList expected = TextFile::splitLines(TextFile::decode(bytes));
        for (const qint64 piece : {1, 2, 3, 7, 1 << 20}) {
            TextFile::LineStream stream(path, piece);
            QStringList lines;
            QString line;
            while (stream.next(line))
                lines.append(line);
            QCOMPARE(lines, expected);
            QCOMPARE(stream.position(), bytes.size());
        }
    }

    // Opening a pipe the usual way waits for a writer, forever when none comes.
    void read_refusesANamedPipe()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("p.dev"));
        QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        auto reading = std::async(std::launch::async, [&] {
            try {
                ProjectFile::read(path);
            } catch (const Error &error) {
                return error.message();
            }
            return QString();
        });
        if (reading.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
            // A writer releases the blocked reader, so the test can end.
            ::close(::open(QFile::encodeName(path).constData(), O_WRONLY | O_NONBLOCK));
            reading.wait();
            QFAIL("reading waited on the pipe");
        }
        QCOMPARE(reading.get(), QStringLiteral("Cannot open %1: not a regular file").arg(path));
    }

    // A full disk, made real with a tiny file system, must not cost the previous file, and the
    // message names the system's reason. A file that fits the write buffer fails only when the
    // buffer is flushed; a larger one part-way through writing.
    void write_onFullDiskLeavesPreviousFileWhole_data()
    {
        QTest::addColumn<int>("noteLines");
        QTest::newRow("smaller than the write buffer") << 170;
        QTest::newRow("larger than the write buffer") << 2000;
    }

    void write_onFullDiskLeavesPreviousFileWhole()
    {
        QFETCH(int, noteLines);
        QTemporaryDir dir;
        if (QProcess::execute(QStringLiteral("mount"), {"-t", "tmpfs", "-o", "size=16k", "tmpfs", dir.path()}) != 0)
            QSKIP("needs root to mount a small file system");
        const auto unmount = qScopeGuard([&] { QProcess::execute(QStringLiteral("umount"), {dir.path()}); });
        const QString path = dir.filePath(QStringLiteral("p.dev"));
        ProjectData project;
        project.name = QStringLiteral("first");
        ProjectFile::write(path, project);
        const QByteArray before = TextFile::joinLines(ProjectFile::serialize(project));
        // Of the four pages, the old file holds one and this two: one page (4,096 bytes) is free.
        writeFile(dir.filePath(QStringLiteral("filler")), QByteArray(8192, 'x'));

        project.notes = QStringList(noteLines, QStringLiteral("a line of notes that fills the disk"));
        QVERIFY(TextFile::joinLines(ProjectFile::serialize(project)).size() > 4096);
        try {
            ProjectFile::write(path, project);
            QFAIL("no error on a full disk");
        } catch (const Error &error) {
            QVERIFY2(error.message().contains(path), qPrintable(error.message()));
            QVERIFY2(error.message().contains(QStringLiteral("No space left on device")), qPrintable(error.message()));
        }
        QCOMPARE(readFile(path), before);
    }

    // A file that holds a password is its owner's alone, even where it replaces a looser one;
    // a file without one keeps the mode it had, and a new one gets the user's umask.
    void write_fileWithAPasswordIsOwnerOnly_data()
    {
        QTest::addColumn<int>("oldMode"); // -1: no file there yet
        QTest::addColumn<QString>("password");
        QTest::addColumn<int>("newMode"); // -1: as the umask says

        QTest::newRow("password over 0644") << 0644 << "s3cret" << 0600;
        QTest::newRow("password over 0666") << 0666 << "s3cret" << 0600;
        QTest::newRow("password, new file") << -1 << "s3cret" << 0600;
        QTest::newRow("none over 0644") << 0644 << "" << 0644;
        QTest::newRow("none over 0640") << 0640 << "" << 0640;
        QTest::newRow("none over 0600") << 0600 << "" << 0600;
        QTest::newRow("none, new file") << -1 << "" << -1;
    }

    void write_fileWithAPasswordIsOwnerOnly()
    {
        QFETCH(int, oldMode);
        QFETCH(QString, password);
        QFETCH(int, newMode);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("p.dev"));
        ProjectData project;
        if (oldMode >= 0) {
            ProjectFile::write(path, project);
            QCOMPARE(::chmod(QFile::encodeName(path).constData(), mode_t(oldMode)), 0);
        }
        const mode_t umask = ::umask(022);
        ::umask(umask);
        project.uploads = {{"a.zip", "ftp://h/d", "user", "", "21"}, {"b.zip", "ftp://h/d", "user", password, "21"}};

        ProjectFile::write(path, project);

        struct stat written = {};
        QCOMPARE(::stat(QFile::encodeName(path).constData(), &written), 0);
        QCOMPARE(int(written.st_mode & 07777), newMode >= 0 ? newMode : int(0666 & ~umask));
        QCOMPARE(ProjectFile::read(path).uploads[1].password, password);
    }
};

QTEST_GUILESS_MAIN(ProjectFileTest)
#include "project_file_test.moc"
