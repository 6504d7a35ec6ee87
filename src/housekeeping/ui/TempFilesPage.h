#pragma once

#include <QWidget>

class Frame;
struct PageContext;
class Prompts;
class QListView;
class QStringListModel;
class TempFiles;

// TabSheet6: the temporary files found in the project folder, and the status bar's count.
class TempFilesPage : public QWidget
{
    Q_OBJECT

public:
    explicit TempFilesPage(const PageContext &context, QWidget *parent = nullptr);

private:
    // Asks, then deletes the files as the window's chore and lists the folder again.
    void deleteFiles(const QStringList &paths, bool sayFinished);
    void showListing();

    TempFiles &m_tempFiles;
    Prompts &m_prompts;
    Frame &m_frame;
    // A plain list model: tens of thousands of found files show in no time.
    QStringListModel *m_found;
    QListView *m_list;
};
