#pragma once

#include <QWidget>

struct PageContext;
class TextListBox;

// TabSheet10: the temporary-file extensions.
class TempExtensionsPage : public QWidget
{
    Q_OBJECT

public:
    explicit TempExtensionsPage(const PageContext &context, QWidget *parent = nullptr);

private:
    TextListBox *m_list;
};
