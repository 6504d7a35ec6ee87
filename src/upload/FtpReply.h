#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// One reply of an FTP server: a three-digit code and its text lines, put together line by
// line as they arrive on the control connection.
class FtpReply
{
public:
    // Feeds the next line (without its line end); true while the reply needs more lines.
    // Blank lines before the first line are skipped.
    bool addLine(const QString &line);

    bool hasFirstLine() const { return m_started; }
    const QString &codeText() const { return m_code; }
    int code() const { return m_code.toInt(); }
    const QStringList &text() const { return m_text; }
    // Set when a continuation line without the code began with a blank (as in FEAT lists).
    bool indentedMiddleLines() const { return m_indented; }

    // Throws unless the code is empty or lies between 100 and 999.
    void validateCode() const;
    // Throws FtpReplyError when `allowed` is not empty and does not hold the code.
    void check(const QList<int> &allowed) const;

private:
    QString m_code;
    QStringList m_text;
    bool m_indented = false;
    bool m_started = false;
};
