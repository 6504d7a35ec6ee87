#include "ZipArchiveChecks.h"

#include "project/Error.h"
#include "support/TestSupport.h"
#include "zip/ZipArchiveWriter.h"
#include "zip/ZipCompressionPool.h"
#include "zip/ZipDeflater.h"
#include "zip/ZipNames.h"

#include <QBuffer>
#include <QDirIterator>
#include <QRandomGenerator>
#include <QSet>
#include <QScopeGuard>
#include <QtTest>

#include <functional>
#include <future>

#include <csignal>

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace ZipArchiveChecks;

namespace {

const QDateTime fixedTime(QDate(2024, 12, 8), QTime(13, 45, 31));

void setModified(const QString &path, const QDateTime &time)
{
    const timespec times[2] = {{time_t(time.toSecsSinceEpoch()), 0}, {time_t(time.toSecsSinceEpoch()), 0}};
    if (utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0) != 0)
        qFatal("cannot set the time of %s", qPrintable(path));
}

// Text that compresses like source code, different for every seed.
QByteArray sampleText(quint32 seed, qsizetype size)
{
    static const QList<QByteArray> words = {"int ", "return ", "const ", "QString ", "{\n", "}\n",
                                            "value", "(", ")", ";\n", "if ", "// note ", "0x1F"};
    QRandomGenerator random(seed);
    QByteArray text;
    while (text.size() < size)
        text += words.at(random.bounded(int(words.size())));
    text.truncate(size);
    return text;
}

QByteArray randomBytes(quint32 seed, qsizetype size)
{
    QRandomGenerator random(seed);
    QByteArray bytes(size, Qt::Uninitialized);
    random.fillRange(reinterpret_cast<quint32 *>(bytes.data()), size / 4);
    return bytes;
}

// Zips a folder the way the program does: a new archive beside it, the folder given with a
// trailing separator, every subfolder, and as root the folder itself or nothing.
QString zipFolder(const QString &folder, bool withFolderNames)
{
    const QString archive = folder + QStringLiteral(".zip");
    const QString text = folder + QDir::separator();
    ZipArchiveWriter::createArchive(archive);
    ZipArchiveWriter writer;
    writer.setFileName(archive);
    writer.openArchive();
    writer.addFolder(text, withFolderNames ? text : QString(), QStringLiteral("*"), true);
    writer.closeArchive();
    return archive;
}

// Parses the archive with the structural check and runs the validators on it.
QString checkArchive(const QString &archive, QList<ArchiveEntry> &entries)
{
    const QString problem = parse(readFile(archive), entries);
    return problem.isEmpty() ? validate(archive) : problem;
}

// Unpacks with 7-Zip.
QString extract(const QString &archive, const QString &folder)
{
    return failureOf(QStringLiteral("7zz"), {QStringLiteral("x"), QStringLiteral("-bso0"),
                                             QStringLiteral("-bsp0"), QStringLiteral("-o") + folder, archive});
}

// The files and folders below a folder, relative to it, folders with a trailing "/", sorted.
QStringList itemsBelow(const QString &folder)
{
    QStringList items;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        items.append(QDir(folder).relativeFilePath(info.filePath()) + (info.isDir() ? "/" : ""));
    }
    items.sort();
    return items;
}

// Limits the size of the files this process writes for the life of the object; a write past
// it fails (with EFBIG) instead of ending the process.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{bytes, m_old.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        signal(SIGXFSZ, m_oldHandler);
    }
    Q_DISABLE_COPY_MOVE(FileSizeLimit)

private:
    rlimit m_old{};
    sighandler_t m_oldHandler = nullptr;
};

QStringList namesOf(const QList<ArchiveEntry> &entries)
{
    QStringList names;
    for (const ArchiveEntry &entry : entries)
        names.append(QString::fromUtf8(entry.name));
    return names;
}

void put16(QByteArray &out, quint16 v)
{
    out.append(char(v & 0xFF)).append(char(v >> 8));
}

void put32(QByteArray &out, quint32 v)
{
    put16(out, quint16(v & 0xFFFF));
    put16(out, quint16(v >> 16));
}

// An archive of one entry, written field by field from the format's tables.
QByteArray oneEntryArchive(const QByteArray &name, const QByteArray &content, quint32 attributes,
                           const QDateTime &time)
{
    const quint16 method = content.isEmpty() ? 0 : 8;
    const QByteArray data = content.isEmpty() ? QByteArray() : oneShotDeflate(content);
    QByteArray local;
    put32(local, 0x04034B50);
    put16(local, 20);
    put16(local, 0);
    put16(local, method);
    put16(local, dosTime(time));
    put16(local, dosDate(time));
    put32(local, content.isEmpty() ? 0 : crcOf(content));
    put32(local, quint32(data.size()));
    put32(local, quint32(content.size()));
    put16(local, quint16(name.size()));
    put16(local, 0);
    local += name + data;
    QByteArray central;
    put32(central, 0x02014B50);
    put16(central, 20);
    central += local.mid(4, 26); // version needed to extract up to the extra field length
    put16(central, 0);
    put16(central, 0);
    put16(central, 0);
    put32(central, attributes);
    put32(central, 0);
    central += name;
    QByteArray end;
    put32(end, 0x06054B50);
    put32(end, 0);
    put16(end, 1);
    put16(end, 1);
    put32(end, quint32(central.size()));
    put32(end, quint32(local.size()));
    put16(end, 0);
    return local + central + end;
}

} // namespace

class ZipArchiveWriterTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_tree;
    QSet<QString> m_readOnly;
    QString m_oldFile;

    QString path(const QString &name) const { return m_dir.filePath(name); }

private slots:
    // A tree like a real project: nested folders, an empty folder, empty, hidden, read-only and
    // incompressible files, names differing only in case, a file above the size the writer
    // compresses in memory, a file from before 1980, and enough files to keep the workers busy.
    void initTestCase()
    {
        m_tree = path(QStringLiteral("tree"));
        const QString t = m_tree + QLatin1Char('/');
        writeFile(t + QStringLiteral("a.txt"), sampleText(1, 3000));
        writeFile(t + QStringLiteral("A.TXT"), sampleText(2, 3000));
        writeFile(t + QStringLiteral("empty.txt"), {});
        writeFile(t + QStringLiteral(".hidden"), sampleText(3, 100));
        writeFile(t + QStringLiteral("read only.txt"), sampleText(4, 100));
        writeFile(t + QStringLiteral("\u00e4 \u00f6 \u20ac.txt"), sampleText(5, 100));
        writeFile(t + QStringLiteral("random.bin"), randomBytes(6, 70000));
        writeFile(t + QStringLiteral("big/large.txt"), sampleText(7, 5 * 1024 * 1024 + 123));
        writeFile(t + QStringLiteral("s/t/u/deep.txt"), sampleText(8, 10));
        writeFile(t + QStringLiteral("s/.config/x"), sampleText(9, 10));
        m_oldFile = writeFile(t + QStringLiteral("s/old.txt"), sampleText(10, 10));
        for (int folder = 0; folder < 20; ++folder) {
            for (int file = 0; file < 60; ++file)
                writeFile(t + QStringLiteral("many/d%1/f%2.c").arg(folder).arg(file),
                          sampleText(quint32(folder * 100 + file), file * 97 % 9000));
        }
        QVERIFY(QDir().mkpath(t + QStringLiteral("empty folder")));
        QVERIFY(QFile::setPermissions(t + QStringLiteral("read only.txt"),
                                      QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        m_readOnly.insert(QStringLiteral("read only.txt"));
        setModified(m_oldFile, QDateTime(QDate(1975, 6, 1), QTime(12, 0)));
        setModified(t + QStringLiteral("a.txt"), fixedTime);
        setModified(t + QStringLiteral("empty folder"), fixedTime);
    }

    void relativeName_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("root");
        QTest::addColumn<QString>("expected");
        QTest::newRow("root and the doubled separator removed") << "/P//s/f.txt" << "/P/" << "s/f.txt";
        QTest::newRow("folder's own entry is empty") << "/P//" << "/P/" << "";
        QTest::newRow("empty root leaves the path whole") << "/P//s/f.txt" << "" << "/P//s/f.txt";
        QTest::newRow("path outside the root unchanged") << "/Q/f.txt" << "/P/" << "/Q/f.txt";
        if (ZipNames::fileNameCase == Qt::CaseSensitive)
            QTest::newRow("another letter case is another folder") << "/p//f.txt" << "/P/" << "/p//f.txt";
    }

    void relativeName()
    {
        QFETCH(QString, path);
        QFETCH(QString, root);
        QFETCH(QString, expected);
        QCOMPARE(ZipNames::relativeName(QDir::toNativeSeparators(path), QDir::toNativeSeparators(root)),
                 QDir::toNativeSeparators(expected));
    }

    void zipName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected");
        QTest::newRow("separators become slashes") << "s/t/f.txt" << "s/t/f.txt";
        QTest::newRow("folder keeps its trailing slash") << "s/t/" << "s/t/";
        QTest::newRow("whole path loses the root") << "/home/ann/dev/release//a.txt"
                                                   << "home/ann/dev/release/a.txt";
        QTest::newRow("whole folder path") << "/home/ann//" << "home/ann/";
    }

    void zipName()
    {
        QFETCH(QString, name);
        QFETCH(QString, expected);
        QCOMPARE(ZipNames::zipName(QDir::toNativeSeparators(name)), expected);
    }

    void deflater_givesTheOneShotBytesInAnyPieces_data()
    {
        QTest::addColumn<qsizetype>("pieceSize");
        QTest::newRow("whole") << qsizetype(1 << 20);
        QTest::newRow("4 KiB pieces") << qsizetype(4096);
        QTest::newRow("odd pieces") << qsizetype(999);
    }

    // Incompressible data of these sizes makes the compressed stream end on either side of the
    // 64 KiB output buffer, so the trailer that is cut off may span two pieces of output.
    void deflater_givesTheOneShotBytesInAnyPieces()
    {
        QFETCH(qsizetype, pieceSize);
        QList<QByteArray> inputs{sampleText(70, 300000), QByteArray("x")};
        for (qsizetype size = 65500; size <= 65530; ++size)
            inputs.append(randomBytes(quint32(size), size));
        for (const QByteArray &input : inputs) {
            QByteArray output;
            ZipDeflater deflater([&output](QByteArrayView piece) { output.append(piece); });
            for (qsizetype at = 0; at < input.size(); at += pieceSize)
                deflater.write(QByteArrayView(input).sliced(at, std::min(pieceSize, input.size() - at)));
            deflater.finish();
            QVERIFY2(output == oneShotDeflate(input), qPrintable(QString::number(input.size())));
            QCOMPARE(deflater.compressedSize(), output.size());
            QCOMPARE(deflater.crc(), crcOf(input));
        }
    }

    // The workers compress in memory only files of at most the limit, also when a file has
    // grown since the walk listed it; a larger file goes back to the writer, which streams it.
    void pool_leavesAFileGrownPastItsLimitToTheWriter_data()
    {
        QTest::addColumn<qsizetype>("size");
        QTest::addColumn<bool>("grown");
        QTest::newRow("at the limit") << qsizetype(ZipCompressionPool::splitSize) << false;
        QTest::newRow("past the limit") << qsizetype(ZipCompressionPool::splitSize + 1) << true;
    }

    void pool_leavesAFileGrownPastItsLimitToTheWriter()
    {
        QFETCH(qsizetype, size);
        QFETCH(bool, grown);
        const QByteArray content = sampleText(80, size);
        const QString file = writeFile(path(QStringLiteral("pooled/") + QTest::currentDataTag()), content);
        ZipCompressionPool pool({ZipCompressionPool::Task{file}});
        const ZipCompressionPool::Result result = pool.take(0);
        using Status = ZipCompressionPool::Result::Status;
        QCOMPARE(result.status, grown ? Status::Grown : Status::Ready);
        QCOMPARE(result.data, grown ? QByteArray() : oneShotDeflate(content));
    }

    // A file replaced by a pipe or a device after the walk listed it is passed over, as the
    // walk passes over pipes: a pipe would keep a worker waiting for a writer, and with it the
    // writer waiting for the worker.
    void pool_passesOverWhatIsNoLongerARegularFile_data()
    {
        QTest::addColumn<QString>("file");
        const QString pipe = path(QStringLiteral("pooled-pipe"));
        QCOMPARE(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        QTest::newRow("named pipe") << pipe;
        QTest::newRow("device") << QStringLiteral("/dev/zero");
    }

    void pool_passesOverWhatIsNoLongerARegularFile()
    {
        QFETCH(QString, file);
        auto result = std::async(std::launch::async, [&] {
            ZipCompressionPool pool({ZipCompressionPool::Task{file}});
            return pool.take(0);
        });
        if (result.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
            // A writer releases the blocked worker, so the test can end.
            ::close(::open(QFile::encodeName(file).constData(), O_WRONLY | O_NONBLOCK));
            result.wait();
            QFAIL("the worker waited on the pipe");
        }
        QCOMPARE(result.get().status, ZipCompressionPool::Result::Status::Missing);
    }

    // A file above the split size is compressed in parts at once that join into one deflate
    // stream. Every reader gets it back byte for byte, across the part edges, also where
    // matches reach back over an edge (copies of a random block, which compress only when each
    // part is primed with the input before it), and it stays about as small as one stream of it.
    void largeFile_isCompressedInPartsThatJoin_data()
    {
        QTest::addColumn<QByteArray>("content");
        const qsizetype part = ZipCompressionPool::partSize;
        const QByteArray block = randomBytes(90, 10000);
        QTest::newRow("copies of a block across every edge") << block.repeated(6 * part / block.size() + 1);
        QTest::newRow("one byte past the split size") << sampleText(91, ZipCompressionPool::splitSize + 1);
        QTest::newRow("whole parts of random bytes") << randomBytes(92, 5 * part);
        QTest::newRow("text and random bytes")
            << sampleText(93, 3 * part + 77) + randomBytes(94, part) + sampleText(95, part);
    }

    void largeFile_isCompressedInPartsThatJoin()
    {
        QFETCH(QByteArray, content);
        const QString folder = path(QStringLiteral("parts/") + QTest::currentDataTag());
        writeFile(folder + QStringLiteral("/large.bin"), content);
        const QString archive = zipFolder(folder, true);
        QList<ArchiveEntry> entries;
        const QString problem = checkArchive(archive, entries);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        QCOMPARE(entries.size(), 1);
        const QString out = path(QStringLiteral("parts-out/") + QTest::currentDataTag());
        QCOMPARE(extract(archive, out), QString());
        QVERIFY(readFile(out + QStringLiteral("/large.bin")) == content);
        const qsizetype oneStream = oneShotDeflate(content).size();
        const qsizetype parts = content.size() / ZipCompressionPool::partSize + 1;
        QVERIFY2(entries.at(0).data.size() <= oneStream + oneStream / 200 + 64 * parts,
                 qPrintable(QStringLiteral("%1 bytes, one stream %2").arg(entries.at(0).data.size()).arg(oneStream)));
    }

    void emptyFolder_givesTheEndRecordAlone_data()
    {
        QTest::addColumn<bool>("exists");
        QTest::addColumn<bool>("withFolderNames");
        QTest::newRow("empty folder") << true << true;
        // Without folder names a folder that is there gets the entries of its path.
        QTest::newRow("missing folder without folder names") << false << false;
    }

    void emptyFolder_givesTheEndRecordAlone()
    {
        QFETCH(bool, exists);
        QFETCH(bool, withFolderNames);
        const QString folder = path(QStringLiteral("nothing/") + QTest::currentDataTag());
        QVERIFY(!exists || QDir().mkpath(folder));
        QVERIFY(QDir().mkpath(path(QStringLiteral("nothing"))));
        const QByteArray endRecordAlone = QByteArray("PK\x05\x06", 4) + QByteArray(18, '\0');
        QCOMPARE(readFile(zipFolder(folder, withFolderNames)), endRecordAlone);
    }

    void singleEntry_isWrittenAsTheTablesSay_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<quint32>("attributes");
        QTest::newRow("zero-byte file is stored") << "a.txt" << QByteArray() << 32u;
        QTest::newRow("empty subfolder") << "s/" << QByteArray() << 16u;
        QTest::newRow("file of c bytes deflated") << "a.txt" << sampleText(11, 5000) << 32u;
        QTest::newRow("incompressible file still deflated") << "a.txt" << randomBytes(12, 600) << 32u;
    }

    void singleEntry_isWrittenAsTheTablesSay()
    {
        QFETCH(QString, item);
        QFETCH(QByteArray, content);
        QFETCH(quint32, attributes);
        const QString folder = path(QStringLiteral("single/") + QTest::currentDataTag());
        const QString itemPath = folder + QLatin1Char('/') + item;
        if (item.endsWith(QLatin1Char('/')))
            QVERIFY(QDir().mkpath(itemPath));
        else
            writeFile(itemPath, content);
        setModified(itemPath, fixedTime);

        const QString archive = zipFolder(folder, true);
        const QByteArray bytes = readFile(archive);
        QCOMPARE(bytes, oneEntryArchive(item.toLatin1(), content, attributes, fixedTime));
        // The one file a.txt: its data at 35, the central directory at 35 + c, 108 + c bytes.
        const qsizetype c = content.isEmpty() ? 0 : oneShotDeflate(content).size();
        QCOMPARE(bytes.size(), 30 + 46 + 2 * item.size() + 22 + c);
        QList<ArchiveEntry> entries;
        const QString problem = checkArchive(archive, entries);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
    }

    void folderTree_passesValidatorsAndUnzipsToTheSameTree()
    {
        const QString archive = zipFolder(m_tree, true);
        QList<ArchiveEntry> entries;
        const QString problem = checkArchive(archive, entries);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));

        const QString out = path(QStringLiteral("unzipped"));
        QCOMPARE(extract(archive, out), QString());
        const QStringList items = itemsBelow(m_tree);
        QCOMPARE(itemsBelow(out), items);
        for (const QString &item : items) {
            if (!item.endsWith(QLatin1Char('/')))
                QVERIFY2(readFile(out + '/' + item) == readFile(m_tree + '/' + item), qPrintable(item));
        }
    }

    void folderTree_entriesFollowTheWalk()
    {
        QList<ArchiveEntry> entries;
        const QString problem = parse(readFile(zipFolder(m_tree, true)), entries);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        const QStringList names = namesOf(entries);
        QVERIFY(names.contains(QStringLiteral("a.txt")) && names.contains(QStringLiteral("A.TXT")));
        QStringList sorted = names;
        sorted.sort();
        QCOMPARE(sorted, itemsBelow(m_tree));

        for (qsizetype i = 0; i < entries.size(); ++i) {
            const QString name = names.at(i);
            const bool folder = name.endsWith(QLatin1Char('/'));
            const QString relative = folder ? name.chopped(1) : name;
            const QFileInfo info(m_tree + QLatin1Char('/') + relative);
            // Depth-first: a folder's entry comes before everything in it.
            const qsizetype parentEnd = relative.lastIndexOf(QLatin1Char('/'));
            if (parentEnd > 0)
                QVERIFY2(names.indexOf(relative.first(parentEnd + 1)) < i, qPrintable(name));

            const ArchiveEntry &entry = entries.at(i);
            const QByteArray content = folder ? QByteArray() : readFile(info.filePath());
            QCOMPARE(entry.method, quint16(content.isEmpty() ? 0 : 8));
            // Up to the split size a file is one zlib stream; beyond, parse() checked its data.
            const QByteArray data = content.isEmpty() ? QByteArray() : oneShotDeflate(content);
            QVERIFY2(entry.data == data || content.size() > ZipCompressionPool::splitSize, qPrintable(name));

            const quint32 attributes = (folder ? 16u : 32u) + (m_readOnly.contains(relative) ? 1 : 0)
                + (info.fileName().startsWith(QLatin1Char('.')) ? 2 : 0);
            QCOMPARE(entry.attributes, attributes);
            // Before 1980 the format has no date; the earliest it can express stands in.
            const bool old = info.filePath() == m_oldFile;
            QCOMPARE(entry.dosTime, old ? quint16(0) : dosTime(info.lastModified()));
            QCOMPARE(entry.dosDate, old ? quint16(33) : dosDate(info.lastModified()));
        }
    }

    // Without folder names every entry is named by its whole path without the root, and the
    // folders on the way to the zipped folder get entries first.
    void emptyRoot_namesEntriesByTheirWholePath()
    {
        const QString folder = path(QStringLiteral("whole/f"));
        writeFile(folder + QStringLiteral("/a.txt"), sampleText(20, 50));
        writeFile(folder + QStringLiteral("/s/b.txt"), sampleText(21, 50));
        const QString archive = zipFolder(folder, false);
        QList<ArchiveEntry> entries;
        const QString problem = checkArchive(archive, entries);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));

        const QString prefix = folder.mid(1) + QLatin1Char('/');
        QStringList ancestors;
        for (qsizetype end = prefix.indexOf('/'); end >= 0; end = prefix.indexOf('/', end + 1))
            ancestors.append(prefix.first(end + 1));
        const QStringList names = namesOf(entries);
        QCOMPARE(names.first(ancestors.size()), ancestors);
        const QStringList content = names.sliced(ancestors.size());
        QCOMPARE(QSet<QString>(content.cbegin(), content.cend()),
                 QSet<QString>({prefix + "a.txt", prefix + "s/", prefix + "s/b.txt"}));

        const QString out = path(QStringLiteral("whole-unzipped"));
        QCOMPARE(extract(archive, out), QString());
        QCOMPARE(readFile(out + QLatin1Char('/') + prefix + QStringLiteral("s/b.txt")), sampleText(21, 50));
    }

    // Each step adds "name=text" (the text repeated, so that it deflates) or, as "-n", removes
    // entry n. The same archive must come out as if the removed entries had never been added.
    void removeEntry_leavesTheFileAsIfNeverAdded_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("withoutRemoved");
        QTest::newRow("same name added again") << QStringList{"a=1", "b=22", "c=333", "b=4444"}
                                               << QStringList{"a=1", "c=333", "b=4444"};
        QTest::newRow("same folder name added again") << QStringList{"s/=", "a=1", "s/="}
                                                      << QStringList{"a=1", "s/="};
        QTest::newRow("first entry removed") << QStringList{"a=1", "b=22", "c=333", "-0"}
                                             << QStringList{"b=22", "c=333"};
        QTest::newRow("last entry removed") << QStringList{"a=1", "b=22", "c=333", "-2"}
                                            << QStringList{"a=1", "b=22"};
    }

    void removeEntry_leavesTheFileAsIfNeverAdded()
    {
        QFETCH(QStringList, steps);
        QFETCH(QStringList, withoutRemoved);
        const auto write = [this](const QString &name, const QStringList &steps) {
            const QString archive = path(name);
            ZipArchiveWriter::createArchive(archive);
            ZipArchiveWriter writer;
            writer.setFileName(archive);
            writer.openArchive();
            for (const QString &step : steps) {
                if (step.startsWith(QLatin1Char('-'))) {
                    writer.removeEntry(step.mid(1).toInt());
                    continue;
                }
                QByteArray data = step.section(QLatin1Char('='), 1).toLatin1().repeated(50);
                QBuffer buffer(&data);
                buffer.open(QIODevice::ReadOnly);
                writer.addStream(step.section(QLatin1Char('='), 0, 0), 32, fixedTime, buffer);
            }
            writer.closeArchive();
            return readFile(archive);
        };
        const QByteArray removed = write(QStringLiteral("removed.zip"), steps);
        QCOMPARE(removed, write(QStringLiteral("never-added.zip"), withoutRemoved));
        QList<ArchiveEntry> entries;
        const QString problem = checkArchive(path(QStringLiteral("removed.zip")), entries);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
    }

    void openArchive_missingFile_reportsItByName()
    {
        ZipArchiveWriter writer;
        writer.setFileName(path(QStringLiteral("missing.zip")));
        QCOMPARE(errorOf([&] { writer.openArchive(); }),
                 QStringLiteral("File \"%1\" not found!").arg(path(QStringLiteral("missing.zip"))));
        QVERIFY(!writer.isOpen());
    }

    // Archives this writer cannot add to without losing or breaking something are refused,
    // and left as they are.
    void openArchive_refusesWhatItCannotUpdate_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QByteArray withComment = QByteArray("PK\x05\x06", 4) + QByteArray(16, '\0');
        put16(withComment, 3);
        withComment += "abc";
        QTest::newRow("not an archive") << randomBytes(30, 400);
        QTest::newRow("shorter than an end record") << QByteArray("PK\x05\x06", 4);
        QTest::newRow("archive with a comment") << withComment;
        const QString foreign = path(QStringLiteral("foreign.zip"));
        QCOMPARE(failureOf(QStringLiteral("zip"), {QStringLiteral("-qj"), foreign, m_tree + "/a.txt"}),
                 QString());
        QTest::newRow("entries with extra fields") << readFile(foreign);
        // An extra field in the local header alone: the central header tells nothing of it,
        // so replacing the entry would cut its record 4 bytes short.
        QByteArray localExtra = oneEntryArchive("a.txt", sampleText(31, 500), 32, fixedTime);
        localExtra[28] = 4;
        localExtra.insert(30 + 5, QByteArray("\xFE\xCA\0\0", 4));
        const qsizetype directoryAt = localExtra.size() - 22 + 16;
        qToLittleEndian<quint32>(get32(localExtra, directoryAt) + 4, localExtra.data() + directoryAt);
        QTest::newRow("local header with an extra field") << localExtra;
        // Two central headers of one local record: replacing the entry would cut the record
        // out from under the other.
        const QByteArray single = oneEntryArchive("a.txt", sampleText(32, 500), 32, fixedTime);
        const qsizetype directoryOffset = get32(single, single.size() - 22 + 16);
        const QByteArray central = single.mid(directoryOffset, single.size() - 22 - directoryOffset);
        QByteArray shared = single.first(directoryOffset) + central + central;
        put32(shared, 0x06054B50);
        put32(shared, 0);
        put16(shared, 2);
        put16(shared, 2);
        put32(shared, quint32(2 * central.size()));
        put32(shared, quint32(directoryOffset));
        put16(shared, 0);
        QTest::newRow("entries sharing a local record") << shared;
    }

    void openArchive_refusesWhatItCannotUpdate()
    {
        QFETCH(QByteArray, bytes);
        const QString archive = writeFile(path(QStringLiteral("refused.zip")), bytes);
        ZipArchiveWriter writer;
        writer.setFileName(archive);
        QCOMPARE(errorOf([&] { writer.openArchive(); }),
                 QStringLiteral("\"%1\" is not a zip archive that entries can be added to.").arg(archive));
        QVERIFY(!writer.isOpen());
        QCOMPARE(readFile(archive), bytes);
    }

    void openArchive_addsBehindTheEntriesItFinds()
    {
        const auto add = [this](ZipArchiveWriter &writer, const QString &name) {
            QByteArray data = sampleText(qHash(name), 700);
            QBuffer buffer(&data);
            buffer.open(QIODevice::ReadOnly);
            writer.addStream(name, 32, fixedTime, buffer);
        };
        const QString inTurns = path(QStringLiteral("turns.zip"));
        const QString atOnce = path(QStringLiteral("once.zip"));
        ZipArchiveWriter::createArchive(inTurns);
        ZipArchiveWriter::createArchive(atOnce);
        ZipArchiveWriter writer;
        for (const QStringList &turn : {QStringList{"a", "s/b"}, QStringList{"c", "a"}}) {
            writer.setFileName(inTurns);
            writer.openArchive();
            for (const QString &name : turn)
                add(writer, name);
            writer.closeArchive();
        }
        writer.setFileName(atOnce);
        writer.openArchive();
        for (const QString &name : QStringList{"s/b", "c", "a"})
            add(writer, name);
        writer.closeArchive();
        QCOMPARE(readFile(inTurns), readFile(atOnce));
        QList<ArchiveEntry> entries;
        const QString problem = checkArchive(inTurns, entries);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
    }

    // A failure ends the walk; the archive on disk, before it is closed, holds the entries
    // added before the failure, complete. A file that fails to read (the test's own memory at
    // address 0, mounted over a file of the folder) is reported by the worker that compresses
    // it; a full disk (a file size limit here) is reported with its reason.
    void failureInTheWalk_endsItAndLeavesTheArchiveComplete_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("expected");
        QTest::newRow("file that fails to read") << "mem" << "Cannot read \"<file>\": ";
        QTest::newRow("archive that cannot grow") << "random.bin"
                                                  << "Cannot write \"<archive>\": File too large";
    }

    void failureInTheWalk_endsItAndLeavesTheArchiveComplete()
    {
        QFETCH(QString, file);
        QFETCH(QString, expected);
        const QString folder = path(QStringLiteral("failing/") + QTest::currentDataTag());
        const QString failing = folder + '/' + file;
        QVERIFY(QDir().mkpath(folder));
        writeFile(failing, randomBytes(41, 200000));
        // The memory shows in the folder as a file of its own, not as a link out of it, which the
        // walk would not follow.
        if (file == QLatin1String("mem") && ::mount("/proc/self/mem", QFile::encodeName(failing).constData(), nullptr, MS_BIND, nullptr) != 0)
            QSKIP("cannot put the process's memory into the folder here");
        const auto unmount = qScopeGuard([&] {
            if (file == QLatin1String("mem"))
                ::umount2(QFile::encodeName(failing).constData(), MNT_DETACH);
        });
        const QString archive = folder + QStringLiteral(".zip");
        ZipArchiveWriter::createArchive(archive);
        ZipArchiveWriter writer;
        writer.setFileName(archive);
        writer.openArchive();
        QByteArray data = sampleText(40, 1000);
        QBuffer buffer(&data);
        buffer.open(QIODevice::ReadOnly);
        writer.addStream(QStringLiteral("first.txt"), 32, fixedTime, buffer);

        QString error;
        {
            const FileSizeLimit limit(file == QLatin1String("random.bin") ? 100000 : RLIM_INFINITY);
            error = errorOf([&] { writer.addFolder(folder + "/", folder + "/", "*", true); });
        }
        expected.replace(QLatin1String("<file>"), failing).replace(QLatin1String("<archive>"), archive);
        QVERIFY2(error.startsWith(expected), qPrintable(error));
        QList<ArchiveEntry> entries;
        const QString problem = checkArchive(archive, entries);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        QCOMPARE(namesOf(entries), QStringList{"first.txt"});
    }

    // What the 16-bit name length field cannot hold is refused before anything of it is
    // written.
    void entryPastTheLimits_isRefusedAndTheArchiveStaysComplete_data()
    {
        QTest::addColumn<int>("entriesBefore");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected");
        QTest::newRow("name of 65,536 bytes")
            << 1 << QString(65536, QLatin1Char('n'))
            << "Cannot add \"" + QString(40, QLatin1Char('n')) + "...\" to \"%1\": a zip archive holds names "
               "of at most 65,535 bytes.";
    }

    void entryPastTheLimits_isRefusedAndTheArchiveStaysComplete()
    {
        QFETCH(int, entriesBefore);
        QFETCH(QString, name);
        QFETCH(QString, expected);
        const QString archive = path(QStringLiteral("full.zip"));
        ZipArchiveWriter::createArchive(archive);
        ZipArchiveWriter writer;
        writer.setFileName(archive);
        writer.openArchive();
        QBuffer empty;
        empty.open(QIODevice::ReadOnly);
        for (int i = 0; i < entriesBefore; ++i)
            writer.addStream(QString::number(i), 32, fixedTime, empty);
        QCOMPARE(errorOf([&] { writer.addStream(name, 32, fixedTime, empty); }), expected.arg(archive));
        writer.closeArchive();
        QList<ArchiveEntry> entries;
        const QString problem = checkArchive(archive, entries);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        QCOMPARE(entries.size(), entriesBefore);
    }

    void createArchive_reportsWhatFailed_data()
    {
        QTest::addColumn<QString>("archive");
        QTest::addColumn<QString>("expectedStart");
        QTest::newRow("disk full") << "/dev/full" << "Cannot write \"/dev/full\": ";
        const QString missing = path(QStringLiteral("no such folder/a.zip"));
        QTest::newRow("folder missing") << missing << QStringLiteral("Cannot create \"%1\": ").arg(missing);
    }

    void createArchive_reportsWhatFailed()
    {
        QFETCH(QString, archive);
        QFETCH(QString, expectedStart);
        const QString error = errorOf([&] { ZipArchiveWriter::createArchive(archive); });
        QVERIFY2(error.startsWith(expectedStart), qPrintable(error));
    }

    // The archive inside the zipped folder, a link back to the folder and a pipe would make the
    // walk read its own output, go round forever or wait forever.
    void walk_passesOverWhatHoldsNoFileToAdd()
    {
        const QString folder = path(QStringLiteral("odd"));
        writeFile(folder + QStringLiteral("/a.txt"), sampleText(50, 100));
        QVERIFY(QFile::link(folder, folder + QStringLiteral("/loop")));
        QVERIFY(QFile::link(folder + QStringLiteral("/gone"), folder + QStringLiteral("/dangling")));
        QCOMPARE(mkfifo(QFile::encodeName(folder + QStringLiteral("/pipe")).constData(), 0600), 0);
        const QString archive = folder + QStringLiteral("/inside.zip");
        ZipArchiveWriter::createArchive(archive);
        ZipArchiveWriter writer;
        writer.setFileName(archive);
        writer.openArchive();
        writer.addFolder(folder + "/", folder + "/", QStringLiteral("*"), true);
        writer.closeArchive();
        QList<ArchiveEntry> entries;
        const QString problem = checkArchive(archive, entries);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        const QStringList names = namesOf(entries);
        QCOMPARE(QSet<QString>(names.cbegin(), names.cend()), QSet<QString>({"a.txt", "loop/"}));
    }
};

QTEST_GUILESS_MAIN(ZipArchiveWriterTest)
#include "zip_archive_writer_test.moc"
