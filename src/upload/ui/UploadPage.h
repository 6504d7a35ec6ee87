#pragma once

#include "upload/TransferQueue.h"
#include "upload/ui/PasswordCommands.h"

#include <QWidget>

struct PageContext;
class Frame;
class Project;
class Prompts;
class QHBoxLayout;
class RecordListView;
class TransferListView;
class UploadDialog;

// TabSheet13: the project's uploads, the "Upload files" command that runs them and its
// preview, and the list of the files the last run sent.
class UploadPage : public QWidget
{
    Q_OBJECT

public:
    explicit UploadPage(const PageContext &context, QWidget *parent = nullptr);

private:
    QHBoxLayout *transfersAtOnceRow();
    void editFirstSelected();
    void removeSelected();
    void uploadFiles();
    void previewUploads();

    Project &m_project;
    Prompts &m_prompts;
    Frame &m_frame;
    RecordListView *m_list = nullptr;
    PasswordCommands m_passwords;
    UploadDialog *m_dialog = nullptr;
    QString m_settingsFolder;
    TransferQueue m_queue; // the files of the last run, kept until the next
    TransferListView *m_transfers = nullptr;
};
