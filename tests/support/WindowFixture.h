#pragma once

#include "app/ui/MainWindow.h"
#include "support/TestSupport.h"
#include "workspace/Workspace.h"

#include <QAction>
#include <QTabWidget>
#include <QtTest>

// The main window as the program makes it, on a settings folder of the test's, with every
// question answered from a script and what it asks the desktop to open recorded. For the tests
// of the window and its pages, which link the widget layer.
class WindowFixture
{
public:
    explicit WindowFixture(const QString &settingsFolder)
        : workspace(settingsFolder, prompts), window(workspace, prompts, launcher)
    {
    }

    ScriptedPrompts prompts;
    RecordingLauncher launcher;
    Workspace workspace;
    MainWindow window;

    // The window's part of that type and objectName; a test that misses one cannot go on.
    template <typename T = QWidget>
    T *widget(const QString &name) const
    {
        T *found = window.findChild<T *>(name);
        if (!found)
            qFatal("no %s named %s", T::staticMetaObject.className(), qPrintable(name));
        return found;
    }
    template <typename T = QWidget>
    T *widget(const char *name) const { return widget<T>(QLatin1String(name)); }
    void trigger(const char *action) const { widget<QAction>(action)->trigger(); }
    // Brings up a tab of the Project page (TabSheet11 copies, TabSheet13 uploads, ...), as the
    // user's click on it would.
    void showProjectTab(const char *tabSheet) const
    {
        widget<QTabWidget>("PageControl2")->setCurrentWidget(widget(tabSheet));
    }

    // Shows the window and waits until it is on screen; false when it never got there.
    [[nodiscard]] bool show()
    {
        window.show();
        return QTest::qWaitForWindowExposed(&window);
    }
    // Shows the window and gives it the focus, as the user's click would.
    [[nodiscard]] bool showAndActivate()
    {
        if (!show())
            return false;
        window.activateWindow();
        return QTest::qWaitForWindowActive(&window);
    }
};
