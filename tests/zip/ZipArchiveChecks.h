#pragma once

// Independent reading of the archives the tests write: a small parser of its own (it shares no
// code with the writer), a structural check, and the real validators.

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QProcess>
#include <QString>
#include <QUtf8StringView>
#include <QtEndian>

#include <algorithm>

#include <zlib.h>

struct ArchiveEntry
{
    QByteArray name;
    quint16 method = 0;
    quint16 dosTime = 0;
    quint16 dosDate = 0;
    quint32 crc = 0;
    quint32 compressedSize = 0;
    quint32 uncompressedSize = 0;
    quint32 attributes = 0;
    quint32 offset = 0;
    QByteArray data; // as stored
};

namespace ZipArchiveChecks {

inline quint16 get16(const QByteArray &b, qsizetype at)
{
    return qFromLittleEndian<quint16>(b.constData() + at);
}

inline quint32 get32(const QByteArray &b, qsizetype at)
{
    return qFromLittleEndian<quint32>(b.constData() + at);
}

inline quint32 crcOf(const QByteArray &data)
{
    return quint32(crc32(0, reinterpret_cast<const Bytef *>(data.constData()), uInt(data.size())));
}

inline QByteArray inflateRaw(const QByteArray &data, qsizetype expectedSize)
{
    QByteArray out(expectedSize + 1, '\0');
    z_stream s{};
    inflateInit2(&s, -15);
    s.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.constData()));
    s.avail_in = uInt(data.size());
    s.next_out = reinterpret_cast<Bytef *>(out.data());
    s.avail_out = uInt(out.size());
    const int rc = inflate(&s, Z_FINISH);
    out.truncate(qsizetype(s.total_out));
    const bool whole = rc == Z_STREAM_END && s.avail_in == 0;
    inflateEnd(&s);
    return whole ? out : QByteArray("<bad deflate stream>");
}

// Reads the archive from its end record and checks that it is laid out as the format wants:
// every local header agrees with its central header (name, flags, method, time, CRC-32, sizes,
// no extra field; so flag bit 3 is off), the local records follow each other from offset 0 up to the
// central directory, the end record's counts, size and offset are right, and every entry's data
// inflates to its size and CRC-32. Returns the first problem found, or an empty text.
inline QString parse(const QByteArray &zip, QList<ArchiveEntry> &entries)
{
    entries.clear();
    const qsizetype endAt = zip.size() - 22;
    if (endAt < 0 || get32(zip, endAt) != 0x06054B50)
        return QStringLiteral("no end record at the end");
    const quint16 count = get16(zip, endAt + 10);
    const quint32 cdSize = get32(zip, endAt + 12);
    const quint32 cdOffset = get32(zip, endAt + 16);
    if (get16(zip, endAt + 4) || get16(zip, endAt + 6) || get16(zip, endAt + 8) != count
        || get16(zip, endAt + 20))
        return QStringLiteral("end record: disk numbers, counts or comment wrong");
    if (qint64(cdOffset) + cdSize != endAt)
        return QStringLiteral("central directory does not end at the end record");
    qsizetype at = cdOffset;
    quint32 nextLocal = 0;
    for (int i = 0; i < count; ++i) {
        if (at + 46 > endAt || get32(zip, at) != 0x02014B50)
            return QStringLiteral("central header %1 missing").arg(i);
        ArchiveEntry e;
        const quint16 nameLength = get16(zip, at + 28);
        e.name = zip.mid(at + 46, nameLength);
        // Only bit 11 may be set, and only for a name beyond ASCII that is UTF-8, which it marks
        // as such (a file name of other bytes keeps them, unmarked); an entry named beyond ASCII is
        // made on Unix (3), so that unzip does not take its name for code page 437.
        const bool ascii =
            std::all_of(e.name.cbegin(), e.name.cend(), [](char c) { return uchar(c) < 0x80; });
        const quint16 flags = ascii || !QUtf8StringView(e.name).isValidUtf8() ? 0 : 0x0800;
        const quint16 madeBy = ascii ? 20 : 0x0314;
        if (get16(zip, at + 4) != madeBy || get16(zip, at + 6) != 20 || get16(zip, at + 8) != flags
            || get16(zip, at + 30) || get16(zip, at + 32) || get16(zip, at + 34) || get16(zip, at + 36))
            return QStringLiteral("central header %1: fixed fields wrong").arg(i);
        e.method = get16(zip, at + 10);
        e.dosTime = get16(zip, at + 12);
        e.dosDate = get16(zip, at + 14);
        e.crc = get32(zip, at + 16);
        e.compressedSize = get32(zip, at + 20);
        e.uncompressedSize = get32(zip, at + 24);
        e.attributes = get32(zip, at + 38);
        if (!ascii) {
            // The Unix mode above the MS-DOS attributes: a folder or a file, read-only or not.
            const quint32 mode = e.attributes & 16 ? 040755 : 0100644;
            if (e.attributes >> 16 != (e.attributes & 1 ? mode & ~0222u : mode))
                return QStringLiteral("central header %1: Unix mode wrong").arg(i);
            e.attributes &= 0xFFFF;
        }
        e.offset = get32(zip, at + 42);
        at += 46 + nameLength;
        const qsizetype l = e.offset;
        if (l != nextLocal || get32(zip, l) != 0x04034B50)
            return QStringLiteral("local header of %1 not where the records follow each other").arg(e.name);
        if (get16(zip, l + 4) != 20 || get16(zip, l + 6) != flags || get16(zip, l + 8) != e.method
            || get16(zip, l + 10) != e.dosTime || get16(zip, l + 12) != e.dosDate
            || get32(zip, l + 14) != e.crc || get32(zip, l + 18) != e.compressedSize
            || get32(zip, l + 22) != e.uncompressedSize || get16(zip, l + 26) != nameLength
            || get16(zip, l + 28) != 0 || zip.mid(l + 30, nameLength) != e.name)
            return QStringLiteral("local header of %1 differs from its central header").arg(e.name);
        e.data = zip.mid(l + 30 + nameLength, e.compressedSize);
        nextLocal = quint32(l + 30 + nameLength + e.compressedSize);
        const QByteArray plain = e.method == 8 ? inflateRaw(e.data, e.uncompressedSize) : e.data;
        if ((e.method != 0 && e.method != 8) || plain.size() != e.uncompressedSize || crcOf(plain) != e.crc)
            return QStringLiteral("data of %1 does not give its size and CRC-32").arg(e.name);
        entries.append(e);
    }
    if (at != endAt || nextLocal != cdOffset)
        return QStringLiteral("central directory size or offset wrong");
    return {};
}

// Runs a program; returns its output when it fails, an empty text when it exits with 0.
inline QString failureOf(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(120000))
        return program + QStringLiteral(" did not finish");
    if (process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0)
        return {};
    return program + QStringLiteral(" failed: ") + QString::fromLocal8Bit(process.readAll()).left(2000);
}

// unzip -t, 7-Zip's test and Python's zipfile each accept the archive; returns what failed.
inline QString validate(const QString &archive)
{
    const QString python = QStringLiteral(
        "import sys, zipfile\n"
        "with zipfile.ZipFile(sys.argv[1]) as z:\n"
        "    bad = z.testzip()\n"
        "sys.exit('bad entry: %s' % bad if bad else 0)\n");
    for (const QString &failure :
         {failureOf(QStringLiteral("unzip"), {QStringLiteral("-tqq"), archive}),
          failureOf(QStringLiteral("7zz"), {QStringLiteral("t"), QStringLiteral("-bso0"),
                                            QStringLiteral("-bsp0"), archive}),
          failureOf(QStringLiteral("python3"), {QStringLiteral("-c"), python, archive})}) {
        if (!failure.isEmpty())
            return failure;
    }
    return {};
}

// The entry data the format wants for these bytes: a one-shot zlib stream at level 9 (15
// window bits, memory level 8, default strategy) without its 2-byte header and 4-byte trailer.
inline QByteArray oneShotDeflate(const QByteArray &data)
{
    QByteArray out(qsizetype(compressBound(uLong(data.size()))), '\0');
    uLongf length = uLongf(out.size());
    compress2(reinterpret_cast<Bytef *>(out.data()), &length,
              reinterpret_cast<const Bytef *>(data.constData()), uLong(data.size()), 9);
    return out.mid(2, qsizetype(length) - 6);
}

// MS-DOS time and date of a local time, as the format defines them.
inline quint16 dosTime(const QDateTime &t)
{
    return quint16(t.time().hour() * 2048 + t.time().minute() * 32 + t.time().second() / 2);
}

inline quint16 dosDate(const QDateTime &t)
{
    return quint16((t.date().year() - 1980) * 512 + t.date().month() * 32 + t.date().day());
}

} // namespace ZipArchiveChecks
