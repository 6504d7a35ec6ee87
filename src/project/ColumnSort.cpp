#include "project/ColumnSort.h"

#include "project/TextFile.h"

#include <algorithm>
#include <cstring>
#include <numeric>

namespace ColumnSort {

int nextKey(int key, int column)
{
    const int number = column + 1;
    return (key == number || key == -number) ? -key : number;
}

Keys::Keys(qsizetype rows)
{
    m_ends.reserve(static_cast<size_t>(rows));
    m_heads.reserve(static_cast<size_t>(rows));
}

void Keys::appendText(const QString &text)
{
    const qsizetype start = m_bytes.size();
    TextFile::appendWindows1252(m_bytes, text);
    finishText(start);
}

void Keys::appendText(const CompactText &text)
{
    const QByteArrayView utf8 = text.utf8();
    // ASCII is its own Windows-1252; anything else goes through the text.
    if (std::any_of(utf8.begin(), utf8.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; }))
        return appendText(text.toString());
    const qsizetype start = m_bytes.size();
    m_bytes.append(utf8);
    finishText(start);
}

void Keys::finishText(qsizetype start)
{
    for (qsizetype i = start; i < m_bytes.size(); ++i) {
        char &c = m_bytes.data()[i];
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    finishKey(start);
}

void Keys::appendNumber(int number)
{
    const qsizetype start = m_bytes.size();
    // Big-endian with the sign bit flipped: byte order is number order.
    const quint32 value = static_cast<quint32>(number) ^ 0x80000000u;
    for (int shift = 24; shift >= 0; shift -= 8)
        m_bytes.append(static_cast<char>((value >> shift) & 0xFF));
    finishKey(start);
}

void Keys::finishKey(qsizetype start)
{
    quint64 head = 0;
    const qsizetype length = m_bytes.size() - start;
    for (qsizetype i = 0; i < 8; ++i)
        head = (head << 8) | (i < length ? static_cast<unsigned char>(m_bytes[start + i]) : 0u);
    m_ends.push_back(m_bytes.size());
    m_heads.push_back(head);
}

int Keys::compare(qsizetype a, qsizetype b) const
{
    const auto ia = static_cast<size_t>(a);
    const auto ib = static_cast<size_t>(b);
    // Heads pad a short key with zero bytes: different heads differ at a real byte, or where
    // the shorter key has ended and the other goes on with a byte above zero.
    if (m_heads[ia] != m_heads[ib])
        return m_heads[ia] < m_heads[ib] ? -1 : 1;
    const qsizetype startA = a == 0 ? 0 : m_ends[ia - 1];
    const qsizetype startB = b == 0 ? 0 : m_ends[ib - 1];
    const qsizetype lengthA = m_ends[ia] - startA;
    const qsizetype lengthB = m_ends[ib] - startB;
    const int bytes = std::memcmp(m_bytes.constData() + startA, m_bytes.constData() + startB,
                                  static_cast<size_t>(std::min(lengthA, lengthB)));
    if (bytes != 0)
        return bytes;
    return (lengthA > lengthB) - (lengthA < lengthB);
}

std::vector<qsizetype> order(const Keys &keys, bool descending)
{
    std::vector<qsizetype> rows(static_cast<size_t>(keys.size()));
    std::iota(rows.begin(), rows.end(), qsizetype(0));
    // Ties fall back on the row's place, which keeps the sort stable in both directions.
    std::sort(rows.begin(), rows.end(), [&keys, descending](qsizetype a, qsizetype b) {
        const int difference = keys.compare(a, b);
        if (difference != 0)
            return descending ? difference > 0 : difference < 0;
        return a < b;
    });
    return rows;
}

} // namespace ColumnSort
