#include "app/ui/TextListBox.h"

#include <QKeyEvent>

TextListBox::TextListBox(Project &project, ProjectList list, QWidget *parent)
    : QListWidget(parent), m_project(project), m_list(list)
{
    setSelectionMode(QAbstractItemView::ExtendedSelection);
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

QStringList TextListBox::selectedTexts() const
{
    QStringList selected;
    for (int row = 0; row < count(); ++row)
        if (item(row)->isSelected())
            selected.append(item(row)->text());
    return selected;
}

QList<int> TextListBox::selectedRows() const
{
    QList<int> rows;
    for (int row = 0; row < count(); ++row)
        if (item(row)->isSelected())
            rows.append(row);
    return rows;
}

void TextListBox::refresh()
{
    clear();
    addItems(texts());
}

void TextListBox::keyReleaseEvent(QKeyEvent *event)
{
    QListWidget::keyReleaseEvent(event);
    if (event->key() == Qt::Key_Delete)
        Q_EMIT deleteKeyReleased();
}
