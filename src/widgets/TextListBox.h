#pragma once

#include "project/Project.h"

#include <QListWidget>

// A list box showing one text list of the project (kept sorted by the project itself).
class TextListBox : public QListWidget
{
    Q_OBJECT

public:
    TextListBox(Project &project, ProjectList list, QWidget *parent = nullptr);

    // Selected rows in list order, so that one of two equal entries can go alone.
    QList<int> selectedRows() const;
    void refresh();

private:
    const QStringList &texts() const;

    Project &m_project;
    ProjectList m_list;
};
