#include "cli/ChoreCommands.h"
#include "cli/CommandLine.h"
#include "cli/Output.h"
#include "cli/ReportCommands.h"
#include "project/Project.h"
#include "project/ProjectFile.h"

#include <QCoreApplication>

namespace {

// As the window loads it: the lists in the order they show after loading.
void loadProject(Project &project, const QString &path)
{
    ProjectData data = ProjectFile::read(path);
    data.path = path;
    project.replace(std::move(data));
    project.sortAsLoaded();
}

ExitStatus runCommand(const Invocation &invocation, const Project &project)
{
    const QString &command = invocation.command;
    if (command == QLatin1String("info"))
        return ReportCommands::info(invocation, project);
    if (command == QLatin1String("todo"))
        return ReportCommands::todo(invocation, project);
    if (command == QLatin1String("changelog"))
        return ReportCommands::changelog(invocation, project);
    ChoreCommands chores(invocation, project);
    return chores.clean();
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

    Project project;
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
