#pragma once

#include "todolist/Todos.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QVBoxLayout;
class TodoCommands;

// TForm3: the modeless "To-Do" dialog, reused for every new or edited item. It edits its item
// by identity, so sorting or deleting rows meanwhile cannot redirect Save to another item.
class TodoDialog : public QDialog
{
    Q_OBJECT

public:
    TodoDialog(TodoCommands &commands, QWidget *parent);

    // A new item: kind Bug, priority code 5, status To do, official, the given version.
    void editNew(const QString &version);
    // Fills the dialog from `item` (a new one when its uid is 0) and shows it.
    void edit(const TodoItem &item);

Q_SIGNALS:
    void saved();

protected:
    void showEvent(QShowEvent *event) override;

private:
    QLineEdit *addEdit(QVBoxLayout *layout, const QString &caption, const char *name);
    QWidget *buildProperties();
    void applyCaptions();
    TodoItem enteredItem() const;
    void save();

    TodoCommands &m_commands;
    TodoItem m_item;
    QLineEdit *m_title, *m_description, *m_version, *m_note;
    QCheckBox *m_official;
    QComboBox *m_kind, *m_priority, *m_status;
};
