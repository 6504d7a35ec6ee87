#pragma once

#include "upload/ui/PasswordCommands.h"

#include <QWidget>

struct PageContext;
class Frame;
class Project;
class Prompts;
class RecordListView;
class UploadDialog;

// TabSheet13: the project's uploads, and the "Upload files" command that runs them.
class UploadPage : public QWidget
{
    Q_OBJECT

public:
    explicit UploadPage(const PageContext &context, QWidget *parent = nullptr);

private:
    void editFirstSelected();
    void removeSelected();
    void uploadFiles();

    Project &m_project;
    Prompts &m_prompts;
    Frame &m_frame;
    RecordListView *m_list = nullptr;
    PasswordCommands m_passwords;
    UploadDialog *m_dialog = nullptr;
};
