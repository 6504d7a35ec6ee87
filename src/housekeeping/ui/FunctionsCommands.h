#pragma once

#include <QObject>

struct PageContext;
class Frame;
class Project;
class Prompts;

// The chores of the Functions menu: "Copy files", "Zip folders", "First copy then zip" and
// "Backup the project". Each runs as the window's chore on the lists and settings as they are
// when it starts, and ends with "Finished" or with what was not done and why.
class FunctionsCommands : public QObject
{
    Q_OBJECT

public:
    explicit FunctionsCommands(const PageContext &context, QObject *parent = nullptr);

private:
    void copyFiles();
    void zipFolders();
    void copyThenZip();
    void backup();

    Project &m_project;
    Prompts &m_prompts;
    Frame &m_frame;
    QString m_settingsFolder;
};
