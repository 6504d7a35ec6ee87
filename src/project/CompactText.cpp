#include "project/CompactText.h"

#include "project/Error.h"
#include "project/TextFile.h"

#include <QByteArray>

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>
#include <utility>

namespace {

bool isAscii(const QString &text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
}

} // namespace

CompactText::CompactText(const QString &text)
{
    if (text.isEmpty())
        return;
    // ASCII, as most texts are, goes straight into the block; the rest through a conversion.
    const bool ascii = isAscii(text);
    const QByteArray converted = ascii ? QByteArray() : text.toUtf8();
    const qsizetype size = ascii ? text.size() : converted.size();
    if (size > qsizetype(std::numeric_limits<quint32>::max()))
        throw Error(QStringLiteral("A text of %1 bytes is too long to hold.").arg(size));
    m_block = new (::operator new(sizeof(Block) + size_t(size))) Block{{1}, quint32(size)};
    if (ascii)
        std::transform(text.begin(), text.end(), m_block->bytes(), [](QChar c) { return char(c.unicode()); });
    else
        std::memcpy(m_block->bytes(), converted.constData(), size_t(size));
}

CompactText::CompactText(const CompactText &other) noexcept : m_block(other.m_block)
{
    if (m_block)
        m_block->copies.fetch_add(1, std::memory_order_relaxed);
}

CompactText &CompactText::operator=(CompactText other) noexcept
{
    std::swap(m_block, other.m_block);
    return *this;
}

CompactText::~CompactText()
{
    if (m_block && m_block->copies.fetch_sub(1, std::memory_order_acq_rel) == 1) {
        m_block->~Block();
        ::operator delete(m_block);
    }
}

QString CompactText::toString() const
{
    return TextFile::fromUtf8(utf8());
}

QByteArrayView CompactText::utf8() const
{
    return m_block ? QByteArrayView(m_block->bytes(), m_block->size) : QByteArrayView();
}
