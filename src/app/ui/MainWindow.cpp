#include "app/ui/MainWindow.h"

#include "app/ui/ChoreStart.h"
#include "app/ui/ChoreStopQuestion.h"
#include "app/ui/ProjectDrops.h"
#include "app/ClockText.h"
#include "workspace/Workspace.h"
#include "widgets/AccessibleNames.h"
#include "widgets/CloseOnEscape.h"
#include "widgets/CommandRunner.h"
#include "app/ui/DesktopColours.h"
#include "widgets/ElidedLabel.h"
#include "widgets/Icons.h"
#include "widgets/LogList.h"
#include "app/ui/InfoForm.h"
#include "widgets/NamedPage.h"
#include "widgets/PlaceholderLabel.h"
#include "docs/ui/DocumentBinding.h"
#include "docs/ui/RichTextPage.h"
#include "housekeeping/ui/CopyFilesPage.h"
#include "housekeeping/ui/FunctionsCommands.h"
#include "housekeeping/ui/TempExtensionsPage.h"
#include "housekeeping/ui/TempFilesPage.h"
#include "housekeeping/ui/ToolsPage.h"
#include "housekeeping/ui/ZipFoldersPage.h"
#include "i18n/ui/LanguageApplier.h"
#include "i18n/ui/LanguageWindow.h"
#include "platform/Prompts.h"
#include "project/DesktopRecentFiles.h"
#include "project/Error.h"
#include "project/ui/FolderBrowser.h"
#include "project/ui/ProjectPage.h"
#include "team/ui/DeveloperPage.h"
#include "todolist/Todos.h"
#include "widgets/Placement.h"
#include "widgets/ScrollingWhenShort.h"
#include "todolist/ui/TemplateWindow.h"
#include "todolist/ui/TodoPage.h"
#include "upload/ui/UploadPage.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScreen>
#include <QShortcut>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTabWidget>
#include <QTimer>

#include <span>

namespace {

// A status panel that asks for its designed width but gives way to the panel after it when the
// bar is too narrow for both, eliding its own text.
class YieldingPanel : public ElidedLabel
{
public:
    YieldingPanel(const QString &text, int width, QWidget *parent) : ElidedLabel(text, parent), m_width(width)
    {
        setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Preferred);
        // What a chore is doing ends in the file it is at.
        setElideMode(Qt::ElideMiddle);
    }
    QSize sizeHint() const override { return {m_width, QLabel::sizeHint().height()}; }

private:
    int m_width;
};

struct MenuEntry
{
    const char *name;
    const char *caption;
    QKeySequence shortcut = {};
};

const MenuEntry kFileMenu[] = {
    {"NewProject1", "New project", QKeySequence(Qt::CTRL | Qt::Key_N)},
    {"OpenProject1", "Open project", QKeySequence(Qt::CTRL | Qt::Key_O)}, {"OldProjects1", "Old projects"},
    {"N5", "-"}, {"Save1", "Save", QKeySequence(Qt::CTRL | Qt::Key_S)}, {"Saveproject1", "Save project"},
    {"Movepasswords1", "Move passwords to the keyring"}, {"N4", "-"}, {"Exit1", "Exit", QKeySequence(Qt::CTRL | Qt::Key_Q)}};

// What each command that ends the open project asks while a chore runs.
const char *const kCancelChoreAndQuit = "A chore is running. Cancel it and quit?";
const char *const kCancelChoreAndStartNew = "A chore is running. Cancel it and start a new project?";
const char *const kCancelChoreAndOpen = "A chore is running. Cancel it and open another project?";

// How long a notice such as "Saved" stays in the status bar.
constexpr int kNoticeMilliseconds = 4000;

const MenuEntry kFunctionsMenu[] = {
    {"Copyfiles1", "Copy files"}, {"Zipfolders1", "Zip folders"},
    {"FirstCopythenzip1", "First copy then zip", QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_C)},
    {"Uploadfiles1", "Upload files"}, {"N6", "-"}, {"Deletetemporaryfiles1", "Delete temporary files"},
    {"N3", "-"}, {"Backuptheproject1", "Backup the project"}, {"Runallscripts1", "Run all scripts/tools"}};

const MenuEntry kInfoMenu[] = {{"Options1", "Options"}, {"LAnguage1", "Language"}, {"Info2", "Info"}};

struct NavigationEntry
{
    const char *caption;
    const char *icon;
};

const NavigationEntry kNavigation[] = {
    {"Home", "nav/home.svg"}, {"Notes", "nav/notes.svg"}, {"To-Do", "nav/todo.svg"},
    {"Description", "nav/description.svg"}, {"License", "nav/license.svg"}, {"Temporary-files", "nav/tempfiles.svg"}};

// Puts a page in place of the tab's stand-in, keeping its caption.
void replaceTab(QTabWidget &tabs, int index, QWidget *page)
{
    QWidget *standIn = tabs.widget(index);
    const QString caption = tabs.tabText(index);
    tabs.removeTab(index);
    tabs.insertTab(index, page, caption);
    delete standIn;
}

QMenu *addMenu(QMenuBar *bar, const char *name, const QString &caption, std::span<const MenuEntry> entries)
{
    QMenu *menu = bar->addMenu(caption);
    menu->setObjectName(QLatin1String(name));
    for (const MenuEntry &entry : entries) {
        if (qstrcmp(entry.caption, "-") == 0) {
            menu->addSeparator()->setObjectName(QLatin1String(entry.name));
            continue;
        }
        QAction *action = menu->addAction(QString::fromLatin1(entry.caption));
        action->setObjectName(QLatin1String(entry.name));
        action->setShortcut(entry.shortcut);
    }
    return menu;
}

} // namespace

MainWindow::MainWindow(Workspace &workspace, Prompts &prompts, Launcher &launcher, QWidget *parent)
    : QMainWindow(parent), m_workspace(workspace), m_prompts(prompts, *this),
      m_context{workspace, m_prompts, launcher, *this}
{
    setObjectName(QStringLiteral("TForm1"));
    // The desktop's light or dark colours, before anything is drawn.
    new DesktopColours(this);

    m_chores = new ChoreRunner(this);
    m_chores->setObjectName(QStringLiteral("ChoreRunner"));
    buildMenus();
    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(buildTopBar());
    auto *splitter = new QSplitter(Qt::Horizontal, central);
    splitter->setObjectName(QStringLiteral("Splitter1"));
    splitter->addWidget(buildLeftColumn());
    splitter->addWidget(scrollingWhenShort(buildPages()));
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({185, 949 - 185});
    layout->addWidget(splitter, 1);
    setCentralWidget(central);
    buildStatusBar();
    m_choreStart->setWaiting(
        [this] {
            QList<QAction *> commands = findChild<QMenu *>(QStringLiteral("Edit1"))->actions();
            // New, Open and Old projects stay: they ask whether to cancel the chore.
            return commands << toolsMenu()->menuAction() << action(QStringLiteral("Opentheproject1"));
        },
        {m_pages, m_navigation});
    m_choreStop = std::make_unique<ChoreStopQuestion>(*m_chores, m_prompts, m_prompts, [this] {
        m_choreStart->showStatus(QStringLiteral("Cancelling"));
    });
    new ProjectDrops(*this, *m_chores, [this](const QString &path) { openProject(path); });

    Project &project = m_workspace.project;
    connect(&project, &Project::nameChanged, this, [this](const QString &name) {
        m_title->setOwnText(name);
        updateProjectPanel();
    });
    // After a load and after New project, also when the name stayed empty: no stale task count,
    // and the title shows the project, no longer "Project name".
    connect(&m_workspace.commands, &ProjectCommands::documentReplaced, this, [this] {
        m_title->setOwnText(m_workspace.project.data().name);
        updateProjectPanel();
    });
    connect(&m_workspace.recent, &RecentProjects::changed, this, &MainWindow::buildOldProjectsMenu);
    connect(&m_workspace.commands, &ProjectCommands::loaded, this, &MainWindow::addToDesktopRecentFiles);
    connect(&project, &Project::modifiedChanged, this, &QWidget::setWindowModified);
    connect(&project, &Project::pathChanged, this, &MainWindow::showProjectFile);
    showProjectFile(project.data().path);
    connect(&m_workspace.commands, &ProjectCommands::saved, this, [this] { showNotice(QStringLiteral("Saved")); });

    auto *clock = new QTimer(this);
    clock->setObjectName(QStringLiteral("Timer1"));
    connect(clock, &QTimer::timeout, this, &MainWindow::showClock);
    clock->start(1000);

    resize(949, 560);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    runCommand(m_prompts, [this] { buildOldProjectsMenu(); });
    // The texts of the chosen language, for what is made by now; what is made later takes them
    // as it is made.
    runCommand(m_prompts, [this] { loadAndApplyLanguage(m_workspace.localisation, *this); });
    // The first screen shows the home page only; the other pages follow once the window is up,
    // and so does the icon, which the window system takes drawn at several sizes.
    QTimer::singleShot(0, this, [this] {
        setWindowIcon(Icons::application());
        buildOtherPages();
    });
}

MainWindow::~MainWindow() = default;

QAction *MainWindow::action(const QString &objectName) const
{
    return findChild<QAction *>(objectName);
}

void MainWindow::buildMenus()
{
    QMenuBar *bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    addMenu(bar, "File1", QStringLiteral("File"), kFileMenu);
    addMenu(bar, "Edit1", QStringLiteral("Functions"), kFunctionsMenu);
    QMenu *tools = bar->addMenu(QStringLiteral("Scripts/Tools"));
    tools->setObjectName(QStringLiteral("Commands1"));
    QAction *loadTheProject = bar->addAction(QStringLiteral("Load the project"));
    loadTheProject->setObjectName(QStringLiteral("Opentheproject1"));
    addMenu(bar, "Info1", QStringLiteral("?"), kInfoMenu);

    // The old projects entry becomes a submenu, filled from the recent projects.
    QAction *oldProjects = action(QStringLiteral("OldProjects1"));
    m_oldProjects = new QMenu(this);
    m_oldProjects->setObjectName(QStringLiteral("OldProjectsMenu"));
    oldProjects->setMenu(m_oldProjects);

    // A chore stays visible but disabled until a page binds its command.
    for (QAction *entry : findChild<QMenu *>(QStringLiteral("Edit1"))->actions())
        entry->setEnabled(false);
    loadTheProject->setEnabled(false);

    ProjectCommands &commands = m_workspace.commands;
    bindCommand("NewProject1", [this, &commands] {
        if (mayReplaceProject(QLatin1String(kCancelChoreAndStartNew)))
            commands.newProject();
    });
    bindCommand("OpenProject1", [this] { openProject(); });
    bindCommand("Save1", [&commands] { commands.save(); });
    bindCommand("Saveproject1", [&commands] { commands.saveAs(); });
    bindCommand("Exit1", [this] { close(); });
    bindCommand("Options1", [this] {
        buildOtherPages();
        showToolWindow(m_optionsWindow);
    });
    bindCommand("LAnguage1", [this] {
        buildOtherPages();
        showToolWindow(m_languageWindow);
    });
    bindCommand("Info2", [this] { showToolWindow(infoWindow()); });

    // F10 opens the menu bar, as on other desktops.
    auto *menuKey = new QShortcut(QKeySequence(Qt::Key_F10), this);
    connect(menuKey, &QShortcut::activated, bar, [bar] {
        if (!bar->actions().isEmpty())
            bar->setActiveAction(bar->actions().first());
    });
}

void MainWindow::bindCommand(const char *name, const std::function<void()> &command)
{
    QAction *entry = action(QLatin1String(name));
    entry->setEnabled(true);
    connect(entry, &QAction::triggered, this, [this, command] { runCommand(m_prompts, command); });
}

QWidget *MainWindow::buildTopBar()
{
    auto *bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("Panel15"));
    bar->setFixedHeight(33);
    auto *layout = new QHBoxLayout(bar);
    layout->setContentsMargins(8, 0, 8, 0);
    m_title = new PlaceholderLabel(QStringLiteral("Project name"), bar);
    m_title->setObjectName(QStringLiteral("Label1"));
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(21);
    m_title->setFont(font);
    layout->addWidget(m_title);
    return bar;
}

QWidget *MainWindow::buildLeftColumn()
{
    auto *column = new QSplitter(Qt::Vertical, this);
    column->setObjectName(QStringLiteral("Splitter2"));
    m_navigation = new QListWidget(column);
    m_navigation->setObjectName(QStringLiteral("ListView1"));
    m_navigation->setAccessibleName(QStringLiteral("Pages"));
    m_navigation->setIconSize(QSize(24, 24));
    m_navigation->setSpacing(2);
    for (const NavigationEntry &entry : kNavigation)
        new QListWidgetItem(Icons::named(QLatin1String(entry.icon)), QString::fromLatin1(entry.caption), m_navigation);
    m_navigation->setCurrentRow(0);
    m_navigation->installEventFilter(this);
    m_navigation->viewport()->installEventFilter(this);

    auto *log = new LogList(m_prompts, column);
    log->setObjectName(QStringLiteral("ListBox1"));
    log->setAccessibleName(QStringLiteral("Log"));
    // The log of the chores (the FTP client's, for uploads): newest line at the top, kept
    // until the program ends.
    connect(m_chores, &ChoreRunner::logged, log, &LogList::addLine);
    column->addWidget(m_navigation);
    column->addWidget(log);
    column->setSizes({560 - 33 - 20 - 124, 124});
    column->setStretchFactor(0, 1);
    column->setMinimumWidth(120);
    return column;
}

QWidget *MainWindow::buildPages()
{
    m_pages = new QStackedWidget(this);
    m_pages->setObjectName(QStringLiteral("PageControl1"));
    m_pages->addWidget(namedPage("TabSheet1", buildHomeTabs()));
    return m_pages;
}

void MainWindow::buildOtherPages()
{
    if (m_otherPagesBuilt)
        return;
    m_otherPagesBuilt = true;
    const QList<QObject *> before = findChildren<QObject *>();
    const QSet<const QObject *> existing(before.cbegin(), before.cend());

    QWidget *const homePages[] = {new DeveloperPage(m_context), new TempExtensionsPage(m_context),
                                  new CopyFilesPage(m_context), new ZipFoldersPage(m_context),
                                  new UploadPage(m_context),    new ToolsPage(m_context)};
    for (int index = 1; QWidget *page : homePages)
        replaceTab(*m_homeTabs, index++, page);

    auto *notes = new QPlainTextEdit;
    notes->setObjectName(QStringLiteral("Memo1"));
    new DocumentBinding(m_workspace.project, ProjectList::Notes, notes->document());
    m_pages->addWidget(namedPage("TabSheet4", notes));
    m_pages->addWidget(new TodoPage(m_context));
    m_pages->addWidget(new RichTextPage(m_context, ProjectList::Description));
    m_pages->addWidget(new RichTextPage(m_context, ProjectList::License));
    m_pages->addWidget(new TempFilesPage(m_context));
    // The pages show no tabs: each is named by its navigation entry, and so is what fills it.
    for (int row = 0; row < m_pages->count(); ++row)
        AccessibleNames::nameBy(m_pages->widget(row), [this, row] { return m_navigation->item(row)->text(); });
    AccessibleNames::nameAfterPage(notes);
    // The options window reads the changelog templates as it is made.
    m_optionsWindow = new TemplateWindow(m_context, this);
    m_languageWindow = new LanguageWindow(m_workspace.localisation, m_prompts, *this);
    closeOnEscape(m_languageWindow);
    applyLanguageToNew(m_workspace.localisation.table(), *this, existing);
}

QTabWidget *MainWindow::buildHomeTabs()
{
    m_homeTabs = new QTabWidget;
    m_homeTabs->setObjectName(QStringLiteral("PageControl2"));
    m_homeTabs->setDocumentMode(true);
    AccessibleNames::nameAfterPage(m_homeTabs);
    m_homeTabs->addTab(new ProjectPage(m_workspace.project, m_prompts), QStringLiteral("Project"));
    // The other tabs show their captions at once and get their pages with the other pages.
    for (const char *caption : {"Developer", "Temporary files", "Copy files", "Zip folders", "Upload files", "Scripts/Tools"})
        m_homeTabs->addTab(new QWidget, QString::fromLatin1(caption));
    connect(m_homeTabs, &QTabWidget::currentChanged, this, &MainWindow::buildOtherPages);
    new FunctionsCommands(m_context, m_homeTabs);
    return m_homeTabs;
}

void MainWindow::buildStatusBar()
{
    QStatusBar *bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar"));
    bar->setSizeGripEnabled(false);
    const char *texts[] = {"Date", "Project", "Files"};
    // The files panel takes the rest of the bar; where that is too little for its count, the
    // Project panel narrows rather than have the two texts run over each other.
    m_panels[0] = new QLabel(QString::fromLatin1(texts[0]), bar);
    m_panels[1] = new YieldingPanel(QString::fromLatin1(texts[1]), 400, bar);
    auto *files = new ElidedLabel(QString::fromLatin1(texts[2]), bar);
    // The count fits any window; what is longer is cut.
    files->setWholeWidth(400);
    m_panels[2] = files;
    for (int i = 0; i < 3; ++i) {
        m_panels[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        m_panels[i]->setContentsMargins(4, 0, 4, 0);
    }
    m_panels[0]->setFixedWidth(200);
    bar->addWidget(m_panels[0]);
    bar->addWidget(m_panels[1]);
    bar->addWidget(m_panels[2], 1);
    m_notice = new QLabel(bar);
    m_notice->setObjectName(QStringLiteral("StatusNotice"));
    m_notice->setContentsMargins(4, 0, 4, 0);
    m_noticeTimer = new QTimer(this);
    m_noticeTimer->setSingleShot(true);
    m_noticeTimer->setInterval(kNoticeMilliseconds);
    connect(m_noticeTimer, &QTimer::timeout, m_notice, &QLabel::clear);
    bar->addPermanentWidget(m_notice);
    m_choreStart = new ChoreStart(*m_chores, m_prompts,
                                  {*this, *bar, *m_panels[1], [this] { return m_workspace.project.data().name; }, m_now});
    connect(m_choreStart, &ChoreStart::ended, this, &MainWindow::updateProjectPanel);
}

void MainWindow::runChore(const QString &status, ChoreRunner::Work work, ChoreRunner::Done done)
{
    m_choreStart->run(status, std::move(work), std::move(done));
}

bool MainWindow::isChoreRunning() const
{
    return m_chores->isRunning();
}

void MainWindow::showProjectFile(const QString &path)
{
    // "perf.dev* - Trovas" while there are unsaved changes: the program's name stays last,
    // where the desktop looks for it, and two projects of the same name are told apart.
    setWindowFilePath(path);
    // A "[*]" in the name itself is doubled, so it shows as it is.
    const QString file = QFileInfo(path).fileName().replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
    setWindowTitle(file.isEmpty() ? QStringLiteral("[*]Trovas") : file + QStringLiteral("[*] - Trovas"));
    m_title->setToolTip(QDir::toNativeSeparators(path));
}

void MainWindow::addToDesktopRecentFiles()
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    // A convenience beside the opened project: a list that cannot take it is no reason to
    // interrupt the user.
    try {
        DesktopRecentFiles::add(DesktopRecentFiles::listPath(), m_workspace.project.data().path,
                                QStringLiteral("application/x-trovas-project"), m_now());
    } catch (const Error &error) {
        qWarning("%s", qPrintable(error.message()));
    }
#endif
}

void MainWindow::updateProjectPanel()
{
    const ProjectData &data = m_workspace.project.data();
    const int open = Todos::countOpenTasks(data.todos);
    m_panels[1]->setText(data.name + QStringLiteral(" - (") + QString::number(open)
                         + (open == 1 ? QStringLiteral(" task to do)") : QStringLiteral(" tasks to do)")));
}

void MainWindow::setFilesPanel(const QString &text)
{
    m_panels[2]->setText(text);
}

void MainWindow::setClock(std::function<QDateTime()> now)
{
    m_now = std::move(now);
    m_prompts.setClock(m_now);
}

void MainWindow::showClock()
{
    m_panels[0]->setText(clockText(m_now(), QLocale::system()));
}

void MainWindow::buildOldProjectsMenu()
{
    const std::optional<QStringList> entries = m_workspace.recent.menuEntries();
    if (!entries)
        return;
    m_oldProjects->clear();
    for (const QString &path : *entries) {
        // The caption shows "&" literally; the entry opens the real path.
        QAction *entry = m_oldProjects->addAction(QString(path).replace(QLatin1Char('&'), QStringLiteral("&&")));
        connect(entry, &QAction::triggered, this, [this, path] { openProject(path); });
    }
}

void MainWindow::openProject()
{
    if (!mayReplaceProject(QLatin1String(kCancelChoreAndOpen)))
        return;
    if (const std::optional<QString> path = m_prompts.openFile(QStringLiteral("Project (*.dev)")))
        loadProject(*path);
}

void MainWindow::loadProject(const QString &path)
{
    // A large project takes a while to read and sort: a chore, while the window stays live.
    // The loaded project then replaces the open one in one step.
    ProjectCommands &commands = m_workspace.commands;
    commands.beginLoad(path);
    auto data = std::make_shared<ProjectData>();
    runChore(QStringLiteral("Loading ") + path,
             [&commands, path, data](ChoreProgress &progress) { *data = commands.readForLoad(path, &progress); },
             [&commands, data](const ChoreReport &report) {
                 if (!report.cancelled)
                     commands.finishLoad(std::move(*data));
             });
}

void MainWindow::openProject(const QString &path)
{
    runCommand(m_prompts, [this, &path] {
        if (mayReplaceProject(QLatin1String(kCancelChoreAndOpen)))
            loadProject(path);
    });
}

bool MainWindow::mayReplaceProject(const QString &choreQuestion)
{
    return m_choreStop->stopFirst(choreQuestion) && m_workspace.commands.settleUnsavedChanges();
}

void MainWindow::showNotice(const QString &text)
{
    m_notice->setText(text);
    m_noticeTimer->start();
}

void MainWindow::showToolWindow(QWidget *window)
{
    if (!window->isVisible())
        centreOnParentWindow(window);
    window->show();
    window->raise();
    window->activateWindow();
}

void MainWindow::switchPage()
{
    const QList<QListWidgetItem *> selected = m_navigation->selectedItems();
    buildOtherPages();
    if (!selected.isEmpty())
        m_pages->setCurrentIndex(m_navigation->row(selected.first()));
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    const bool navigation = watched == m_navigation || watched == m_navigation->viewport();
    if (navigation && (event->type() == QEvent::KeyRelease || event->type() == QEvent::MouseButtonRelease))
        switchPage();
    return QMainWindow::eventFilter(watched, event);
}

bool MainWindow::event(QEvent *event)
{
    // A hint shown in place of the status bar's panels would hide the clock and the counts:
    // it goes beside them.
    if (event->type() == QEvent::StatusTip && m_notice) {
        const QString tip = static_cast<QStatusTipEvent *>(event)->tip();
        if (!tip.isEmpty() || !m_noticeTimer->isActive())
            m_notice->setText(tip);
        return true;
    }
    return QMainWindow::event(event);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    // A running chore is cancelled and unsaved changes are settled first, as the user says.
    bool mayClose = false;
    runCommand(m_prompts, [this, &mayClose] { mayClose = mayReplaceProject(QLatin1String(kCancelChoreAndQuit)); });
    if (!mayClose) {
        event->ignore();
        return;
    }
    // From here on no change reaction runs.
    m_chores->cancelAndWait();
    m_workspace.project.blockSignals(true);
    event->accept();
}

FolderBrowser *MainWindow::folderBrowser()
{
    if (!m_folderBrowser)
        m_folderBrowser = new FolderBrowser(this);
    return m_folderBrowser;
}

QWidget *MainWindow::infoWindow()
{
    if (!m_infoWindow)
        m_infoWindow = new InfoForm(this);
    return m_infoWindow;
}

QMenu *MainWindow::toolsMenu() const
{
    return findChild<QMenu *>(QStringLiteral("Commands1"));
}
