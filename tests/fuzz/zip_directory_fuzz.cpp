// The central directory of an archive that entries are to be added to. What the reader takes
// must be safe to update: every entry's local record is its own, inside the records' area,
// and the directory written again is the one read.

#include "FuzzCheck.h"
#include "zip/ZipCentralDirectory.h"

#include <QBuffer>

#include <algorithm>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QBuffer archive(&bytes);
    archive.open(QIODevice::ReadOnly);
    ZipCentralDirectory directory;
    if (!directory.read(archive))
        return 0;
    FUZZ_CHECK(directory.headers() + directory.endRecord() == bytes.mid(directory.offset()));
    QList<std::pair<qint64, qint64>> records;
    for (qsizetype i = 0; i < directory.count(); ++i) {
        const ZipEntry &entry = directory.at(i);
        FUZZ_CHECK(directory.indexOf(entry.name) >= 0);
        FUZZ_CHECK(bytes.mid(entry.localHeaderOffset).startsWith(entry.localHeader()));
        records.append({entry.localHeaderOffset, entry.localHeaderOffset + entry.localRecordLength()});
    }
    std::sort(records.begin(), records.end());
    for (qsizetype i = 0; i < records.size(); ++i) {
        FUZZ_CHECK(records[i].second <= directory.offset());
        FUZZ_CHECK(i == 0 || records[i - 1].second <= records[i].first);
    }
    return 0;
}
