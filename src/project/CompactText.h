#pragma once

#include <QByteArrayView>
#include <QString>

#include <atomic>

// A text held as UTF-8 in one shared, unchangeable block: one pointer wide, copied by a count
// like QString, with an 8-byte header. The long texts of a to-do list are mostly ASCII, so
// a list of 100,000 to-dos takes less than half the memory it would as QString. Made from a
// QString as one is assigned (not explicit on purpose); read back with toString().
class CompactText
{
public:
    CompactText() = default;
    CompactText(const QString &text);
    CompactText(const CompactText &other) noexcept;
    CompactText(CompactText &&other) noexcept : m_block(other.m_block) { other.m_block = nullptr; }
    CompactText &operator=(CompactText other) noexcept;
    ~CompactText();

    QString toString() const;
    QByteArrayView utf8() const;
    bool isEmpty() const { return m_block == nullptr; }

    friend bool operator==(const CompactText &a, const CompactText &b) { return a.utf8() == b.utf8(); }

private:
    struct Block
    {
        std::atomic<quint32> copies;
        quint32 size;
        char *bytes() { return reinterpret_cast<char *>(this + 1); }
    };

    Block *m_block = nullptr;
};
