#pragma once

#include "team/DeveloperCommands.h"

#include <QWidget>

struct PageContext;
class DeveloperDialog;
class Project;
class RecordListView;

// TabSheet16: the project's developers.
class DeveloperPage : public QWidget
{
    Q_OBJECT

public:
    explicit DeveloperPage(const PageContext &context, QWidget *parent = nullptr);

private:
    void editFirstSelected();

    Project &m_project;
    DeveloperCommands m_commands;
    RecordListView *m_list;
    DeveloperDialog *m_dialog;
};
