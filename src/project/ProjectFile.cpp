#include "project/ProjectFile.h"

#include "project/Error.h"
#include "project/TextFile.h"

#include <algorithm>

namespace {

constexpr int kHeaderLines = 18;
enum HeaderLine {
    BackupFolderFirst, ProjectFolder, Name, Version, MainFile, BackupFolder, IncludeSubfolders,
    ZipWithFolderNames, DeveloperCount, ExtensionCount, CopyCount, ZipFolderCount, UploadCount,
    ToolCount, DescriptionCount, TodoCount, LicenseCount, NotesCount
};

QString flag(bool value) { return value ? QStringLiteral("T") : QStringLiteral("F"); }

// An offending line as a message quotes it: its first 80 characters, with control
// characters written as escapes, so a binary or huge file gives a readable message.
QString quoted(const QString &line)
{
    constexpr qsizetype kShown = 80;
    QString text;
    for (const QChar c : QStringView(line).left(kShown)) {
        if (c.category() == QChar::Other_Control)
            text += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            text += c;
    }
    if (line.size() > kShown)
        text += QStringLiteral("…");
    return QLatin1Char('"') + text + QLatin1Char('"');
}

// Digits only, with an optional sign: a number, if perhaps not one that fits.
bool isWholeNumber(const QString &text)
{
    const QString trimmed = text.trimmed();
    const QStringView digits = QStringView(trimmed).mid(trimmed.startsWith(u'-') || trimmed.startsWith(u'+') ? 1 : 0);
    return !digits.isEmpty() && std::all_of(digits.begin(), digits.end(), [](QChar c) { return c.isDigit(); });
}

// Reads the file's lines front to back, reporting lines by their 1-based number.
class LineReader
{
public:
    explicit LineReader(const QStringList &lines) : m_lines(lines) {}

    const QString &at(qsizetype index) const
    {
        if (index >= m_lines.size())
            throw Error(QStringLiteral("the file ends at line %1, but the header announces more lines")
                            .arg(m_lines.size()));
        return m_lines[index];
    }

    int number(qsizetype index, const char *what) const
    {
        const QString &text = at(index);
        bool ok = false;
        const int value = text.toInt(&ok);
        if (!ok)
            throw Error(QStringLiteral("line %1: the %2 %3 is %4")
                            .arg(index + 1)
                            .arg(QLatin1String(what), quoted(text),
                                 isWholeNumber(text) ? QStringLiteral("too large") : QStringLiteral("not a number")));
        return value;
    }

    int count(int headerLine) const
    {
        const int value = number(headerLine, "count");
        if (value < 0)
            throw Error(QStringLiteral("line %1: the count %2 is not a number")
                            .arg(headerLine + 1).arg(quoted(m_lines[headerLine])));
        return value;
    }

    QStringList take(qsizetype &position, int lineCount) const
    {
        QStringList record;
        for (int i = 0; i < lineCount; ++i)
            record.append(at(position + i));
        position += lineCount;
        return record;
    }

private:
    const QStringList &m_lines;
};

template<typename Entry>
QList<Entry> readRecords(const LineReader &reader, qsizetype &position, int headerLine)
{
    const int count = reader.count(headerLine);
    QList<Entry> entries;
    for (int i = 0; i < count; ++i)
        entries.append(Entry::fromFields(reader.take(position, Entry::kFieldCount)));
    return entries;
}

QStringList readTexts(const LineReader &reader, qsizetype &position, int headerLine)
{
    return reader.take(position, reader.count(headerLine));
}

QList<TodoItem> readTodos(const LineReader &reader, qsizetype &position)
{
    const int count = reader.count(TodoCount);
    QList<TodoItem> todos;
    for (int i = 0; i < count; ++i) {
        TodoItem item;
        item.status = reader.number(position, "to-do code");
        item.priority = reader.number(position + 1, "to-do code");
        item.kind = reader.number(position + 2, "to-do code");
        item.official = reader.number(position + 3, "to-do code");
        position += 4;
        const QStringList texts = reader.take(position, 4);
        item.version = texts[0];
        item.title = texts[1];
        item.description = texts[2];
        item.note = texts[3];
        todos.append(item);
    }
    return todos;
}

template<typename Entry>
void appendRecords(QStringList &lines, const QList<Entry> &entries)
{
    for (const Entry &entry : entries)
        lines += entry.fields();
}

} // namespace

namespace ProjectFile {

ProjectData parse(const QStringList &lines)
{
    const LineReader reader(lines);
    ProjectData project;
    project.backupFolder = reader.at(BackupFolderFirst);
    project.projectFolder = reader.at(ProjectFolder);
    project.name = reader.at(Name);
    project.version = reader.at(Version);
    project.mainFile = reader.at(MainFile);
    project.backupFolder = reader.at(BackupFolder);
    project.includeSubfolders = reader.at(IncludeSubfolders) == QLatin1String("T");
    project.zipWithFolderNames = reader.at(ZipWithFolderNames) == QLatin1String("T");

    qsizetype position = kHeaderLines;
    project.developers = readRecords<DeveloperEntry>(reader, position, DeveloperCount);
    project.tempExtensions = readTexts(reader, position, ExtensionCount);
    project.copies = readRecords<CopyEntry>(reader, position, CopyCount);
    project.zipFolders = readTexts(reader, position, ZipFolderCount);
    project.uploads = readRecords<UploadEntry>(reader, position, UploadCount);
    project.tools = readTexts(reader, position, ToolCount);
    project.description = readTexts(reader, position, DescriptionCount);
    project.todos = readTodos(reader, position);
    project.license = readTexts(reader, position, LicenseCount);
    project.notes = readTexts(reader, position, NotesCount);
    return project;
}

QStringList serialize(const ProjectData &p)
{
    QStringList lines = {
        p.backupFolder, p.projectFolder, p.name, p.version, p.mainFile, p.backupFolder,
        flag(p.includeSubfolders), flag(p.zipWithFolderNames),
        QString::number(p.developers.size()), QString::number(p.tempExtensions.size()),
        QString::number(p.copies.size()), QString::number(p.zipFolders.size()),
        QString::number(p.uploads.size()), QString::number(p.tools.size()),
        QString::number(p.description.size()), QString::number(p.todos.size()),
        QString::number(p.license.size()), QString::number(p.notes.size())};
    appendRecords(lines, p.developers);
    lines += p.tempExtensions;
    appendRecords(lines, p.copies);
    lines += p.zipFolders;
    appendRecords(lines, p.uploads);
    lines += p.tools;
    lines += p.description;
    for (const TodoItem &t : p.todos)
        lines += {QString::number(t.status), QString::number(t.priority), QString::number(t.kind),
                  QString::number(t.official), t.version, t.title, t.description, t.note};
    lines += p.license;
    lines += p.notes;
    // One value a line: a break that slipped into a value would shift every later line.
    for (QString &line : lines)
        line = TextFile::oneLine(line);
    return lines;
}

ProjectData read(const QString &path)
{
    const QStringList lines = TextFile::readLines(path);
    try {
        return parse(lines);
    } catch (const Error &error) {
        throw Error(QStringLiteral("Cannot load %1: %2").arg(path, error.message()));
    }
}

void write(const QString &path, const ProjectData &project)
{
    TextFile::writeLines(path, serialize(project));
}

} // namespace ProjectFile
