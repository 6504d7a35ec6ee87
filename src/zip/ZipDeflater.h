#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <functional>

#include <zlib.h>

// Compresses the data of one entry as the archive stores it: zlib's deflate at level 9 with 15
// window bits, memory level 8 and the default strategy, with the 2-byte zlib header and the
// 4-byte Adler-32 trailer cut off, which leaves the raw deflate stream. Input may come in
// pieces of any size; the output does not depend on how it was split. The output goes to the
// sink in pieces of at most 64 KiB. Also counts the CRC-32 and both sizes.
class ZipDeflater
{
public:
    using Sink = std::function<void(QByteArrayView)>;

    explicit ZipDeflater(Sink sink);
    ~ZipDeflater();
    Q_DISABLE_COPY_MOVE(ZipDeflater)

    void write(QByteArrayView data);
    void finish();
    // Starts the next entry with the same compressor state, which saves setting it up again.
    void restart();

    quint32 crc() const { return m_crc; }
    qint64 size() const { return m_size; }
    qint64 compressedSize() const { return m_compressedSize; }

private:
    void run(int flush);
    void release(qsizetype count);

    Sink m_sink;
    z_stream m_stream{};
    QByteArray m_buffer;
    qsizetype m_held = 0; // bytes in the buffer not yet given to the sink
    int m_headerLeft = 0;
    quint32 m_crc = 0;
    qint64 m_size = 0;
    qint64 m_compressedSize = 0;
};
