#pragma once

#include "todolist/TodoCommands.h"

#include <QWidget>

#include <span>

struct PageContext;
class ChangelogWindow;
class Frame;
class Project;
class Prompts;
class QMenu;
class RecordListView;
class TodoDialog;

// TabSheet3: the to-do list with its pop-up menu, the to-do dialog and the changelog window.
class TodoPage : public QWidget
{
    Q_OBJECT

public:
    // An entry of the pop-up menu that sets a code, and the meaning of that code's icon.
    struct CodeCommand
    {
        const char *name;
        const char *caption;
        int code;
    };

    explicit TodoPage(const PageContext &context, QWidget *parent = nullptr);

private:

    void buildMenu();
    void addCodeMenu(QMenu *menu, const char *name, const QString &caption, Todos::CodeField field,
                     std::span<const CodeCommand> commands);
    void editFirstSelected();
    void removeSelected();
    void changeVersion();
    void createChangelog(bool selectedOnly);

    Project &m_project;
    Prompts &m_prompts;
    Frame &m_frame;
    QString m_folder;
    TodoCommands m_commands;
    RecordListView *m_list;
    TodoDialog *m_dialog;
    ChangelogWindow *m_changelog;
};
