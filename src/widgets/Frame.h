#pragma once

#include "chores/ChoreRunner.h"

#include <QString>

#include <functional>

class FolderBrowser;
class QAction;
class QMenu;
class QWidget;

// What the pages see of the main window: its menus, its status panels, the folder browser and
// the running of long work. Pages never reach the window itself.
class Frame
{
public:
    virtual ~Frame() = default;

    // The window, as the parent of a page's dialogs.
    virtual QWidget *window() = 0;
    virtual QAction *action(const QString &objectName) const = 0;
    // Enables the menu entry and runs the command when it is chosen; errors go to a message box.
    virtual void bindCommand(const char *name, const std::function<void()> &command) = 0;
    // TForm6, behind every folder picker; made when first needed.
    virtual FolderBrowser *folderBrowser() = 0;
    // The "Scripts/Tools" menu, filled by the tools page.
    virtual QMenu *toolsMenu() const = 0;
    // Status panel 1: the project name and its open tasks.
    virtual void updateProjectPanel() = 0;
    // Status panel 2: what the folder listing found.
    virtual void setFilesPanel(const QString &text) = 0;

    // Runs `work` on a worker as the window's one chore: the progress bar and the Project panel
    // follow it, Escape and the status bar's Cancel stop it, and the other chore commands and
    // the pages wait until it ends. The lines the chore logs go to the log under the navigation
    // list, newest at the top. Then `done` gets the report; an error that ended the chore
    // is shown instead, as any command's error is.
    virtual void runChore(const QString &status, ChoreRunner::Work work, ChoreRunner::Done done) = 0;
    virtual bool isChoreRunning() const = 0;
};
