#pragma once

class Frame;
class Launcher;
class Prompts;
struct Workspace;

// What a page of the main window works with: the project and its commands, the dialogs,
// the desktop, and the frame's menus, status bar and chores.
struct PageContext
{
    Workspace &workspace;
    Prompts &prompts;
    Launcher &launcher;
    Frame &frame;
};
