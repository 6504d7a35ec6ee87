#include "zip/ZipEntry.h"

#include <QUtf8StringView>
#include <QtEndian>

#include <algorithm>

namespace {

constexpr quint32 localSignature = 0x04034B50;
constexpr quint32 centralSignature = 0x02014B50;
constexpr quint16 version = 20; // made by and needed to extract
constexpr quint16 zip64Version = 45;
constexpr quint16 zip64Tag = 0x0001;
constexpr quint32 allOnes = 0xFFFFFFFF;
constexpr quint16 madeOnUnix = 3 << 8;
constexpr quint32 dosReadOnly = 1;
constexpr quint32 dosFolder = 16;

void put16(QByteArray &out, quint16 value)
{
    const quint16 le = qToLittleEndian(value);
    out.append(reinterpret_cast<const char *>(&le), sizeof le);
}

void put32(QByteArray &out, quint32 value)
{
    const quint32 le = qToLittleEndian(value);
    out.append(reinterpret_cast<const char *>(&le), sizeof le);
}

void put64(QByteArray &out, quint64 value)
{
    const quint64 le = qToLittleEndian(value);
    out.append(reinterpret_cast<const char *>(&le), sizeof le);
}

// The Zip64 extra field of these values, in the order the format gives them; empty for none.
QByteArray zip64Field(const QList<quint64> &values)
{
    if (values.isEmpty())
        return {};
    QByteArray out;
    put16(out, zip64Tag);
    put16(out, quint16(values.size() * 8));
    for (quint64 value : values)
        put64(out, value);
    return out;
}

quint32 classic(quint64 value, bool inZip64)
{
    return inZip64 ? allOnes : quint32(value);
}

quint16 get16(QByteArrayView bytes, qsizetype at)
{
    return qFromLittleEndian<quint16>(bytes.data() + at);
}

quint32 get32(QByteArrayView bytes, qsizetype at)
{
    return qFromLittleEndian<quint32>(bytes.data() + at);
}

} // namespace

void ZipEntry::setTime(const QDateTime &localTime)
{
    QDate date = localTime.date();
    QTime time = localTime.time();
    if (!date.isValid() || date.year() < 1980) {
        date = QDate(1980, 1, 1);
        time = QTime(0, 0);
    } else if (date.year() > 2107) {
        date = QDate(2107, 12, 31);
        time = QTime(23, 59, 58);
    }
    dosDate = quint16((date.year() - 1980) * 512 + date.month() * 32 + date.day());
    dosTime = quint16(time.hour() * 2048 + time.minute() * 32 + time.second() / 2);
}

bool ZipEntry::needsZip64Sizes(qint64 expectedSize)
{
    // Stored blocks and the joints of parts add a few bytes per 16 KiB at the most.
    return quint64(expectedSize) + quint64(expectedSize) / 1024 + 4096 > maxClassicValue;
}

bool ZipEntry::sizesOverflow() const
{
    return !zip64Sizes && std::max(compressedSize, uncompressedSize) > maxClassicValue;
}

qint64 ZipEntry::localHeaderLength() const
{
    return localHeaderSize + name.size() + (zip64Sizes ? 20 : 0);
}

bool ZipEntry::isNameBeyondAscii() const
{
    return !std::all_of(name.cbegin(), name.cend(), [](char c) { return uchar(c) < 0x80; });
}

quint16 ZipEntry::flags() const
{
    // A name whose bytes are not UTF-8 (a file system's name kept as it is) must not claim to be.
    return isNameBeyondAscii() && QUtf8StringView(name).isValidUtf8() ? 0x0800 : 0;
}

quint16 ZipEntry::versionMadeBy() const
{
    const quint16 needed = zip64Sizes || localHeaderOffset > maxClassicValue ? zip64Version : version;
    return isNameBeyondAscii() ? madeOnUnix | needed : needed;
}

quint32 ZipEntry::centralAttributes() const
{
    const quint32 dosAttributes = externalAttributes & 0xFFFF;
    if (!isNameBeyondAscii())
        return dosAttributes;
    quint32 mode = dosAttributes & dosFolder ? 040755 : 0100644;
    if (dosAttributes & dosReadOnly)
        mode &= ~0222u;
    return mode << 16 | dosAttributes;
}

QByteArray ZipEntry::localHeader() const
{
    QByteArray out;
    const QByteArray extra = zip64Sizes ? zip64Field({uncompressedSize, compressedSize}) : QByteArray();
    out.reserve(localHeaderSize + name.size() + extra.size());
    put32(out, localSignature);
    put16(out, zip64Sizes ? zip64Version : version);
    put16(out, flags());
    put16(out, method);
    put16(out, dosTime);
    put16(out, dosDate);
    put32(out, crc);
    put32(out, classic(compressedSize, zip64Sizes));
    put32(out, classic(uncompressedSize, zip64Sizes));
    put16(out, quint16(name.size()));
    put16(out, quint16(extra.size()));
    out.append(name);
    out.append(extra);
    return out;
}

QByteArray ZipEntry::centralHeader() const
{
    const bool zip64Offset = localHeaderOffset > maxClassicValue;
    QList<quint64> zip64Values;
    if (zip64Sizes)
        zip64Values << uncompressedSize << compressedSize;
    if (zip64Offset)
        zip64Values << localHeaderOffset;
    const QByteArray extra = zip64Field(zip64Values);
    QByteArray out;
    out.reserve(centralHeaderSize + name.size() + extra.size());
    put32(out, centralSignature);
    put16(out, versionMadeBy());
    put16(out, quint16(versionMadeBy() & 0xFF));
    put16(out, flags());
    put16(out, method);
    put16(out, dosTime);
    put16(out, dosDate);
    put32(out, crc);
    put32(out, classic(compressedSize, zip64Sizes));
    put32(out, classic(uncompressedSize, zip64Sizes));
    put16(out, quint16(name.size()));
    put16(out, quint16(extra.size()));
    put16(out, 0); // comment length
    put16(out, 0); // disk number start
    put16(out, 0); // internal attributes
    put32(out, centralAttributes());
    put32(out, classic(localHeaderOffset, zip64Offset));
    out.append(name);
    out.append(extra);
    return out;
}

std::optional<ZipEntry> ZipEntry::fromCentralHeader(QByteArrayView bytes)
{
    if (bytes.size() < centralHeaderSize || get32(bytes, 0) != centralSignature)
        return std::nullopt;
    const qsizetype nameLength = get16(bytes, 28);
    if (bytes.size() < centralHeaderSize + nameLength)
        return std::nullopt;
    ZipEntry entry;
    entry.method = get16(bytes, 10);
    entry.dosTime = get16(bytes, 12);
    entry.dosDate = get16(bytes, 14);
    entry.crc = get32(bytes, 16);
    entry.compressedSize = get32(bytes, 20);
    entry.uncompressedSize = get32(bytes, 24);
    entry.externalAttributes = get32(bytes, 38) & 0xFFFF;
    entry.localHeaderOffset = get32(bytes, 42);
    entry.name = bytes.sliced(centralHeaderSize, nameLength).toByteArray();
    if (std::max({entry.compressedSize, entry.uncompressedSize, entry.localHeaderOffset}) > maxClassicValue)
        return std::nullopt;
    // Anything this writer does not produce (extra fields, comments, flags, other versions)
    // would be lost when the directory is written again, so such an entry is not taken; nor
    // is one with Zip64 fields, which this reader leaves alone.
    if (entry.centralHeader() != bytes.first(centralHeaderSize + nameLength))
        return std::nullopt;
    return entry;
}
