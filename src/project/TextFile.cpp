#include "project/TextFile.h"

#include "project/Error.h"
#include "project/RegularFile.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

#include <algorithm>
#include <array>

namespace {

// 0x80..0x9F of Windows-1252; the five undefined bytes map to the C1 controls of the same value.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

constexpr QByteArrayView kByteOrderMark("\xEF\xBB\xBF");

bool hasMultiByteUtf8(const QByteArray &bytes)
{
    for (char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80)
            return true;
    return false;
}

} // namespace

namespace TextFile {

QString fromWindows1252(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        *out++ = (b >= 0x80 && b <= 0x9F) ? QChar(kHighControls[b - 0x80]) : QChar(b);
    }
    return text;
}

bool appendWindows1252(QByteArray &bytes, QStringView text)
{
    const qsizetype start = bytes.size();
    bytes.resize(start + text.size());
    char *out = bytes.data() + start;
    bool fits = true;
    for (const QChar ch : text) {
        const char16_t u = ch.unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            *out++ = static_cast<char>(u);
            continue;
        }
        const auto *hit = std::find(kHighControls.begin(), kHighControls.end(), u);
        if (hit == kHighControls.end()) {
            fits = false;
            *out++ = '?';
        } else {
            *out++ = static_cast<char>(0x80 + (hit - kHighControls.begin()));
        }
    }
    return fits;
}

QByteArray toWindows1252(const QString &text, bool *ok)
{
    QByteArray bytes;
    const bool fits = appendWindows1252(bytes, text);
    if (ok)
        *ok = fits;
    return bytes;
}

QString decode(const QByteArray &bytes)
{
    if (hasMultiByteUtf8(bytes)) {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        QString text = utf8.decode(bytes);
        if (!utf8.hasError())
            return text;
    }
    return fromWindows1252(bytes);
}

QByteArray encode(const QString &text)
{
    bool fits = false;
    QByteArray bytes = toWindows1252(text, &fits);
    // Windows-1252 bytes that happen to form UTF-8 ("\u00C3\u00A4" gives C3 A4) would read back
    // as other text; UTF-8 reads back as written.
    if (fits && decode(bytes) == text)
        return bytes;
    // Reading takes a leading byte-order mark for the encoding's; a mark that begins the text
    // needs one of the encoding's before it to stay text.
    return text.startsWith(QChar::ByteOrderMark) ? "\xEF\xBB\xBF" + text.toUtf8() : text.toUtf8();
}

QStringList splitLines(const QString &text)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c != u'\r' && c != u'\n')
            continue;
        lines.append(text.mid(start, i - start));
        if (c == u'\r' && i + 1 < n && text.at(i + 1) == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines.append(text.mid(start));
    return lines;
}

QString oneLine(const QString &text)
{
    return splitLines(text).join(QLatin1Char(' '));
}

QString joinedText(const QStringList &lines)
{
    QString text;
    for (const QString &line : lines) {
        text += line;
        text += QStringLiteral("\r\n");
    }
    return text;
}

QByteArray joinLines(const QStringList &lines)
{
    return encode(joinedText(lines));
}

namespace {

// Where a block of whole lines ends: after its last line break, but not after a CR at the very
// end, whose LF may come with the next piece. -1 when there is none.
qsizetype blockEnd(const QByteArray &bytes)
{
    for (qsizetype i = bytes.size() - 1; i >= 0; --i) {
        const char c = bytes[i];
        if (c == '\n' || (c == '\r' && i + 1 < bytes.size()))
            return i + 1;
    }
    return -1;
}

} // namespace

QString fromUtf8(QByteArrayView bytes)
{
    if (bytes.startsWith(kByteOrderMark))
        return QChar(QChar::ByteOrderMark) + fromUtf8(bytes.sliced(3));
    return QString::fromUtf8(bytes);
}

LineStream::LineStream(const QString &path, qint64 pieceSize)
    : m_path(path), m_file(std::make_unique<QFile>(path)), m_pieceSize(pieceSize)
{
    QString reason;
    switch (RegularFile::openForReading(*m_file, reason)) {
    case RegularFile::Opened::Yes:
        break;
    case RegularFile::Opened::NotRegular:
        throw Error(QStringLiteral("Cannot open %1: not a regular file").arg(path));
    case RegularFile::Opened::Failed:
        throw Error(QStringLiteral("Cannot open %1: %2").arg(path, reason));
    }
    m_size = m_file->size();
    // A first pass decides the encoding, as decode() does for the whole text: UTF-8 when the
    // file is valid UTF-8 and holds a multi-byte sequence. Blocks end at line breaks, which never
    // fall inside a sequence.
    bool valid = true;
    bool multiByte = false;
    while (valid && readBlock()) {
        multiByte = multiByte || hasMultiByteUtf8(m_block);
        valid = QByteArrayView(m_block).isValidUtf8();
    }
    m_utf8 = valid && multiByte;
    rewind();
}

LineStream::~LineStream() = default;

void LineStream::rewind()
{
    if (!m_file->seek(0))
        throw Error(QStringLiteral("Cannot read %1: %2").arg(m_path, m_file->errorString()));
    m_carry.clear();
    m_block.clear();
    m_at = 0;
    m_blockStart = 0;
}

bool LineStream::readBlock()
{
    m_blockStart += m_block.size();
    m_block.clear();
    m_at = 0;
    qsizetype end = -1;
    bool atEnd = false;
    while (end < 0 && !atEnd) {
        const qsizetype had = m_carry.size();
        m_carry.resize(had + m_pieceSize);
        const qint64 got = m_file->read(m_carry.data() + had, m_pieceSize);
        if (got < 0)
            throw Error(QStringLiteral("Cannot read %1: %2").arg(m_path, m_file->errorString()));
        m_carry.resize(had + got);
        atEnd = got == 0;
        end = atEnd ? m_carry.size() : blockEnd(m_carry);
    }
    m_block = m_carry.left(end);
    m_carry.remove(0, end);
    return !m_block.isEmpty();
}

bool LineStream::next(QString &line)
{
    if (m_at >= m_block.size() && !readBlock())
        return false;
    const char *bytes = m_block.constData();
    const qsizetype size = m_block.size();
    qsizetype end = m_at;
    while (end < size && bytes[end] != '\r' && bytes[end] != '\n')
        ++end;
    QByteArrayView text(bytes + m_at, end - m_at);
    if (m_first && m_utf8 && text.startsWith(kByteOrderMark))
        text = text.sliced(3); // the encoding's own mark, as decode() drops it
    m_first = false;
    line = text.isEmpty() ? QString() : m_utf8 ? fromUtf8(text) : fromWindows1252(text);
    m_at = end < size && bytes[end] == '\r' && end + 1 < size && bytes[end + 1] == '\n' ? end + 2 : end + 1;
    return true;
}

QStringList readLines(const QString &path)
{
    LineStream stream(path);
    QStringList lines;
    QString line;
    while (stream.next(line))
        lines.append(line);
    return lines;
}

void writeBytes(const QString &path, const QByteArray &bytes, Access access)
{
    const auto failed = [&path](const QFileDevice &file) {
        return Error(QStringLiteral("Cannot write %1: %2").arg(path, file.errorString()));
    };
    QSaveFile file(path);
    // Unbuffered, so that every byte reaches the system before commit(), which does not report
    // a failed flush of a last buffered piece (a cut-off file would replace the old one).
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw failed(file);
    // Before the first byte, on the file that takes the old one's place: the replaced file's
    // looser mode never reaches a secret.
    if (access == Access::OwnerOnly && !file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner))
        throw failed(file);
    // A short write carries no reason; the next one fails outright and names it ("No space
    // left on device").
    for (qsizetype done = 0; done < bytes.size();) {
        const qint64 written = file.write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0)
            throw failed(file);
        done += written;
    }
    if (!file.flush() || !file.commit())
        throw failed(file);
}

void writeLines(const QString &path, const QStringList &lines, Access access)
{
    writeBytes(path, joinLines(lines), access);
}

} // namespace TextFile
