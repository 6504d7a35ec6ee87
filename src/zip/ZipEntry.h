#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>

#include <optional>

// One entry of an archive: the values of its local file header and of its central directory
// header. This writer gives neither header a comment and writes no data descriptor, so the two
// headers share their values. Sizes and offsets past the 32-bit fields go into a Zip64 extra
// field (APPNOTE 4.5), the only extra field written, and only then.
struct ZipEntry
{
    static constexpr int localHeaderSize = 30;
    static constexpr int centralHeaderSize = 46;
    static constexpr qsizetype maxNameLength = 0xFFFF;
    // The largest value a 32-bit field holds; all ones there means "in the Zip64 field".
    static constexpr quint64 maxClassicValue = 0xFFFFFFFE;
    static constexpr quint16 stored = 0;
    static constexpr quint16 deflated = 8;

    QByteArray name; // as stored: zip form, 8-bit
    quint16 method = stored;
    quint16 dosTime = 0;
    quint16 dosDate = 0;
    quint32 crc = 0;
    quint64 compressedSize = 0;
    quint64 uncompressedSize = 0;
    quint32 externalAttributes = 0; // the MS-DOS attribute word
    quint64 localHeaderOffset = 0;
    // Both sizes go into Zip64 fields, in the local header as well. Set before the local header
    // is first written, from the size the data is expected to have, since the header keeps
    // its length when the sizes are filled in.
    bool zip64Sizes = false;

    // Whether data of this size may need Zip64 sizes: deflate may make it a little longer.
    static bool needsZip64Sizes(qint64 expectedSize);

    // Sets the MS-DOS time and date of a local wall-clock time, held to the years 1980 to
    // 2107 that the fields can express.
    void setTime(const QDateTime &localTime);

    // Bit 11 (name in UTF-8) for a name beyond ASCII that is UTF-8; without it every reader
    // takes the name for code page 437 and extracts the file under a garbled name. A file
    // system's name that is not UTF-8 is stored as its bytes, without the bit.
    quint16 flags() const;
    bool isNameBeyondAscii() const;
    // An entry with a name beyond ASCII says it was made on Unix and carries a Unix mode beside
    // its MS-DOS attributes: Info-ZIP's unzip takes the name of an entry made on MS-DOS for code
    // page 437 even when bit 11 is set, and keeps the bytes of one made on Unix. Other entries
    // say MS-DOS and hold the attributes alone.
    quint16 versionMadeBy() const;
    quint32 centralAttributes() const;
    // Whether a size no longer fits where this entry's headers hold it.
    bool sizesOverflow() const;
    qint64 localRecordLength() const { return localHeaderLength() + qint64(compressedSize); }
    qint64 localHeaderLength() const;
    QByteArray localHeader() const; // with the name and extra field
    QByteArray centralHeader() const; // with the name and extra field

    // Reads the central directory header at the front of bytes; nullopt unless it is one this
    // writer would write again byte for byte.
    static std::optional<ZipEntry> fromCentralHeader(QByteArrayView bytes);
};
