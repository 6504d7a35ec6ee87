#include "cli/ReportCommands.h"

#include "cli/CommandLine.h"
#include "cli/Output.h"
#include "cli/TodoNames.h"
#include "project/AppDataFolder.h"
#include "project/Project.h"
#include "project/TextFile.h"
#include "todolist/Changelog.h"
#include "todolist/ChangelogTemplates.h"
#include "todolist/Todos.h"

#include <QJsonArray>
#include <QJsonObject>

namespace ReportCommands {

namespace {

QString yesNo(bool value)
{
    return value ? QStringLiteral("yes") : QStringLiteral("no");
}

QJsonObject todoJson(const TodoItem &item)
{
    using TodoNames::Field;
    return {{QStringLiteral("status"), TodoNames::nameOf(Field::Status, item.status)},
            {QStringLiteral("priority"), TodoNames::nameOf(Field::Priority, item.priority)},
            {QStringLiteral("kind"), TodoNames::nameOf(Field::Kind, item.kind)},
            {QStringLiteral("official"), item.official != 7},
            {QStringLiteral("version"), item.version},
            {QStringLiteral("title"), item.title.toString()},
            {QStringLiteral("description"), item.description.toString()},
            {QStringLiteral("note"), item.note.toString()}};
}

// Status, priority, type, official, version and title, as the to-do list's columns show them.
QString todoLine(const TodoItem &item)
{
    using TodoNames::Field;
    return QStringList{TodoNames::nameOf(Field::Status, item.status), TodoNames::nameOf(Field::Priority, item.priority),
                       TodoNames::nameOf(Field::Kind, item.kind),
                       item.official != 7 ? QStringLiteral("official") : QStringLiteral("unofficial"), item.version,
                       item.title.toString()}
        .join(QLatin1Char('\t'));
}

// The user's templates, as the window reads them at start; --status in place of their flags.
ChangelogTemplates templatesFor(const Invocation &invocation)
{
    ChangelogTemplates templates;
    const QString folder = AppDataFolder::path();
    if (!folder.isEmpty())
        templates.load(folder);
    if (!invocation.statuses.isEmpty())
        for (size_t index = 0; index < templates.include.size(); ++index)
            templates.include[index] = invocation.statuses.contains(static_cast<int>(index) + 8);
    return templates;
}

} // namespace

ExitStatus info(const Invocation &invocation, const Project &project)
{
    const ProjectData &data = project.data();
    struct Count
    {
        QString key, label;
        qsizetype count;
    };
    const Count counts[] = {
        {QStringLiteral("developers"), QStringLiteral("Developers"), data.developers.size()},
        {QStringLiteral("tempExtensions"), QStringLiteral("Temporary-file extensions"), data.tempExtensions.size()},
        {QStringLiteral("copies"), QStringLiteral("Copies"), data.copies.size()},
        {QStringLiteral("zipFolders"), QStringLiteral("Zip folders"), data.zipFolders.size()},
        {QStringLiteral("uploads"), QStringLiteral("Uploads"), data.uploads.size()},
        {QStringLiteral("tools"), QStringLiteral("Scripts and tools"), data.tools.size()},
        {QStringLiteral("todos"), QStringLiteral("To-do items"), data.todos.size()},
        {QStringLiteral("descriptionLines"), QStringLiteral("Description lines"), data.description.size()},
        {QStringLiteral("licenseLines"), QStringLiteral("License lines"), data.license.size()},
        {QStringLiteral("notesLines"), QStringLiteral("Notes lines"), data.notes.size()}};
    const int openTasks = Todos::countOpenTasks(data.todos);
    if (invocation.json) {
        QJsonObject countObject;
        for (const Count &count : counts)
            countObject.insert(count.key, count.count);
        Output::json({{QStringLiteral("name"), data.name},
                      {QStringLiteral("version"), data.version},
                      {QStringLiteral("projectFolder"), data.projectFolder},
                      {QStringLiteral("backupFolder"), data.backupFolder},
                      {QStringLiteral("mainFile"), data.mainFile},
                      {QStringLiteral("includeSubfolders"), data.includeSubfolders},
                      {QStringLiteral("zipWithFolderNames"), data.zipWithFolderNames},
                      {QStringLiteral("counts"), countObject},
                      {QStringLiteral("openTasks"), openTasks}});
        return ExitDone;
    }
    Output::line(QStringLiteral("Name: ") + data.name);
    Output::line(QStringLiteral("Version: ") + data.version);
    Output::line(QStringLiteral("Project folder: ") + data.projectFolder);
    Output::line(QStringLiteral("Backup folder: ") + data.backupFolder);
    Output::line(QStringLiteral("Main file: ") + data.mainFile);
    Output::line(QStringLiteral("Include subfolders: ") + yesNo(data.includeSubfolders));
    Output::line(QStringLiteral("Zip with folder names: ") + yesNo(data.zipWithFolderNames));
    for (const Count &count : counts)
        Output::line(QStringLiteral("%1: %2").arg(count.label).arg(count.count));
    Output::line(QStringLiteral("Open tasks: %1").arg(openTasks));
    return ExitDone;
}

ExitStatus todo(const Invocation &invocation, const Project &project)
{
    QJsonArray items;
    for (const TodoItem &item : project.data().todos) {
        if (!invocation.statuses.isEmpty() && !invocation.statuses.contains(item.status))
            continue;
        if (invocation.json)
            items.append(todoJson(item));
        else
            Output::line(todoLine(item));
    }
    if (invocation.json)
        Output::json({{QStringLiteral("todos"), items}});
    return ExitDone;
}

ExitStatus changelog(const Invocation &invocation, const Project &project)
{
    const ChangelogTemplates templates = templatesFor(invocation);
    const QList<TodoItem> &todos = project.data().todos;
    QString text;
    if (invocation.format == QLatin1String("markdown")) {
        text = Changelog::markdown(todos, templates);
    } else {
        const Changelog::Texts texts = Changelog::generate(todos, templates);
        text = invocation.format == QLatin1String("plain") ? texts.plain : texts.html;
    }
    if (invocation.outputPath.isEmpty())
        Output::write(text);
    else if (invocation.format == QLatin1String("html"))
        // The very bytes the window writes to temp.html.
        TextFile::writeBytes(invocation.outputPath, TextFile::encode(text));
    else
        // Plain text and Markdown as on standard output.
        TextFile::writeBytes(invocation.outputPath, text.toUtf8());
    return ExitDone;
}

} // namespace ReportCommands
