#pragma once

#include <QWidget>

struct PageContext;
class TextListBox;

// TabSheet14: the scripts and tools.
class ToolsPage : public QWidget
{
    Q_OBJECT

public:
    explicit ToolsPage(const PageContext &context, QWidget *parent = nullptr);

private:
    TextListBox *m_list;
};
