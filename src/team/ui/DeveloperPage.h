#pragma once

#include <QWidget>

struct PageContext;
class RecordListView;

// TabSheet16: the project's developers.
class DeveloperPage : public QWidget
{
    Q_OBJECT

public:
    explicit DeveloperPage(const PageContext &context, QWidget *parent = nullptr);

private:
    RecordListView *m_list;
};
