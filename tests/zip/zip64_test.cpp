#include "ZipArchiveChecks.h"

#include "support/TestSupport.h"
#include "zip/ZipArchiveWriter.h"

#include <QBuffer>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStorageInfo>
#include <QtTest>

#include <zlib.h>

using namespace ZipArchiveChecks;

namespace {

const QDateTime fixedTime(QDate(2024, 12, 8), QTime(13, 45, 31));

// What Python's zipfile reads from the central directory: "name size offset" a line.
QString zipfileListing(const QString &archive)
{
    QProcess python;
    python.start(QStringLiteral("python3"),
                 {QStringLiteral("-c"),
                  QStringLiteral("import sys, zipfile\n"
                                 "for i in zipfile.ZipFile(sys.argv[1]).infolist():\n"
                                 "    print(i.filename, i.file_size, i.header_offset)\n"),
                  archive});
    python.waitForFinished(120000);
    return QString::fromUtf8(python.readAllStandardOutput());
}

// The CRC-32 of `count` zero bytes, without reading them: the CRCs of runs of 2^k zeros,
// joined for the bits of the count.
quint32 zerosCrc(quint64 count)
{
    const char zero = 0;
    uLong run = crc32(0, reinterpret_cast<const Bytef *>(&zero), 1);
    uLong crc = 0;
    for (quint64 length = 1; length <= count; length *= 2) {
        if (count & length)
            crc = crc32_combine(crc, run, z_off_t(length));
        run = crc32_combine(run, run, z_off_t(length));
    }
    return quint32(crc);
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

} // namespace

// Archives past the classic limits: 4 GiB in one entry or before an entry's header, and 65,535
// entries. These need room on the disk and minutes of validators' time for the large ones,
// which run only with TROVAS_LARGE_ZIP_TESTS=1 (on a busy machine, with QTEST_FUNCTION_TIMEOUT
// raised past its 300000 ms as well).
class Zip64Test : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString path(const QString &name) const { return m_dir.filePath(name); }

    // Why the test cannot run here, or an empty text.
    QString lacking(qint64 room, bool large) const
    {
        if (large && qEnvironmentVariableIntValue("TROVAS_LARGE_ZIP_TESTS") != 1)
            return QStringLiteral("archives of more than 4 GiB take minutes to check; set TROVAS_LARGE_ZIP_TESTS=1");
        if (QStorageInfo(m_dir.path()).bytesAvailable() < room)
            return QStringLiteral("needs %1 MiB free in %2").arg(room >> 20).arg(m_dir.path());
        return {};
    }

    QString zipFolder(const QString &folder)
    {
        const QString archive = folder + QStringLiteral(".zip");
        const QString text = folder + QLatin1Char('/');
        ZipArchiveWriter::createArchive(archive);
        ZipArchiveWriter writer;
        writer.setFileName(archive);
        writer.openArchive();
        writer.addFolder(text, text, QStringLiteral("*"), true);
        writer.closeArchive();
        return archive;
    }

private Q_SLOTS:
    // More than 65,535 entries: the end record's counts go into the Zip64 end record.
    void moreThan65535Entries_areAllRead()
    {
        if (const QString reason = lacking(qint64(64) << 20, false); !reason.isEmpty())
            QSKIP(qPrintable(reason));
        const QString folder = path(QStringLiteral("many"));
        QVERIFY(QDir().mkpath(folder));
        for (int i = 0; i < 70000; ++i) {
            QFile file(folder + QStringLiteral("/%1").arg(i, 5, 10, QLatin1Char('0')));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        const QString archive = zipFolder(folder);
        QCOMPARE(validate(archive), QString());
        const QStringList listing = zipfileListing(archive).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(listing.size(), 70000);
        QCOMPARE(listing.filter(QRegularExpression(QStringLiteral("^69999 0 \\d+$"))).size(), 1);
    }

    // A file of 5 GiB (sparse here): its sizes go into Zip64 fields of both headers.
    void fileOver4GiB_isReadWhole()
    {
        if (const QString reason = lacking(qint64(1) << 30, true); !reason.isEmpty())
            QSKIP(qPrintable(reason));
        const QString folder = path(QStringLiteral("huge"));
        const qint64 size = qint64(5) << 30;
        QFile huge(folder + QStringLiteral("/huge.bin"));
        QVERIFY(QDir().mkpath(folder) && huge.open(QIODevice::WriteOnly) && huge.resize(size));
        huge.close();
        writeFile(folder + QStringLiteral("/small.txt"), "after the large file");
        const QString archive = zipFolder(folder);
        QCOMPARE(validate(archive), QString());
        const QString listing = zipfileListing(archive);
        QVERIFY2(listing.contains(QStringLiteral("huge.bin %1 ").arg(size)), qPrintable(listing));
    }

    // Entries that begin past 4 GiB: their offsets go into Zip64 fields, and the central
    // directory's offset into the Zip64 end record. The 4 GiB before them are an entry of
    // zeros, stored, in a sparse file written here by hand.
    void entriesPast4GiB_areRead()
    {
        if (const QString reason = lacking(qint64(1) << 30, true); !reason.isEmpty())
            QSKIP(qPrintable(reason));
        const quint32 padSize = 0xFFFFFF00;
        const QByteArray name = "pad.bin";
        QByteArray local;
        put32(local, 0x04034B50);
        put16(local, 20);
        put16(local, 0);
        put16(local, 0); // stored
        put16(local, dosTime(fixedTime));
        put16(local, dosDate(fixedTime));
        put32(local, zerosCrc(padSize));
        put32(local, padSize);
        put32(local, padSize);
        put16(local, quint16(name.size()));
        put16(local, 0);
        local += name;
        QByteArray central;
        put32(central, 0x02014B50);
        put16(central, 20);
        central += local.mid(4, 26);
        put16(central, 0);
        put16(central, 0);
        put16(central, 0);
        put32(central, 32);
        put32(central, 0);
        central += name;
        const qint64 directoryAt = local.size() + qint64(padSize);
        QByteArray end;
        put32(end, 0x06054B50);
        put32(end, 0);
        put16(end, 1);
        put16(end, 1);
        put32(end, quint32(central.size()));
        put32(end, quint32(directoryAt));
        put16(end, 0);
        const QString archive = path(QStringLiteral("past.zip"));
        QFile file(archive);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(local) == local.size() && file.seek(directoryAt)
                && file.write(central + end) == central.size() + end.size());
        file.close();

        ZipArchiveWriter writer;
        writer.setFileName(archive);
        writer.openArchive();
        for (const QString &entry : {QStringLiteral("across.txt"), QStringLiteral("past.txt")}) {
            // Random bytes, which do not shrink: the second entry begins past 4 GiB.
            QByteArray data(4096, Qt::Uninitialized);
            QRandomGenerator(qHash(entry)).fillRange(reinterpret_cast<quint32 *>(data.data()), data.size() / 4);
            QBuffer buffer(&data);
            buffer.open(QIODevice::ReadOnly);
            writer.addStream(entry, 32, fixedTime, buffer);
        }
        writer.closeArchive();

        QCOMPARE(validate(archive), QString());
        const QStringList listing = zipfileListing(archive).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(listing.size(), 3);
        QVERIFY2(listing.at(2).section(QLatin1Char(' '), 2).toLongLong() > 0xFFFFFFFFLL, qPrintable(listing.at(2)));
    }
};

QTEST_GUILESS_MAIN(Zip64Test)
#include "zip64_test.moc"
