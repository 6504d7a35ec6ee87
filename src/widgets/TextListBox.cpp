#include "widgets/TextListBox.h"

#include "widgets/AccessibleNames.h"
#include "widgets/ItemViews.h"

TextListBox::TextListBox(Project &project, ProjectList list, QWidget *parent)
    : QListWidget(parent), m_project(project), m_list(list)
{
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    AccessibleNames::nameAfterPage(this);
    connect(&m_project, &Project::listChanged, this, [this](ProjectList changed) {
        if (changed == m_list)
            refresh();
    });
    refresh();
}

const QStringList &TextListBox::texts() const
{
    const ProjectData &data = m_project.data();
    switch (m_list) {
    case ProjectList::TempExtensions: return data.tempExtensions;
    case ProjectList::ZipFolders: return data.zipFolders;
    default: return data.tools;
    }
}

QList<int> TextListBox::selectedRows() const
{
    return ::selectedRows(*this);
}

void TextListBox::refresh()
{
    clear();
    addItems(texts());
}
