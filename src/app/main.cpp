#include "app/BrowserSandbox.h"
#include "app/StartOptions.h"
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
#include <QTimer>

#include <cstdio>
#include <memory>

namespace {

void nameApplication()
{
    QCoreApplication::setApplicationName(QStringLiteral("Trovas"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TROVAS_VERSION));
}

// The arguments, read before the window system loads: help and version need no display.
StartOptions readArguments(int argc, char *argv[])
{
    const QCoreApplication plain(argc, argv);
    nameApplication();
    return StartOptions::parse(QCoreApplication::arguments());
}

} // namespace

int main(int argc, char *argv[])
{
    const StartOptions options = readArguments(argc, argv);
    switch (options.action) {
    case StartOptions::Action::ShowHelp:
        std::fputs(qPrintable(options.text), stdout);
        return 0;
    case StartOptions::Action::ShowVersion:
        std::printf("trovas %s\n", TROVAS_VERSION);
        return 0;
    case StartOptions::Action::UsageError:
        std::fprintf(stderr, "trovas: %s\nRun \"trovas --help\" for how to use it.\n", qPrintable(options.text));
        return 2;
    case StartOptions::Action::OpenWindow:
        break;
    }

    BrowserSandbox::prepareForCurrentUser(); // the changelog's browser engine reads it when it loads
    FontconfigWarmUp fonts; // while the application connects to the display
    QApplication app(argc, argv);
    nameApplication();
    QApplication::setApplicationDisplayName(QStringLiteral("Trovas"));
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
    // Once the window is up: opening may ask, and it reports into the window.
    if (!options.project.isEmpty())
        QTimer::singleShot(0, &window, [&window, &options] { window.openProject(options.project); });
    return QApplication::exec();
}
