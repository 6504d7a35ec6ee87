#pragma once

#include "todolist/ChangelogTemplates.h"

#include <QWidget>

struct PageContext;
class Prompts;
class QBoxLayout;
class QCheckBox;
class QGroupBox;
class QPlainTextEdit;
class QSpinBox;
class TempFiles;

// TForm8, the options window: the changelog templates, what a changelog includes, whether
// temporary files are deleted permanently and how many backups to keep. Loads them from the
// settings folder when created and writes each change at once; there is no save or cancel.
class TemplateWindow : public QWidget
{
    Q_OBJECT

public:
    explicit TemplateWindow(const PageContext &context, QWidget *parent = nullptr);

    const ChangelogTemplates &templates() const { return m_templates; }

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QGroupBox *templateGroup(ChangelogTemplates::Part part, const QString &caption, const char *memoName);
    QGroupBox *flagsGroup();
    QGroupBox *disposalGroup();
    // How many backups a backup folder keeps: a setting of the program, like the templates.
    QGroupBox *backupGroup();
    // The settings side by side where the window is wide enough for them, else one above the
    // other: a narrow screen at a large scale scrolls the window down, never sideways.
    void reflowSettings(int windowWidth);
    void saveText(ChangelogTemplates::Part part);
    void saveFlags();

    Prompts &m_prompts;
    TempFiles &m_tempFiles;
    QString m_folder;
    ChangelogTemplates m_templates;
    QPlainTextEdit *m_memos[3] = {};
    QCheckBox *m_flags[5] = {};
    QSpinBox *m_backupsToKeep = nullptr;
    QBoxLayout *m_settingsRow = nullptr;
};
