#pragma once

#include "app/ui/PageContext.h"

#include <QDateTime>
#include <QMainWindow>

#include <functional>

class FolderBrowser;
class Launcher;
class Prompts;
class QLabel;
class QListWidget;
class QMenu;
class QProgressBar;
class QStackedWidget;
class QTabWidget;
struct Workspace;

// TForm1: the main window. A frame of navigation list, pages, menus and status bar; the pages
// of the subsystems carry their own commands.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    MainWindow(Workspace &workspace, Prompts &prompts, Launcher &launcher, QWidget *parent = nullptr);
    ~MainWindow() override;

    QAction *action(const QString &objectName) const;
    // Enables the menu entry and runs the command when it is chosen; errors go to a message box.
    void bindCommand(const char *name, const std::function<void()> &command);
    // TForm6, behind every folder picker.
    FolderBrowser *folderBrowser() const;
    // The "Scripts/Tools" menu, filled by the tools page.
    QMenu *toolsMenu() const;
    // Status panel 1: the project name and its open tasks.
    void updateProjectPanel();
    // Status panel 2: what the folder listing found.
    void setFilesPanel(const QString &text);
    void setClock(std::function<QDateTime()> now);
    void showClock();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildMenus();
    QWidget *buildTopBar();
    QWidget *buildLeftColumn();
    QWidget *buildPages();
    QTabWidget *buildHomeTabs();
    void buildStatusBar();
    void buildOldProjectsMenu();
    void showToolWindow(QWidget *window);
    void switchPage();
    void openProject();

    Workspace &m_workspace;
    Prompts &m_prompts;
    PageContext m_context;
    std::function<QDateTime()> m_now = [] { return QDateTime::currentDateTime(); };

    QLabel *m_title = nullptr;
    QListWidget *m_navigation = nullptr;
    QStackedWidget *m_pages = nullptr;
    QMenu *m_oldProjects = nullptr;
    QLabel *m_panels[3] = {};
    FolderBrowser *m_folderBrowser = nullptr;
    QWidget *m_optionsWindow = nullptr;
    QWidget *m_languageWindow = nullptr;
    QWidget *m_infoWindow = nullptr;
};
