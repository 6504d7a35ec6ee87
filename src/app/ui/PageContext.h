#pragma once

class Launcher;
class MainWindow;
class Prompts;
struct Workspace;

// What a page of the main window works with: the project and its commands, the dialogs,
// the desktop, and the frame's menus and status bar.
struct PageContext
{
    Workspace &workspace;
    Prompts &prompts;
    Launcher &launcher;
    MainWindow &window;
};
