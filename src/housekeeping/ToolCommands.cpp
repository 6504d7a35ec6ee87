#include "housekeeping/ToolCommands.h"

#include "platform/Launcher.h"
#include "platform/Prompts.h"
#include "project/Error.h"
#include "project/ListRows.h"
#include "project/Project.h"

ToolCommands::ToolCommands(Project &project, Prompts &prompts, Launcher &launcher)
    : m_project(project), m_prompts(prompts), m_launcher(launcher)
{
}

void ToolCommands::newTool()
{
    const std::optional<QString> file = m_prompts.openFile(QStringLiteral("All (*)"));
    if (!file)
        return;
    QStringList tools = m_project.data().tools;
    tools.append(*file);
    m_project.setTools(std::move(tools));
}

void ToolCommands::deleteTools(const QList<int> &rows)
{
    m_project.setTools(withoutRows(m_project.data().tools, rows));
}

void ToolCommands::runAll()
{
    // One tool that cannot start does not keep the others from starting.
    QStringList failures;
    for (const QString &tool : m_project.data().tools) {
        try {
            m_launcher.open(tool);
        } catch (const Error &error) {
            failures.append(error.message());
        }
    }
    if (!failures.isEmpty())
        throw Error(failures.join(QLatin1Char('\n')));
}

void ToolCommands::openMainFile()
{
    m_launcher.open(m_project.data().mainFile);
}

QList<ToolsMenuEntry> ToolCommands::menuEntries(const QStringList &tools)
{
    QList<ToolsMenuEntry> entries;
    for (const QString &tool : tools)
        entries.append({QString(tool).replace(QLatin1Char('&'), QStringLiteral("&&")), tool});
    return entries;
}
