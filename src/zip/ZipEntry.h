#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>

#include <optional>

// One entry of an archive: the values of its local file header and of its central directory
// header. This writer gives neither header an extra field or a comment and writes no data
// descriptor, so the two headers share all their values.
struct ZipEntry
{
    static constexpr int localHeaderSize = 30;
    static constexpr int centralHeaderSize = 46;
    // Where the size fields (CRC-32, compressed and uncompressed size) lie in the local header.
    static constexpr int sizeFieldsOffset = 14;
    static constexpr qsizetype maxNameLength = 0xFFFF;
    static constexpr quint16 stored = 0;
    static constexpr quint16 deflated = 8;

    QByteArray name; // as stored: zip form, 8-bit
    quint16 method = stored;
    quint16 dosTime = 0;
    quint16 dosDate = 0;
    quint32 crc = 0;
    quint32 compressedSize = 0;
    quint32 uncompressedSize = 0;
    quint32 externalAttributes = 0; // the MS-DOS attribute word
    quint32 localHeaderOffset = 0;

    // Sets the MS-DOS time and date of a local wall-clock time, held to the years 1980 to
    // 2107 that the fields can express.
    void setTime(const QDateTime &localTime);

    // Bit 11 (name in UTF-8) for a name beyond ASCII; without it every reader takes the name
    // for code page 437 and extracts the file under a garbled name.
    quint16 flags() const;
    // An entry with a UTF-8 name says it was made on Unix and carries a Unix mode beside its
    // MS-DOS attributes: Info-ZIP's unzip takes the name of an entry made on MS-DOS for code
    // page 437 even when bit 11 is set. Other entries say MS-DOS and hold the attributes alone.
    quint16 versionMadeBy() const;
    quint32 centralAttributes() const;
    qint64 localRecordLength() const { return localHeaderSize + name.size() + compressedSize; }
    QByteArray localHeader() const; // with the name
    QByteArray sizeFields() const; // CRC-32 and both sizes, 12 bytes
    QByteArray centralHeader() const; // with the name

    // Reads the central directory header at the front of bytes; nullopt unless it is one this
    // writer would write again byte for byte.
    static std::optional<ZipEntry> fromCentralHeader(QByteArrayView bytes);
};
