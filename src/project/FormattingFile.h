#pragma once

#include <QString>

// The formatting of the description and the licence as HTML. The project file keeps their plain
// lines, as every other reader of it expects; the formatting lives beside it in "NAME.dev-docs".
struct DocumentFormatting
{
    QString description;
    QString license;

    bool operator==(const DocumentFormatting &) const = default;
};

// "NAME.dev-docs": a signature line, then for the description and then the licence the number
// of lines of its HTML and those lines.
namespace FormattingFile {

QString pathFor(const QString &projectPath);
// The formatting kept beside the project file; none when there is no such file or it is not
// one of ours (nothing then is lost: the project file's text stands on its own).
DocumentFormatting read(const QString &projectPath);
// Written as safely as the project file. Throws Error naming the file and the reason.
void write(const QString &projectPath, const DocumentFormatting &formatting);

} // namespace FormattingFile
