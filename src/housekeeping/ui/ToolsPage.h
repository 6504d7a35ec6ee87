#pragma once

#include "housekeeping/ToolCommands.h"

#include <QWidget>

struct PageContext;
class Project;
class QMenu;
class TextListBox;

// TabSheet14: the scripts and tools, which also fill the "Scripts/Tools" menu.
class ToolsPage : public QWidget
{
    Q_OBJECT

public:
    explicit ToolsPage(const PageContext &context, QWidget *parent = nullptr);

private:
    void buildToolsMenu();

    Project &m_project;
    Prompts &m_prompts;
    Launcher &m_launcher;
    QMenu *m_toolsMenu;
    ToolCommands m_commands;
    TextListBox *m_list;
};
