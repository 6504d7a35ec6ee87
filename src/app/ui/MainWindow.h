#pragma once

#include "app/ui/ChoreEndPrompts.h"
#include "widgets/Frame.h"
#include "widgets/PageContext.h"

#include <QDateTime>
#include <QMainWindow>

#include <functional>

class FolderBrowser;
class Launcher;
class PlaceholderLabel;
class Prompts;
class QLabel;
class QListWidget;
class QMenu;
class QProgressBar;
class QToolButton;
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
    // A project file dropped on the window opens as File > Open opens it.
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;
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
    void openProject();
    void loadProject(const QString &path);
    // Whether the open project may give way to another or to the end of the program: asks
    // `choreQuestion` while a chore runs and cancels it, then settles unsaved changes.
    bool mayReplaceProject(const QString &choreQuestion);
    bool stopChoreFirst(const QString &question);
    // A short message beside the status panels ("Saved"), gone after a few seconds.
    void showNotice(const QString &text);
    void showChoreProgress(const ChoreProgress::Snapshot &snapshot);
    // Disables or restores what must wait while a chore runs.
    void setChoreRunning(bool running);
    // When a chore that ran a while ends unwatched, the desktop is to tell the user how it ended.
    bool announceChoreEnd(const QString &status, const QDateTime &started, const ChoreReport &report);

    Workspace &m_workspace;
    ChoreEndPrompts m_prompts;
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
    QProgressBar *m_progress = nullptr;
    QToolButton *m_cancel = nullptr;
    QLabel *m_notice = nullptr;
    QTimer *m_noticeTimer = nullptr;
    bool m_stoppingChore = false;
    ChoreRunner *m_chores = nullptr;
    QString m_choreStatus;
    // The chore commands that were enabled when a chore started, to enable again at its end.
    QList<QAction *> m_waitingCommands;
};
