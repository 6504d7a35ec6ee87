#pragma once

#include "housekeeping/CopyAndZipLists.h"

#include <QWidget>

struct PageContext;
class TextListBox;

// TabSheet12: the folders to zip, kept sorted.
class ZipFoldersPage : public QWidget
{
    Q_OBJECT

public:
    explicit ZipFoldersPage(const PageContext &context, QWidget *parent = nullptr);

private:
    CopyAndZipLists m_commands;
    TextListBox *m_list;
};
