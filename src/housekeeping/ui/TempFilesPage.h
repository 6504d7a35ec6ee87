#pragma once

#include <QWidget>

struct PageContext;
class QAction;
class QListWidget;

// TabSheet6: the temporary files found in the project folder, and the status bar's count.
class TempFilesPage : public QWidget
{
    Q_OBJECT

public:
    explicit TempFilesPage(const PageContext &context, QWidget *parent = nullptr);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QList<int> selectedRows() const;

    QListWidget *m_list;
    QAction *m_delete = nullptr;
};
