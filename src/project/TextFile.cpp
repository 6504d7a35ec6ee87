#include "project/TextFile.h"

#include "project/Error.h"
#include "project/RegularFile.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

#include <array>

namespace {

// 0x80..0x9F of Windows-1252; the five undefined bytes map to the C1 controls of the same value.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool hasMultiByteUtf8(const QByteArray &bytes)
{
    for (char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80)
            return true;
    return false;
}

} // namespace

namespace TextFile {

QString fromWindows1252(const QByteArray &bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        *out++ = (b >= 0x80 && b <= 0x9F) ? QChar(kHighControls[b - 0x80]) : QChar(b);
    }
    return text;
}

QByteArray toWindows1252(const QString &text, bool *ok)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    bool fits = true;
    for (QChar ch : text) {
        const char16_t u = ch.unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            bytes.append(static_cast<char>(u));
            continue;
        }
        const auto *hit = std::find(kHighControls.begin(), kHighControls.end(), u);
        if (hit == kHighControls.end()) {
            fits = false;
            bytes.append('?');
        } else {
            bytes.append(static_cast<char>(0x80 + (hit - kHighControls.begin())));
        }
    }
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

QStringList readLines(const QString &path)
{
    QFile file(path);
    QString reason;
    switch (RegularFile::openForReading(file, reason)) {
    case RegularFile::Opened::Yes:
        break;
    case RegularFile::Opened::NotRegular:
        throw Error(QStringLiteral("Cannot open %1: not a regular file").arg(path));
    case RegularFile::Opened::Failed:
        throw Error(QStringLiteral("Cannot open %1: %2").arg(path, reason));
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw Error(QStringLiteral("Cannot read %1: %2").arg(path, file.errorString()));
    return splitLines(decode(bytes));
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    const auto failed = [&path](const QFileDevice &file) {
        return Error(QStringLiteral("Cannot write %1: %2").arg(path, file.errorString()));
    };
    QSaveFile file(path);
    // Unbuffered, so that every byte reaches the system before commit(), which does not report
    // a failed flush of a last buffered piece (a cut-off file would replace the old one).
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
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

void writeLines(const QString &path, const QStringList &lines)
{
    writeBytes(path, joinLines(lines));
}

} // namespace TextFile
