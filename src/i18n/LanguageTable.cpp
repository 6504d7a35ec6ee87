#include "i18n/LanguageTable.h"

#include "project/Error.h"
#include "project/TextFile.h"

#include <QDir>

LanguageTable LanguageTable::read(const QString &path)
{
    return LanguageTable(path, TextFile::readLines(path));
}

QString LanguageTable::entry(int number) const
{
    if (m_path.isEmpty())
        throw Error(QStringLiteral("No language file is loaded, so entry %1 has no text.").arg(number));
    if (number < 0 || number >= m_lines.size())
        throw Error(QStringLiteral("The language file \"%1\" ends before entry %2: it has only %3 lines.")
                        .arg(QDir::toNativeSeparators(m_path))
                        .arg(number)
                        .arg(m_lines.size()));
    return m_lines.at(number);
}
