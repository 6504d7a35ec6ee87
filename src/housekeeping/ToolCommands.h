#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class Launcher;
class Project;
class Prompts;

// One entry of the "Scripts/Tools" menu: the caption shows the path with "&" literal, and
// the entry starts the path itself.
struct ToolsMenuEntry
{
    QString caption;
    QString path;
};

// The project's scripts and tools: keeping the list, starting them, and opening the
// project's main file. Starting is always the desktop's "open"; nothing waits for it.
class ToolCommands
{
public:
    ToolCommands(Project &project, Prompts &prompts, Launcher &launcher);

    // Asks for a file and adds it; cancelling adds nothing.
    void newTool();
    void deleteTools(const QList<int> &rows);
    void runAll();
    // Opens the main file, whatever it holds.
    void openMainFile();

    static QList<ToolsMenuEntry> menuEntries(const QStringList &tools);

private:
    Project &m_project;
    Prompts &m_prompts;
    Launcher &m_launcher;
};
