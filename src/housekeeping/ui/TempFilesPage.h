#pragma once

#include <QWidget>

struct PageContext;
class QListWidget;

// TabSheet6: the temporary files found in the project folder, and the status bar's count.
class TempFilesPage : public QWidget
{
    Q_OBJECT

public:
    explicit TempFilesPage(const PageContext &context, QWidget *parent = nullptr);

private:
    QListWidget *m_list;
};
