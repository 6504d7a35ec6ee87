#include "zip/ZipCentralDirectory.h"

#include "zip/ZipNames.h"

#include <QIODevice>
#include <QtEndian>

#include <algorithm>

namespace {

constexpr quint32 endSignature = 0x06054B50;
constexpr quint32 zip64EndSignature = 0x06064B50;
constexpr quint32 zip64LocatorSignature = 0x07064B50;
constexpr qint64 zip64EndSize = 56;
constexpr quint16 zip64Version = 45;
constexpr quint64 maxCount = 0xFFFE;

// The Zip64 end of central directory record and its locator, which follows it.
QByteArray zip64End(quint64 count, quint64 size, quint64 offset)
{
    QByteArray out(zip64EndSize + 20, '\0');
    char *p = out.data();
    qToLittleEndian<quint32>(zip64EndSignature, p);
    qToLittleEndian<quint64>(zip64EndSize - 12, p + 4); // the record's size after this field
    qToLittleEndian<quint16>(zip64Version, p + 12);
    qToLittleEndian<quint16>(zip64Version, p + 14);
    qToLittleEndian<quint64>(count, p + 24);
    qToLittleEndian<quint64>(count, p + 32);
    qToLittleEndian<quint64>(size, p + 40);
    qToLittleEndian<quint64>(offset, p + 48);
    char *locator = p + zip64EndSize;
    qToLittleEndian<quint32>(zip64LocatorSignature, locator);
    qToLittleEndian<quint64>(offset + size, locator + 8); // where the Zip64 end record begins
    qToLittleEndian<quint32>(1, locator + 16); // one disk
    return out;
}

} // namespace

qsizetype ZipCentralDirectory::indexOf(const QByteArray &storedName) const
{
    return m_indexByKey.value(ZipNames::entryKey(storedName), -1);
}

void ZipCentralDirectory::append(const ZipEntry &entry)
{
    m_entries.append(entry);
    index(m_entries.size() - 1);
    m_headers.append(entry.centralHeader());
    m_offset = entry.localHeaderOffset + entry.localRecordLength();
}

void ZipCentralDirectory::remove(qsizetype index)
{
    const ZipEntry gone = m_entries.takeAt(index);
    const qint64 length = gone.localRecordLength();
    m_indexByKey.clear();
    m_headers.clear();
    for (qsizetype i = 0; i < m_entries.size(); ++i) {
        ZipEntry &entry = m_entries[i];
        if (entry.localHeaderOffset > gone.localHeaderOffset)
            entry.localHeaderOffset -= quint64(length);
        this->index(i);
        m_headers.append(entry.centralHeader());
    }
    m_offset -= length;
}

void ZipCentralDirectory::clear()
{
    *this = ZipCentralDirectory();
}

QByteArray ZipCentralDirectory::endRecord() const
{
    const auto count = quint64(m_entries.size());
    const auto size = quint64(m_headers.size());
    const auto offset = quint64(m_offset);
    const bool countOver = count > maxCount;
    const bool sizeOver = size > ZipEntry::maxClassicValue;
    const bool offsetOver = offset > ZipEntry::maxClassicValue;
    QByteArray out(endRecordSize, '\0');
    char *p = out.data();
    qToLittleEndian<quint32>(endSignature, p);
    qToLittleEndian<quint16>(countOver ? 0xFFFF : quint16(count), p + 8);
    qToLittleEndian<quint16>(countOver ? 0xFFFF : quint16(count), p + 10);
    qToLittleEndian<quint32>(sizeOver ? 0xFFFFFFFF : quint32(size), p + 12);
    qToLittleEndian<quint32>(offsetOver ? 0xFFFFFFFF : quint32(offset), p + 16);
    if (countOver || sizeOver || offsetOver)
        return zip64End(count, size, offset) + out;
    return out;
}

bool ZipCentralDirectory::read(QIODevice &archive)
{
    clear();
    const qint64 end = archive.size() - endRecordSize;
    if (end < 0 || !archive.seek(end))
        return false;
    const QByteArray record = archive.read(endRecordSize);
    if (record.size() != endRecordSize)
        return false;
    const char *p = record.constData();
    const qint64 count = qFromLittleEndian<quint16>(p + 10);
    const qint64 size = qFromLittleEndian<quint32>(p + 12);
    const qint64 offset = qFromLittleEndian<quint32>(p + 16);
    if (qFromLittleEndian<quint32>(p) != endSignature || offset + size != end
        || !archive.seek(offset))
        return false;
    m_offset = offset;
    // Only the end record this writer writes for these entries matches byte for byte:
    // one disk, both counts equal, no comment.
    if (!readHeaders(archive.read(size), count) || endRecord() != record || !recordsApart()
        || !localHeadersMatch(archive)) {
        clear();
        return false;
    }
    return true;
}

// Removing an entry cuts out as many bytes as its central header accounts for, so its local
// header must be the one this writer writes for it: no extra field, the same values.
bool ZipCentralDirectory::localHeadersMatch(QIODevice &archive) const
{
    for (const ZipEntry &entry : m_entries) {
        const QByteArray header = entry.localHeader();
        if (!archive.seek(entry.localHeaderOffset) || archive.read(header.size()) != header)
            return false;
    }
    return true;
}

// Entries that share bytes of their local records cannot be removed one at a time: cutting out
// one record would cut into the other.
bool ZipCentralDirectory::recordsApart() const
{
    QList<const ZipEntry *> byOffset;
    byOffset.reserve(m_entries.size());
    for (const ZipEntry &entry : m_entries)
        byOffset.append(&entry);
    std::sort(byOffset.begin(), byOffset.end(),
              [](const ZipEntry *a, const ZipEntry *b) { return a->localHeaderOffset < b->localHeaderOffset; });
    for (qsizetype i = 1; i < byOffset.size(); ++i) {
        const ZipEntry &before = *byOffset.at(i - 1);
        if (before.localHeaderOffset + before.localRecordLength() > byOffset.at(i)->localHeaderOffset)
            return false;
    }
    return true;
}

bool ZipCentralDirectory::readHeaders(const QByteArray &bytes, qsizetype count)
{
    QByteArrayView rest(bytes);
    for (qsizetype i = 0; i < count; ++i) {
        const std::optional<ZipEntry> entry = ZipEntry::fromCentralHeader(rest);
        if (!entry || qint64(entry->localHeaderOffset) + entry->localRecordLength() > m_offset)
            return false;
        m_entries.append(*entry);
        index(i);
        rest = rest.sliced(ZipEntry::centralHeaderSize + entry->name.size());
    }
    m_headers = bytes;
    return rest.isEmpty();
}

void ZipCentralDirectory::index(qsizetype entry)
{
    m_indexByKey.insert(ZipNames::entryKey(m_entries.at(entry).name), entry);
}
