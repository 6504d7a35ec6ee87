#include "cli/CommandLine.h"

#include "cli/TodoNames.h"
#include "upload/TransfersAtOnce.h"

#include <QCommandLineParser>
#include <QCoreApplication>

namespace CommandLine {

namespace {

enum Option { Help, Version, Json, DryRun, Status, Format, Output, Checksums, TrustHost, ToTrash, Permanently, Keep, Jobs, OptionCount };

const QList<QCommandLineOption> &options()
{
    static const QList<QCommandLineOption> all = {
        {{QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show this help.")},
        {QStringLiteral("version"), QStringLiteral("Show the program's version.")},
        {QStringLiteral("json"), QStringLiteral("Print the result as JSON, for scripts.")},
        {QStringLiteral("dry-run"), QStringLiteral("Show what would be done and change nothing.")},
        {QStringLiteral("status"),
         QStringLiteral("Take the items of this status: %1. Repeat it for several.").arg(TodoNames::statusNames()),
         QStringLiteral("status")},
        {QStringLiteral("format"),
         QStringLiteral("html (the default, from your templates), plain, or markdown (Keep a Changelog)."),
         QStringLiteral("format")},
        {{QStringLiteral("o"), QStringLiteral("output")}, QStringLiteral("Write to this file, not to standard output."),
         QStringLiteral("file")},
        {QStringLiteral("checksums"),
         QStringLiteral("Also write SHA256SUMS beside the archives, for \"sha256sum -c\".")},
        {QStringLiteral("trust-host"),
         QStringLiteral("Trust a server whose SSH host key or TLS certificate has this fingerprint, as printed when it "
                        "was refused. Repeat it for several."),
         QStringLiteral("fingerprint")},
        {QStringLiteral("trash"), QStringLiteral("Move the files to the desktop's trash (the default).")},
        {QStringLiteral("delete"), QStringLiteral("Delete the files permanently, not into the trash.")},
        {QStringLiteral("keep"),
         QStringLiteral("Keep this many finished backups in the backup folder and remove the oldest beyond it; 0 "
                        "keeps all. Without it, the number set in the options window."),
         QStringLiteral("N")},
        {QStringLiteral("jobs"),
         QStringLiteral("Send the files of a folder entry over this many connections at once (1 to 16); 1 sends them "
                        "in order. Without it, the number set in the options window."),
         QStringLiteral("N")},
    };
    return all;
}

struct CommandDefinition
{
    QString name;
    QString summary;
    QList<Option> options;
    // More for the command's own help.
    QString details = {};
    // The words one of which must follow the command; none for most.
    QStringList subcommands = {};
};

const QList<CommandDefinition> &commands()
{
    static const QList<CommandDefinition> all = {
        {QStringLiteral("info"), QStringLiteral("Name, version, folders, the size of every list and the open tasks."),
         {Json}},
        {QStringLiteral("todo"), QStringLiteral("The to-do list in its sorted order, one item a line."), {Status, Json}},
        {QStringLiteral("changelog"),
         QStringLiteral("The changelog: HTML from your templates, plain text, or Markdown."),
         {Status, Format, Output},
         QStringLiteral("Without --status it takes the statuses your HTML templates include, and lists the official "
                        "items among them, as \"Create changelog\" does.")},
        {QStringLiteral("clean"), QStringLiteral("Move the temporary files of the project folder to the trash."),
         {DryRun, Json, ToTrash, Permanently},
         QStringLiteral("Never outside the project folder; a project folder that is the file-system root or the "
                        "home folder is refused. A file the trash cannot take (on a drive without a trash) is "
                        "named and left in place.")},
        {QStringLiteral("copy"), QStringLiteral("Copy the files of the copy list."), {DryRun, Json}},
        {QStringLiteral("zip"), QStringLiteral("Write each folder of the zip list into the archive beside it."),
         {DryRun, Json, Checksums},
         QStringLiteral("With SOURCE_DATE_EPOCH set, the archives are reproducible: entries in byte order of their "
                        "names, no time after that moment, times in UTC.")},
        {QStringLiteral("release"), QStringLiteral("First copy, then zip."), {DryRun, Json, Checksums}},
        {QStringLiteral("backup"), QStringLiteral("Copy the project folder into today's folder below the backup folder."),
         {DryRun, Json, Keep},
         QStringLiteral("Files unchanged since the newest earlier backup are hard links to it, so they take no "
                        "space. With --dry-run it also lists the old backups that would be removed.")},
        {QStringLiteral("upload"), QStringLiteral("Upload the files of the upload list to their servers."),
         {DryRun, Json, TrustHost, Jobs},
         QStringLiteral("The scheme of each target chooses the protocol: sftp://, ftps:// (FTP with TLS), else plain "
                        "FTP. A server whose SSH host key is not in ~/.ssh/known_hosts, or whose TLS certificate the "
                        "system does not trust, is refused with its fingerprint unless --trust-host names it; a "
                        "trusted key is added to known_hosts, a trusted certificate remembered for that server. The port "
                        "in the URL wins over the entry's. An SFTP path is absolute, /~/ starts in the home folder; an "
                        "FTP path starts in the login folder. An entry without a password takes the one "
                        "the system keyring keeps for its account, else the one in the environment variable "
                        "TROVAS_PASSWORD; without either it fails, naming the account. An entry whose source is a folder "
                        "deploys it: missing folders are made, new and changed files uploaded, and a record of them "
                        "kept on the server (.trovas-sync.json), so the next run sends only what changed; with "
                        "--dry-run it lists what would be uploaded, skipped and removed.")},
        {QStringLiteral("secrets"),
         QStringLiteral("move: put the upload passwords into the system keyring and write the project file "
                        "without them."),
         {DryRun, Json},
         QStringLiteral("A password leaves the file only once the keyring has taken it."),
         {QStringLiteral("move")}},
    };
    return all;
}

const CommandDefinition *findCommand(const QString &name)
{
    for (const CommandDefinition &definition : commands())
        if (definition.name == name)
            return &definition;
    return nullptr;
}

QString toolHelp()
{
    QString text = QStringLiteral("Usage: %1 PROJECT.dev COMMAND [options]\n\n"
                                  "Runs the chores of a Trovas project from the command line.\n\nCommands:\n")
                       .arg(QCoreApplication::applicationName());
    for (const CommandDefinition &definition : commands())
        text += QStringLiteral("  %1  %2\n").arg(definition.name, -10).arg(definition.summary);
    text += QStringLiteral("\nOptions:\n  -h, --help  Show this help, or with a command, the command's help.\n"
                           "  --version   Show the program's version.\n\n"
                           "Exit status: 0 when everything was done, 1 when something failed, 2 for a usage error\n"
                           "or a project file that does not load.\n");
    return text;
}

QString commandHelp(const CommandDefinition &definition)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(definition.details.isEmpty() ? definition.summary : definition.summary + QLatin1Char(' ') + definition.details);
    parser.addPositionalArgument(QStringLiteral("PROJECT.dev"), QStringLiteral("The project file."));
    if (!definition.subcommands.isEmpty())
        parser.addPositionalArgument(definition.subcommands.join(QLatin1Char('|')), QStringLiteral("What to do."));
    parser.addOption(options()[Help]);
    for (Option option : definition.options)
        parser.addOption(options()[option]);
    // Qt's usage line names the program by its full path and puts the options first.
    QString text = parser.helpText();
    text.remove(0, text.indexOf(QLatin1Char('\n')) + 1);
    const QString name = definition.subcommands.isEmpty()
        ? definition.name
        : definition.name + QLatin1Char(' ') + definition.subcommands.join(QLatin1Char('|'));
    return QStringLiteral("Usage: %1 PROJECT.dev %2 [options]\n").arg(QCoreApplication::applicationName(), name) + text;
}

QString optionName(Option option)
{
    const QString name = options()[option].names().constLast();
    return (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
}

void takeStatuses(const QStringList &names, Invocation &invocation)
{
    for (const QString &name : names) {
        const int code = TodoNames::statusCode(name);
        if (code < 0)
            throw UsageError(QStringLiteral("Unknown status \"%1\"; the statuses are %2.")
                                 .arg(name, TodoNames::statusNames()));
        invocation.statuses.append(code);
    }
}

void takeKeep(const QString &text, Invocation &invocation)
{
    bool ok = false;
    const int keep = text.toInt(&ok);
    if (!ok || keep < 0)
        throw UsageError(QStringLiteral("--keep takes a number of backups, 0 or more, not \"%1\".").arg(text));
    invocation.keep = keep;
}

void takeJobs(const QString &text, Invocation &invocation)
{
    bool ok = false;
    const int jobs = text.toInt(&ok);
    if (!ok || jobs < 1 || jobs > TransfersAtOnce::Max)
        throw UsageError(QStringLiteral("--jobs takes a number of connections from 1 to %1, not \"%2\".").arg(TransfersAtOnce::Max).arg(text));
    invocation.jobs = jobs;
}

void takeFormat(const QString &format, Invocation &invocation)
{
    static const QStringList formats = {QStringLiteral("html"), QStringLiteral("plain"), QStringLiteral("markdown")};
    if (!formats.contains(format))
        throw UsageError(QStringLiteral("Unknown format \"%1\"; the formats are html, plain and markdown.").arg(format));
    invocation.format = format;
}

// Every option given must be one of the command's.
void checkOptions(const QCommandLineParser &parser, const CommandDefinition &definition)
{
    for (int option = Json; option < OptionCount; ++option)
        if (parser.isSet(options()[option]) && !definition.options.contains(Option(option)))
            throw UsageError(QStringLiteral("The option %1 does not apply to %2.")
                                 .arg(optionName(Option(option)), definition.name));
}

Invocation helpFor(const QStringList &positional)
{
    Invocation invocation;
    invocation.action = Invocation::Action::ShowHelp;
    invocation.helpText = toolHelp();
    // "trovas-cli COMMAND --help" and "trovas-cli PROJECT.dev COMMAND --help" alike.
    for (const QString &word : positional.mid(0, 2))
        if (const CommandDefinition *definition = findCommand(word))
            invocation.helpText = commandHelp(*definition);
    return invocation;
}

} // namespace

QStringList commandNames()
{
    QStringList names;
    for (const CommandDefinition &definition : commands())
        names.append(definition.name);
    return names;
}

Invocation parse(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addOptions(options());
    if (!parser.parse(arguments))
        throw UsageError(parser.errorText());
    const QStringList positional = parser.positionalArguments();
    if (parser.isSet(options()[Help]))
        return helpFor(positional);
    if (parser.isSet(options()[Version])) {
        Invocation invocation;
        invocation.action = Invocation::Action::ShowVersion;
        return invocation;
    }
    if (positional.size() < 2)
        throw UsageError(QStringLiteral("Give a project file and a command."));
    const CommandDefinition *definition = findCommand(positional[1]);
    if (!definition && findCommand(positional[0]))
        throw UsageError(QStringLiteral("The project file comes first: %1 %2 %3")
                             .arg(QCoreApplication::applicationName(), positional[1], positional[0]));
    if (!definition)
        throw UsageError(QStringLiteral("Unknown command \"%1\"; the commands are %2.")
                             .arg(positional[1], commandNames().join(QStringLiteral(", "))));
    const qsizetype words = definition->subcommands.isEmpty() ? 2 : 3;
    if (positional.size() > words)
        throw UsageError(QStringLiteral("Unexpected argument \"%1\".").arg(positional[words]));
    if (words == 3 && (positional.size() < 3 || !definition->subcommands.contains(positional[2])))
        throw UsageError(QStringLiteral("%1 takes one of: %2.")
                             .arg(definition->name, definition->subcommands.join(QStringLiteral(", "))));
    checkOptions(parser, *definition);

    Invocation invocation;
    invocation.projectPath = positional[0];
    invocation.command = definition->name;
    invocation.subcommand = positional.value(2);
    invocation.json = parser.isSet(options()[Json]);
    invocation.dryRun = parser.isSet(options()[DryRun]);
    invocation.checksums = parser.isSet(options()[Checksums]);
    takeStatuses(parser.values(options()[Status]), invocation);
    if (parser.isSet(options()[Format]))
        takeFormat(parser.value(options()[Format]), invocation);
    invocation.outputPath = parser.value(options()[Output]);
    invocation.trustedHosts = parser.values(options()[TrustHost]);
    if (parser.isSet(options()[ToTrash]) && parser.isSet(options()[Permanently]))
        throw UsageError(QStringLiteral("Give --trash or --delete, not both."));
    invocation.deletePermanently = parser.isSet(options()[Permanently]);
    if (parser.isSet(options()[Keep]))
        takeKeep(parser.value(options()[Keep]), invocation);
    if (parser.isSet(options()[Jobs]))
        takeJobs(parser.value(options()[Jobs]), invocation);
    return invocation;
}

} // namespace CommandLine
