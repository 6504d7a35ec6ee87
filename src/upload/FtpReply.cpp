#include "upload/FtpReply.h"

#include "upload/FtpReplyError.h"

#include <algorithm>

namespace {

bool isBlank(QChar c)
{
    return c.unicode() <= ' ';
}

QString trimmed(const QString &line)
{
    qsizetype begin = 0;
    qsizetype end = line.size();
    while (begin < end && isBlank(line.at(begin)))
        ++begin;
    while (end > begin && isBlank(line.at(end - 1)))
        --end;
    return line.sliced(begin, end - begin);
}

QString withoutLeadingBlanks(const QString &line)
{
    qsizetype begin = 0;
    while (begin < line.size() && isBlank(line.at(begin)))
        ++begin;
    return line.sliced(begin);
}

bool isNumber(QStringView text)
{
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) { return c.isDigit() && c.unicode() < 128; });
}

// The last line of a reply: a bare number of up to three digits, or three digits and a blank.
bool isEndLine(const QString &line)
{
    if (line.size() <= 3)
        return isNumber(line);
    return isNumber(QStringView(line).left(3)) && line.at(3) == QLatin1Char(' ');
}

} // namespace

bool FtpReply::addLine(const QString &line)
{
    if (!m_started) {
        const QString first = trimmed(line);
        if (first.isEmpty())
            return true;
        m_started = true;
        m_code = trimmed(first.left(4));
        if (m_code.endsWith(QLatin1Char('-')))
            m_code.chop(1);
        m_text.append(first.mid(4));
        return !isEndLine(first);
    }
    if (line.left(3) == m_code) {
        m_text.append(line.mid(4));
    } else {
        if (!line.isEmpty() && isBlank(line.front()))
            m_indented = true;
        m_text.append(withoutLeadingBlanks(line));
    }
    return !isEndLine(line);
}

void FtpReply::validateCode() const
{
    if (m_code.isEmpty())
        return;
    const int value = isNumber(m_code) ? m_code.toInt() : 0;
    if (value < 100 || value > 999)
        throw Error(QStringLiteral("Reply Code is not valid: %1").arg(m_code));
}

void FtpReply::check(const QList<int> &allowed) const
{
    if (!allowed.isEmpty() && !allowed.contains(code()))
        throw FtpReplyError(code(), m_text);
}
