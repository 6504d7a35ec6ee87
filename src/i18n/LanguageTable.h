#pragma once

#include <QString>
#include <QStringList>

// The lines of one language file; entry N is line N, counted from 0, used exactly as written.
// Lines past the last entry are kept but never read.
class LanguageTable
{
public:
    LanguageTable() = default;
    // Reads a language file; throws Error when it cannot be read.
    static LanguageTable read(const QString &path);

    // The text of entry `number`; throws Error naming the file and the entry when the file
    // ends before it, or when no file was read.
    QString entry(int number) const;
    bool isEmpty() const { return m_lines.isEmpty(); }
    int size() const { return int(m_lines.size()); }
    const QString &path() const { return m_path; }

private:
    LanguageTable(QString path, QStringList lines) : m_path(std::move(path)), m_lines(std::move(lines)) {}

    QString m_path;
    QStringList m_lines;
};
