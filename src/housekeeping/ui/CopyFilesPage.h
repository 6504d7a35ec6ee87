#pragma once

#include "housekeeping/CopyAndZipLists.h"

#include <QWidget>

struct PageContext;
class RecordListView;

// TabSheet11: the copy pairs, sorted by a click on a column header.
class CopyFilesPage : public QWidget
{
    Q_OBJECT

public:
    explicit CopyFilesPage(const PageContext &context, QWidget *parent = nullptr);

private:
    CopyAndZipLists m_commands;
    RecordListView *m_list;
};
