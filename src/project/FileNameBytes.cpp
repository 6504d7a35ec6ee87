#include "project/FileNameBytes.h"

#include <QFile>

namespace FileNameBytes {

namespace {

constexpr char16_t firstRaw = 0xDC80;
constexpr char16_t lastRaw = 0xDCFF;

// The length of the valid UTF-8 sequence at `at` (1 to 4), or 0 when the byte there does not
// begin one: overlong forms, surrogates and code points past U+10FFFF are not valid.
qsizetype validSequenceAt(QByteArrayView bytes, qsizetype at)
{
    const auto byte = [&](qsizetype i) { return static_cast<unsigned char>(bytes.at(i)); };
    const unsigned char lead = byte(at);
    if (lead < 0x80)
        return 1;
    qsizetype length = 0;
    unsigned char low = 0x80, high = 0xBF; // the range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0;
        if (lead == 0xED)
            high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90;
        if (lead == 0xF4)
            high = 0x8F;
    } else {
        return 0;
    }
    if (at + length > bytes.size() || byte(at + 1) < low || byte(at + 1) > high)
        return 0;
    for (qsizetype i = 2; i < length; ++i)
        if (byte(at + i) < 0x80 || byte(at + i) > 0xBF)
            return 0;
    return length;
}

} // namespace

QString decode(QByteArrayView bytes)
{
#ifdef Q_OS_WIN
    return QFile::decodeName(bytes.toByteArray());
#else
    QString name;
    name.reserve(bytes.size());
    qsizetype at = 0;
    while (at < bytes.size()) {
        qsizetype valid = at;
        while (valid < bytes.size()) {
            const qsizetype length = validSequenceAt(bytes, valid);
            if (length == 0)
                break;
            valid += length;
        }
        name.append(QString::fromUtf8(bytes.sliced(at, valid - at)));
        if (valid < bytes.size())
            name.append(QChar(char16_t(firstRaw - 0x80 + static_cast<unsigned char>(bytes.at(valid++)))));
        at = valid;
    }
    return name;
#endif
}

QByteArray encode(const QString &name)
{
#ifdef Q_OS_WIN
    return QFile::encodeName(name);
#else
    if (!hasRawBytes(name))
        return name.toUtf8();
    QByteArray bytes;
    bytes.reserve(name.size());
    qsizetype textStart = 0;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t unit = name.at(i).unicode();
        // A raw byte is a lone low surrogate; the low half of a pair is text.
        const bool paired = i > 0 && name.at(i - 1).isHighSurrogate();
        if (unit < firstRaw || unit > lastRaw || paired)
            continue;
        bytes.append(QStringView(name).sliced(textStart, i - textStart).toUtf8());
        bytes.append(char(unit - firstRaw + 0x80));
        textStart = i + 1;
    }
    bytes.append(QStringView(name).sliced(textStart).toUtf8());
    return bytes;
#endif
}

bool hasRawBytes(const QString &name)
{
#ifdef Q_OS_WIN
    Q_UNUSED(name)
    return false;
#else
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t unit = name.at(i).unicode();
        if (unit >= firstRaw && unit <= lastRaw && !(i > 0 && name.at(i - 1).isHighSurrogate()))
            return true;
    }
    return false;
#endif
}

} // namespace FileNameBytes
