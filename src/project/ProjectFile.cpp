#include "project/ProjectFile.h"

#include "chores/ChoreProgress.h"
#include "project/Error.h"
#include "project/TextFile.h"

#include <QSet>

#include <algorithm>
#include <array>
#include <functional>

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

// Takes the file's lines front to back, reporting lines by their 1-based number. The header
// is kept; every other line is handed on as it is read, so the file never sits in memory whole.
class LineReader
{
public:
    using Next = std::function<bool(QString &line)>;

    explicit LineReader(Next next) : m_next(std::move(next))
    {
        for (QString &line : m_header)
            line = take();
    }

    const QString &header(int index) const { return m_header[static_cast<size_t>(index)]; }

    QString take()
    {
        QString line;
        if (!m_next(line))
            throw Error(QStringLiteral("the file ends at line %1, but the header announces more lines").arg(m_taken));
        ++m_taken;
        return line;
    }

    int takeNumber(const char *what)
    {
        const QString line = take();
        return number(line, m_taken - 1, what);
    }

    int count(int headerLine) const
    {
        const int value = number(header(headerLine), headerLine, "count");
        if (value < 0)
            throw Error(QStringLiteral("line %1: the count %2 is not a number")
                            .arg(headerLine + 1).arg(quoted(header(headerLine))));
        return value;
    }

    QStringList take(int lineCount)
    {
        QStringList lines;
        lines.reserve(lineCount);
        for (int i = 0; i < lineCount; ++i)
            lines.append(take());
        return lines;
    }

private:
    static int number(const QString &text, qsizetype index, const char *what)
    {
        bool ok = false;
        const int value = text.toInt(&ok);
        if (!ok)
            throw Error(QStringLiteral("line %1: the %2 %3 is %4")
                            .arg(index + 1)
                            .arg(QLatin1String(what), quoted(text),
                                 isWholeNumber(text) ? QStringLiteral("too large") : QStringLiteral("not a number")));
        return value;
    }

    Next m_next;
    qsizetype m_taken = 0;
    std::array<QString, kHeaderLines> m_header;
};

template<typename Entry>
QList<Entry> readRecords(LineReader &reader, int headerLine)
{
    const int count = reader.count(headerLine);
    QList<Entry> entries;
    for (int i = 0; i < count; ++i)
        entries.append(Entry::fromFields(reader.take(Entry::kFieldCount)));
    return entries;
}

QStringList readTexts(LineReader &reader, int headerLine)
{
    return reader.take(reader.count(headerLine));
}

QList<TodoItem> readTodos(LineReader &reader)
{
    const int count = reader.count(TodoCount);
    QList<TodoItem> todos;
    todos.reserve(count);
    // Many items share a version: they share its text too.
    QSet<QString> versions;
    for (int i = 0; i < count; ++i) {
        TodoItem item;
        item.status = reader.takeNumber("to-do code");
        item.priority = reader.takeNumber("to-do code");
        item.kind = reader.takeNumber("to-do code");
        item.official = reader.takeNumber("to-do code");
        item.version = *versions.insert(reader.take());
        item.title = reader.take();
        item.description = reader.take();
        item.note = reader.take();
        todos.append(std::move(item));
    }
    return todos;
}

ProjectData parseLines(const LineReader::Next &next)
{
    LineReader reader(next);
    ProjectData project;
    project.backupFolder = reader.header(BackupFolderFirst);
    project.projectFolder = reader.header(ProjectFolder);
    project.name = reader.header(Name);
    project.version = reader.header(Version);
    project.mainFile = reader.header(MainFile);
    project.backupFolder = reader.header(BackupFolder);
    project.includeSubfolders = reader.header(IncludeSubfolders) == QLatin1String("T");
    project.zipWithFolderNames = reader.header(ZipWithFolderNames) == QLatin1String("T");

    project.developers = readRecords<DeveloperEntry>(reader, DeveloperCount);
    project.tempExtensions = readTexts(reader, ExtensionCount);
    project.copies = readRecords<CopyEntry>(reader, CopyCount);
    project.zipFolders = readTexts(reader, ZipFolderCount);
    project.uploads = readRecords<UploadEntry>(reader, UploadCount);
    project.tools = readTexts(reader, ToolCount);
    project.description = readTexts(reader, DescriptionCount);
    project.todos = readTodos(reader);
    project.license = readTexts(reader, LicenseCount);
    project.notes = readTexts(reader, NotesCount);
    return project;
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
    qsizetype next = 0;
    return parseLines([&lines, &next](QString &line) {
        if (next >= lines.size())
            return false;
        line = lines[next++];
        return true;
    });
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
                  QString::number(t.official), t.version, t.title.toString(), t.description.toString(), t.note.toString()};
    lines += p.license;
    lines += p.notes;
    // One value a line: a break that slipped into a value would shift every later line.
    for (QString &line : lines)
        line = TextFile::oneLine(line);
    return lines;
}

ProjectData read(const QString &path, ChoreProgress *progress)
{
    TextFile::LineStream stream(path);
    if (progress)
        progress->setTotal(stream.size());
    qint64 lines = 0;
    try {
        return parseLines([&](QString &line) {
            // Now and then, not at every line: the stream reads in large pieces anyway.
            if (progress && ++lines % 4096 == 0) {
                progress->setDone(stream.position());
                progress->checkCancelled();
            }
            return stream.next(line);
        });
    } catch (const Error &error) {
        throw Error(QStringLiteral("Cannot load %1: %2").arg(path, error.message()));
    }
}

void write(const QString &path, const ProjectData &project)
{
    const bool holdsPassword = std::any_of(project.uploads.begin(), project.uploads.end(),
                                           [](const UploadEntry &entry) { return !entry.password.isEmpty(); });
    TextFile::writeLines(path, serialize(project), holdsPassword ? TextFile::Access::OwnerOnly : TextFile::Access::Kept);
}

} // namespace ProjectFile
