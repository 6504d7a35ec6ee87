#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <functional>

#include <zlib.h>

// Compresses the data of one entry as the archive stores it: a raw deflate stream (RFC 1951)
// from zlib's deflate at level 9 with 15 window bits, memory level 8 and the default strategy,
// the same bytes as a zlib stream of those settings without its 2-byte header and 4-byte
// Adler-32 trailer. Input may come in pieces of any size; the output does not depend on how it
// was split. The output goes to the sink in pieces of at most 64 KiB. Also counts the CRC-32
// and both sizes.
//
// One large input may also be cut into parts that are compressed apart and joined: each part
// but the first is primed with the 32 KiB of input before it (setDictionary), and each but the
// last ends with finishPart(), which leaves its output on a byte boundary without a last block.
class ZipDeflater
{
public:
    using Sink = std::function<void(QByteArrayView)>;

    explicit ZipDeflater(Sink sink);
    ~ZipDeflater();
    Q_DISABLE_COPY_MOVE(ZipDeflater)

    // Lets matches reach back into the input before this part; right after restart() only.
    void setDictionary(QByteArrayView before);
    void write(QByteArrayView data);
    void finish();
    void finishPart();
    // Starts the next entry with the same compressor state, which saves setting it up again.
    void restart();

    quint32 crc() const { return m_crc; }
    qint64 size() const { return m_size; }
    qint64 compressedSize() const { return m_compressedSize; }

private:
    void run(int flush);

    Sink m_sink;
    z_stream m_stream{};
    QByteArray m_buffer;
    quint32 m_crc = 0;
    qint64 m_size = 0;
    qint64 m_compressedSize = 0;
};
