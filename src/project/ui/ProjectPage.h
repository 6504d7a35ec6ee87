#pragma once

#include <QWidget>

class Project;
class Prompts;
class QCheckBox;
class QLabel;
class QLineEdit;
class QVBoxLayout;
class QToolButton;

// TabSheet9: the project's settings, edited in place; every change goes straight to the project.
class ProjectPage : public QWidget
{
    Q_OBJECT

public:
    ProjectPage(Project &project, Prompts &prompts, QWidget *parent = nullptr);

private:
    QLineEdit *addField(const QString &label, const char *labelName, const char *name);
    QToolButton *addPicker(QLineEdit *field, const char *name, const QString &icon, const QString &tip);
    QCheckBox *addCheckBox(const QString &caption, const char *name);
    QLabel *addHint(const char *name);
    void showSettings();
    // Under the folder fields: the full path a relative folder stands for, or why no chore takes it.
    void showHints();
    void showEvent(QShowEvent *event) override;
    void pickMainFile();

    Project &m_project;
    Prompts &m_prompts;
    QVBoxLayout *m_layout;
    QLineEdit *m_name, *m_version, *m_mainFile, *m_projectFolder, *m_backupFolder;
    QCheckBox *m_includeSubfolders, *m_zipWithFolderNames;
    QLabel *m_projectFolderHint, *m_backupFolderHint;
};
