#pragma once

#include <QWidget>

struct PageContext;
class RecordListView;

// TabSheet3: the to-do list.
class TodoPage : public QWidget
{
    Q_OBJECT

public:
    explicit TodoPage(const PageContext &context, QWidget *parent = nullptr);

private:
    RecordListView *m_list;
};
