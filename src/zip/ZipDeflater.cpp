#include "zip/ZipDeflater.h"

#include "project/Error.h"

#include <cstring>

namespace {

constexpr qsizetype outputPiece = 64 * 1024;
constexpr int zlibHeaderSize = 2;
constexpr int zlibTrailerSize = 4;

} // namespace

ZipDeflater::ZipDeflater(Sink sink)
    : m_sink(std::move(sink)), m_buffer(outputPiece + zlibTrailerSize, Qt::Uninitialized)
{
    if (deflateInit2(&m_stream, 9, Z_DEFLATED, 15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        throw Error(QStringLiteral("Not enough memory to compress."));
    restart();
}

ZipDeflater::~ZipDeflater()
{
    deflateEnd(&m_stream);
}

void ZipDeflater::restart()
{
    deflateReset(&m_stream);
    m_held = 0;
    m_headerLeft = zlibHeaderSize;
    m_crc = crc32(0, nullptr, 0);
    m_size = 0;
    m_compressedSize = 0;
}

void ZipDeflater::write(QByteArrayView data)
{
    // zlib counts input in 32-bit units, so very large pieces go in several turns.
    while (!data.isEmpty()) {
        const QByteArrayView piece = data.first(std::min<qsizetype>(data.size(), 1 << 30));
        m_crc = crc32(m_crc, reinterpret_cast<const Bytef *>(piece.data()), uInt(piece.size()));
        m_size += piece.size();
        m_stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(piece.data()));
        m_stream.avail_in = uInt(piece.size());
        run(Z_NO_FLUSH);
        data = data.sliced(piece.size());
    }
}

void ZipDeflater::finish()
{
    run(Z_FINISH);
    // What is still held is the Adler-32 trailer.
    m_held = 0;
}

void ZipDeflater::run(int flush)
{
    const auto capacity = uInt(outputPiece + zlibTrailerSize);
    for (;;) {
        m_stream.next_out = reinterpret_cast<Bytef *>(m_buffer.data()) + m_held;
        m_stream.avail_out = capacity - uInt(m_held);
        const int result = deflate(&m_stream, flush);
        m_held = capacity - m_stream.avail_out;
        const bool full = m_stream.avail_out == 0;
        const bool done = flush == Z_FINISH ? result == Z_STREAM_END : !full;
        // The last 4 bytes may be the trailer, so they stay until more output follows them.
        if (full || (done && flush == Z_FINISH))
            release(m_held - zlibTrailerSize);
        if (done)
            return;
    }
}

void ZipDeflater::release(qsizetype count)
{
    const char *data = m_buffer.constData();
    const qsizetype skip = std::min<qsizetype>(m_headerLeft, count);
    m_headerLeft -= int(skip);
    if (count > skip) {
        m_compressedSize += count - skip;
        m_sink(QByteArrayView(data + skip, count - skip));
    }
    m_held -= count;
    std::memmove(m_buffer.data(), data + count, size_t(m_held));
}
