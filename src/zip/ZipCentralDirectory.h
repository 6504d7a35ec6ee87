#pragma once

#include "zip/ZipEntry.h"

#include <QByteArray>
#include <QHash>
#include <QList>

class QIODevice;

// The entries of an open archive in central-directory order, kept serialised as well, so that
// the central directory and the end record can be written at any moment without work that
// grows with the number of entries. offset() is where the local records end and the central
// directory begins.
class ZipCentralDirectory
{
public:
    static constexpr int endRecordSize = 22;

    qsizetype count() const { return m_entries.size(); }
    const ZipEntry &at(qsizetype index) const { return m_entries.at(index); }
    qint64 offset() const { return m_offset; }
    // Index of the entry with the same entry name as the stored name, or -1.
    qsizetype indexOf(const QByteArray &storedName) const;

    // Appends an entry whose local record begins at offset() and moves offset() past it.
    void append(const ZipEntry &entry);
    // Forgets an entry whose local record was cut out of the file: the records behind it
    // move down by its length.
    void remove(qsizetype index);
    void clear();

    // The central directory headers in order, then the end record: the classic one alone, or,
    // when the count, the size or the offset of the directory passes what its fields hold,
    // the Zip64 end record and its locator before it.
    const QByteArray &headers() const { return m_headers; }
    QByteArray endRecord() const;

    // Reads an archive that ends with its end record (no comment) and whose entries this
    // writer could have written; false when the device holds anything else.
    bool read(QIODevice &archive);

private:
    void index(qsizetype entry);
    bool readHeaders(const QByteArray &bytes, qsizetype count);
    bool recordsApart() const;
    bool localHeadersMatch(QIODevice &archive) const;

    QList<ZipEntry> m_entries;
    QHash<QByteArray, qsizetype> m_indexByKey;
    QByteArray m_headers;
    qint64 m_offset = 0;
};
