#pragma once

#include "app/ui/ChoreEndReport.h"
#include "widgets/Frame.h"
#include "widgets/PageContext.h"

#include <QDateTime>
#include <QMainWindow>

#include <functional>
#include <memory>

class ChoreStart;
class ChoreStopQuestion;
class FolderBrowser;
class Launcher;
class PlaceholderLabel;
class Prompts;
class QLabel;
class QListWidget;
class QMenu;
class QStackedWidget;
class QTabWidget;
class QTimer;
struct Workspace;

// TForm1: the main window. A frame of navigation list, pages, menus and status bar; the pages
// of the subsystems carry their own commands.
class MainWindow : public QMainWindow, public Frame
{
    Q_OBJECT

public:
    MainWindow(Workspace &workspace, Prompts &prompts, Launcher &launcher, QWidget *parent = nullptr);
    ~MainWindow() override;

    QWidget *window() override { return this; }
    QAction *action(const QString &objectName) const override;
    void bindCommand(const char *name, const std::function<void()> &command) override;
    FolderBrowser *folderBrowser() override;
    QMenu *toolsMenu() const override;
    void updateProjectPanel() override;
    void setFilesPanel(const QString &text) override;
    void runChore(const QString &status, ChoreRunner::Work work, ChoreRunner::Done done) override;
    bool isChoreRunning() const override;
    void setClock(std::function<QDateTime()> now);
    // The pages the first screen does not show (the home tabs after Project and the pages of the
    // other navigation entries), the options window and the language chooser: made once the
    // window is up, or at once when one is needed sooner.
    void buildOtherPages();
    void showClock();
    // Opens a project file (a dropped one, an old project): first asks whether to cancel a
    // running chore and what to do with unsaved changes. Errors go to a message box.
    void openProject(const QString &path);

protected:
    bool event(QEvent *event) override;
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
    // TInfoForm, made when first shown.
    QWidget *infoWindow();
    void switchPage();
    // The title names the project file; the title label shows its whole path on hover.
    void showProjectFile(const QString &path);
    // An opened project also goes to the desktop's list of recent files.
    void addToDesktopRecentFiles();
    void openProject();
    void loadProject(const QString &path);
    // Whether the open project may give way to another or to the end of the program: asks
    // `choreQuestion` while a chore runs and cancels it, then settles unsaved changes.
    bool mayReplaceProject(const QString &choreQuestion);
    // A short message beside the status panels ("Saved"), gone after a few seconds.
    void showNotice(const QString &text);

    Workspace &m_workspace;
    // The prompts of the window and its pages, which also tell the ends of chores.
    ChoreEndReport m_prompts;
    PageContext m_context;
    std::function<QDateTime()> m_now = [] { return QDateTime::currentDateTime(); };

    PlaceholderLabel *m_title = nullptr;
    QListWidget *m_navigation = nullptr;
    QStackedWidget *m_pages = nullptr;
    QTabWidget *m_homeTabs = nullptr;
    bool m_otherPagesBuilt = false;
    QMenu *m_oldProjects = nullptr;
    QLabel *m_panels[3] = {};
    FolderBrowser *m_folderBrowser = nullptr;
    QWidget *m_optionsWindow = nullptr;
    QWidget *m_languageWindow = nullptr;
    QWidget *m_infoWindow = nullptr;
    QLabel *m_notice = nullptr;
    QTimer *m_noticeTimer = nullptr;
    ChoreRunner *m_chores = nullptr;
    ChoreStart *m_choreStart = nullptr;
    std::unique_ptr<ChoreStopQuestion> m_choreStop;
};
