#include "app/BrowserSandbox.h"
#include "workspace/Workspace.h"
#include "widgets/CommandRunner.h"
#include "widgets/ScreenFit.h"
#include "app/ui/DesktopLauncher.h"
#include "app/ui/FontconfigWarmUp.h"
#include "app/ui/MainWindow.h"
#include "app/ui/QtPrompts.h"
#include "project/AppDataFolder.h"
#include "project/Error.h"
#include "project/ui/FolderBrowser.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    BrowserSandbox::prepareForCurrentUser(); // the changelog's browser engine reads it when it loads
    FontconfigWarmUp fonts; // while the application connects to the display
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Trovas"));
    QApplication::setApplicationDisplayName(QStringLiteral("Trovas"));
    QApplication::setApplicationVersion(QStringLiteral(TROVAS_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("trovas"));
    app.installEventFilter(new ScreenFit(&app));

    QtPrompts prompts;
    DesktopLauncher launcher([&prompts](const Error &error) { runCommand(prompts, [&error] { throw error; }); });
    QString settingsFolder = AppDataFolder::path();
    runCommand(prompts, [&settingsFolder] { settingsFolder = AppDataFolder::ensure(); });

    Workspace workspace(settingsFolder, prompts);
    fonts.wait();
    MainWindow window(workspace, prompts, launcher);
    prompts.setParentWindow(&window);
    prompts.setFolderBrowser([&window] { return window.folderBrowser(); });
    window.show();
    return QApplication::exec();
}
