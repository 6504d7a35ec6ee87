#pragma once

#include "todolist/ChangelogTemplates.h"

#include <QWidget>

struct PageContext;
class Prompts;
class QCheckBox;
class QGroupBox;
class QPlainTextEdit;

// TForm8: the changelog templates and what a changelog includes. Loads them from the settings
// folder when created and writes each change at once; there is no save or cancel.
class TemplateWindow : public QWidget
{
    Q_OBJECT

public:
    explicit TemplateWindow(const PageContext &context, QWidget *parent = nullptr);

    const ChangelogTemplates &templates() const { return m_templates; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    QGroupBox *templateGroup(ChangelogTemplates::Part part, const QString &caption, const char *memoName);
    QGroupBox *flagsGroup();
    void saveText(ChangelogTemplates::Part part);
    void saveFlags();

    Prompts &m_prompts;
    QString m_folder;
    ChangelogTemplates m_templates;
    QPlainTextEdit *m_memos[3] = {};
    QCheckBox *m_flags[5] = {};
};
