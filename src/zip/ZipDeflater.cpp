#include "zip/ZipDeflater.h"

#include "project/Error.h"

namespace {

constexpr qsizetype outputPiece = 64 * 1024;
// Negative window bits make zlib write the raw stream, without header and trailer.
constexpr int rawWindowBits = -15;

} // namespace

ZipDeflater::ZipDeflater(Sink sink) : m_sink(std::move(sink)), m_buffer(outputPiece, Qt::Uninitialized)
{
    if (deflateInit2(&m_stream, 9, Z_DEFLATED, rawWindowBits, 8, Z_DEFAULT_STRATEGY) != Z_OK)
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
    m_crc = crc32(0, nullptr, 0);
    m_size = 0;
    m_compressedSize = 0;
}

void ZipDeflater::setDictionary(QByteArrayView before)
{
    deflateSetDictionary(&m_stream, reinterpret_cast<const Bytef *>(before.data()), uInt(before.size()));
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
}

void ZipDeflater::finishPart()
{
    run(Z_SYNC_FLUSH);
}

void ZipDeflater::run(int flush)
{
    for (;;) {
        m_stream.next_out = reinterpret_cast<Bytef *>(m_buffer.data());
        m_stream.avail_out = uInt(outputPiece);
        const int result = deflate(&m_stream, flush);
        const qsizetype produced = outputPiece - m_stream.avail_out;
        if (produced > 0) {
            m_compressedSize += produced;
            m_sink(QByteArrayView(m_buffer.constData(), produced));
        }
        // Room left in the buffer means zlib has taken all input and written all it had to.
        const bool done = flush == Z_FINISH ? result == Z_STREAM_END : m_stream.avail_out > 0;
        if (done)
            return;
    }
}
