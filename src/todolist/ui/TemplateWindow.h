#pragma once

#include "todolist/ChangelogTemplates.h"

#include <QWidget>

struct PageContext;
class Prompts;
class QCheckBox;
class QGroupBox;
class QPlainTextEdit;
class QSpinBox;
class TempFiles;

// TForm8, the options window: the changelog templates, what a changelog includes, whether
// temporary files are deleted permanently and how many backups to keep. Loads them from the
// settings folder when created and writes each change at once; there is no save or cancel,
// only Close.
class TemplateWindow : public QWidget
{
    Q_OBJECT

public:
    explicit TemplateWindow(const PageContext &context, QWidget *parent = nullptr);

    const ChangelogTemplates &templates() const { return m_templates; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    // The templates and the statuses a changelog takes.
    QWidget *changelogPage();
    // The program's own settings: the temporary files' disposal and the backups to keep.
    QWidget *generalPage();
    QGroupBox *templateGroup(ChangelogTemplates::Part part, const QString &caption, const char *memoName);
    QGroupBox *flagsGroup();
    QGroupBox *disposalGroup();
    // How many backups a backup folder keeps: a setting of the program, like the templates.
    QGroupBox *backupGroup();
    void saveText(ChangelogTemplates::Part part);
    void saveFlags();

    Prompts &m_prompts;
    TempFiles &m_tempFiles;
    QString m_folder;
    ChangelogTemplates m_templates;
    QPlainTextEdit *m_memos[3] = {};
    QCheckBox *m_flags[5] = {};
    QSpinBox *m_backupsToKeep = nullptr;
};
