#include "app/ui/PasswordPrompt.h"
#include "project/ui/FolderBrowser.h"
#include "support/TestSupport.h"
#include "support/WindowFixture.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QButtonGroup>
#include <QListWidget>
#include <QMenu>
#include <QRadioButton>
#include <QTabBar>
#include <QToolButton>
#include <QtTest>

// What a screen reader finds in the windows: every control it can reach says what it is, and
// every button can be reached from the keyboard.
class AccessibilityTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void mainWindow_everyPageNamesItsControls();
    void dialogs_nameTheirControls_data();
    void dialogs_nameTheirControls();
    void pageNames_followTheLanguage();
    void listMenus_openFromTheKeyboard_data();
    void listMenus_openFromTheKeyboard();

private:
    IsolatedHome m_home;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<WindowFixture> m_fixture;
};

namespace {

QString describe(const QObject *object)
{
    if (!object)
        return QStringLiteral("?");
    const QString name = object->objectName().isEmpty() ? QLatin1String(object->metaObject()->className())
                                                        : object->objectName();
    const QWidget *widget = qobject_cast<const QWidget *>(object);
    return widget && widget->window() != widget ? widget->window()->objectName() + QLatin1Char('/') + name : name;
}

// The controls a screen reader reaches below `node` that say no name. The entries of lists,
// tables and trees say their own text and are not looked into.
void collectUnnamed(QAccessibleInterface *node, QSet<QString> &unnamed)
{
    const QAccessible::State state = node->state();
    if (state.invisible)
        return;
    if (state.focusable && node->text(QAccessible::Name).trimmed().isEmpty())
        unnamed.insert(describe(node->object()));
    switch (node->role()) {
    case QAccessible::List:
    case QAccessible::Table:
    case QAccessible::Tree:
        return;
    default:
        break;
    }
    for (int i = 0; i < node->childCount(); ++i)
        if (QAccessibleInterface *child = node->child(i))
            collectUnnamed(child, unnamed);
}

// Whether the arrow keys reach `button` from a choice of its group that Tab reaches.
bool byArrowKeys(const QAbstractButton *button)
{
    const QButtonGroup *group = button->group();
    if (!group || !group->exclusive())
        return false;
    const QList<QAbstractButton *> choices = group->buttons();
    return std::any_of(choices.cbegin(), choices.cend(),
                       [](const QAbstractButton *choice) { return choice->focusPolicy() & Qt::TabFocus; });
}

// Buttons shown in `window` that neither Tab nor a shortcut reaches. The arrows of a tab bar
// are left to its arrow keys, as are the choices of a group.
void collectUnreachable(const QWidget &window, QSet<QString> &unreachable)
{
    for (const QAbstractButton *button : window.findChildren<const QAbstractButton *>()) {
        if (!button->isVisibleTo(&window) || qobject_cast<const QTabBar *>(button->parentWidget())
            || byArrowKeys(button))
            continue;
        const auto *tool = qobject_cast<const QToolButton *>(button);
        const bool byShortcut = tool && tool->defaultAction() && !tool->defaultAction()->shortcut().isEmpty();
        if (!(button->focusPolicy() & Qt::TabFocus) && !byShortcut)
            unreachable.insert(describe(button));
    }
}

void checkWindow(QWidget &window, QSet<QString> &unnamed, QSet<QString> &unreachable)
{
    collectUnnamed(QAccessible::queryAccessibleInterface(&window), unnamed);
    collectUnreachable(window, unreachable);
}

} // namespace

void AccessibilityTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_fixture = std::make_unique<WindowFixture>(m_dir->path());
    m_fixture->window.buildOtherPages();
    QVERIFY(m_fixture->show());
}

void AccessibilityTest::cleanup()
{
    QVERIFY2(m_fixture->prompts.errors.isEmpty(), qPrintable(m_fixture->prompts.errors.join(u'\n')));
    m_fixture.reset();
}

void AccessibilityTest::mainWindow_everyPageNamesItsControls()
{
    QSet<QString> unnamed;
    QSet<QString> unreachable;
    auto *navigation = m_fixture->widget<QListWidget>("ListView1");
    auto *homeTabs = m_fixture->widget<QTabWidget>("PageControl2");
    for (int row = 0; row < navigation->count(); ++row) {
        navigation->setCurrentRow(row);
        QTest::keyRelease(navigation, Qt::Key_Control); // a key's release in the list switches the page
        for (int tab = 0; tab < (row == 0 ? homeTabs->count() : 1); ++tab) {
            homeTabs->setCurrentIndex(tab);
            checkWindow(m_fixture->window, unnamed, unreachable);
        }
    }
    QCOMPARE(unnamed, QSet<QString>());
    QCOMPARE(unreachable, QSet<QString>());
}

void AccessibilityTest::dialogs_nameTheirControls_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("command");
    QTest::newRow("options") << "TForm8" << "Options1";
    QTest::newRow("language") << "TForm2" << "LAnguage1";
    QTest::newRow("info") << "TInfoForm" << "Info2";
    QTest::newRow("to-do") << "TForm3" << "Add2";
    QTest::newRow("developer") << "TForm4" << "Newdeveloper1";
    QTest::newRow("upload") << "TForm5" << "Newupload1";
    QTest::newRow("changelog") << "TForm7" << QString();
    QTest::newRow("folder browser") << "TForm6" << QString();
    QTest::newRow("password") << "PasswordPrompt" << QString();
}

void AccessibilityTest::dialogs_nameTheirControls()
{
    QFETCH(QString, window);
    QFETCH(QString, command);
    m_fixture->window.folderBrowser();
    PasswordPrompt password(QStringLiteral("ann@example.org"), true, false, &m_fixture->window);
    password.setObjectName(QStringLiteral("PasswordPrompt"));
    if (!command.isEmpty())
        m_fixture->widget<QAction>(command)->trigger();
    auto *shown = m_fixture->widget(window);
    shown->show();
    QVERIFY(QTest::qWaitForWindowExposed(shown));

    QSet<QString> unnamed;
    QSet<QString> unreachable;
    checkWindow(*shown, unnamed, unreachable);
    QCOMPARE(unnamed, QSet<QString>());
    QCOMPARE(unreachable, QSet<QString>());
}

// A list is named by its tab, an editor by its navigation entry, in the language chosen.
void AccessibilityTest::pageNames_followTheLanguage()
{
    const auto nameOf = [this](const char *control) {
        return QAccessible::queryAccessibleInterface(m_fixture->widget(control))->text(QAccessible::Name);
    };
    QCOMPARE(nameOf("ListBox4"), QStringLiteral("Zip folders"));
    QCOMPARE(nameOf("Editor2"), QStringLiteral("License"));
    QCOMPARE(nameOf("Edit4"), QStringLiteral("Project name:"));

    m_fixture->trigger("LAnguage1");
    m_fixture->widget<QRadioButton>("Deutsch")->click();
    QCOMPARE(nameOf("ListBox4"), QStringLiteral("Packen"));
    QCOMPARE(nameOf("Editor2"), QStringLiteral("Lizenz"));
}

void AccessibilityTest::listMenus_openFromTheKeyboard_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::newRow("menu key") << int(Qt::Key_Menu) << int(Qt::NoModifier);
    QTest::newRow("Shift+F10") << int(Qt::Key_F10) << int(Qt::ShiftModifier);
}

void AccessibilityTest::listMenus_openFromTheKeyboard()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    m_fixture->showProjectTab("TabSheet12");
    auto *list = m_fixture->widget("ListBox4");
    auto *menu = m_fixture->widget<QMenu>("PopupMenu5");
    QTest::keyClick(list, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QTRY_VERIFY(menu->isVisible());
    QTest::keyClick(menu, Qt::Key_Down);
    m_fixture->prompts.answers = {m_dir->path()};
    QTest::keyClick(menu, Qt::Key_Return);
    QTRY_COMPARE(m_fixture->workspace.project.data().zipFolders, QStringList{m_dir->path() + QLatin1Char('/')});
}

QTEST_MAIN(AccessibilityTest)
#include "accessibility_gui_test.moc"
