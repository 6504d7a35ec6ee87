#include "project/FormattingFile.h"

#include "project/Error.h"
#include "project/TextFile.h"

#include <QFileInfo>

#include <optional>

namespace {

const QString kSignature = QStringLiteral("Trovas document formatting");

void appendDocument(QStringList &lines, const QString &html)
{
    const QStringList htmlLines = html.isEmpty() ? QStringList() : TextFile::splitLines(html);
    lines.append(QString::number(htmlLines.size()));
    lines.append(htmlLines);
}

// The HTML at `position`, which then moves past it; nullopt when the lines do not hold one.
std::optional<QString> takeDocument(const QStringList &lines, qsizetype &position)
{
    if (position >= lines.size())
        return std::nullopt;
    bool number = false;
    const qsizetype count = lines.at(position).toLongLong(&number);
    if (!number || count < 0 || count > lines.size() - position - 1)
        return std::nullopt;
    const QStringList html = lines.mid(position + 1, count);
    position += 1 + count;
    return html.join(QLatin1Char('\n'));
}

} // namespace

namespace FormattingFile {

QString pathFor(const QString &projectPath)
{
    return projectPath + QStringLiteral("-docs");
}

DocumentFormatting read(const QString &projectPath)
{
    const QString path = pathFor(projectPath);
    if (!QFileInfo(path).isFile())
        return {};
    QStringList lines;
    try {
        lines = TextFile::readLines(path);
    } catch (const Error &) {
        return {};
    }
    if (lines.isEmpty() || lines.first() != kSignature)
        return {};
    qsizetype position = 1;
    const std::optional<QString> description = takeDocument(lines, position);
    const std::optional<QString> license = takeDocument(lines, position);
    if (!description || !license)
        return {};
    return {*description, *license};
}

void write(const QString &projectPath, const DocumentFormatting &formatting)
{
    QStringList lines{kSignature};
    appendDocument(lines, formatting.description);
    appendDocument(lines, formatting.license);
    TextFile::writeLines(pathFor(projectPath), lines);
}

} // namespace FormattingFile
