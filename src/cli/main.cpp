#include "cli/ChoreCommands.h"
#include "cli/CommandLine.h"
#include "cli/Output.h"
#include "cli/ReportCommands.h"
#include "cli/SecretCommands.h"
#include "project/Project.h"
#include "project/ProjectFile.h"
#include "todolist/Todos.h"

#include <QCoreApplication>
#include <QHash>

namespace {

// As the window loads it: the lists in the order they show after loading.
void loadProject(Project &project, const QString &path)
{
    ProjectData data = ProjectFile::read(path);
    data.path = path;
    project.arrangeAsLoaded(data);
    project.replaceLoaded(std::move(data));
}

ExitStatus runCommand(const Invocation &invocation, const Project &project)
{
    using Report = ExitStatus (*)(const Invocation &, const Project &);
    static const QHash<QString, Report> reports = {{QStringLiteral("info"), ReportCommands::info},
                                                   {QStringLiteral("todo"), ReportCommands::todo},
                                                   {QStringLiteral("changelog"), ReportCommands::changelog}};
    using Chore = ExitStatus (ChoreCommands::*)();
    static const QHash<QString, Chore> chores = {
        {QStringLiteral("clean"), &ChoreCommands::clean},     {QStringLiteral("copy"), &ChoreCommands::copy},
        {QStringLiteral("zip"), &ChoreCommands::zip},         {QStringLiteral("release"), &ChoreCommands::release},
        {QStringLiteral("backup"), &ChoreCommands::backup},   {QStringLiteral("upload"), &ChoreCommands::upload}};
    if (const Report report = reports.value(invocation.command))
        return report(invocation, project);
    if (invocation.command == QLatin1String("secrets"))
        return SecretCommands::move(invocation);
    ChoreCommands commands(invocation, project);
    return (commands.*chores.value(invocation.command))();
}

ExitStatus run(const QStringList &arguments)
{
    Invocation invocation;
    try {
        invocation = CommandLine::parse(arguments);
    } catch (const UsageError &error) {
        Output::error(error.message());
        Output::error(QStringLiteral("Run \"%1 --help\" for how to use it.").arg(QCoreApplication::applicationName()));
        return ExitUsage;
    }
    if (invocation.action == Invocation::Action::ShowHelp) {
        Output::write(invocation.helpText);
        return ExitDone;
    }
    if (invocation.action == Invocation::Action::ShowVersion) {
        Output::line(QCoreApplication::applicationName() + QLatin1Char(' ') + QCoreApplication::applicationVersion());
        return ExitDone;
    }

    Project project(&Todos::order);
    try {
        loadProject(project, invocation.projectPath);
    } catch (const Error &error) {
        Output::error(error.message());
        return ExitUsage;
    }
    try {
        return runCommand(invocation, project);
    } catch (const Error &error) {
        Output::error(error.message());
    } catch (const std::exception &error) {
        Output::error(QString::fromLocal8Bit(error.what()));
    }
    return ExitFailed;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("trovas-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TROVAS_VERSION));
    return run(QCoreApplication::arguments());
}
