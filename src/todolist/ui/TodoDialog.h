#pragma once

#include "todolist/Todos.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QVBoxLayout;
class Localisation;
class Prompts;
class TodoCommands;

// TForm3: the modeless "To-Do" dialog, reused for every new or edited item. It edits its item
// by identity, so sorting or deleting rows meanwhile cannot redirect Save to another item.
class TodoDialog : public QDialog
{
    Q_OBJECT

public:
    // The drop-downs take their captions from the language each time the dialog is shown.
    TodoDialog(TodoCommands &commands, const Localisation &localisation, Prompts &prompts, QWidget *parent);

    // A new item: kind Bug, priority code 5, status To do, official, the given version.
    void editNew(const QString &version);
    // Fills the dialog from `item` (a new one when its uid is 0) and shows it.
    void edit(const TodoItem &item);

Q_SIGNALS:
    void saved();

protected:
    void showEvent(QShowEvent *event) override;

private:
    QLineEdit *addEdit(QVBoxLayout *layout, const QString &caption, const char *boxName, const char *name);
    QWidget *buildProperties();
    void applyCaptions(const std::function<QString(int entry)> &text);
    void applyLanguageCaptions();
    TodoItem enteredItem() const;
    void save();

    TodoCommands &m_commands;
    const Localisation &m_localisation;
    Prompts &m_prompts;
    TodoItem m_item;
    QLineEdit *m_title, *m_description, *m_version, *m_note;
    QCheckBox *m_official;
    QComboBox *m_kind, *m_priority, *m_status;
};
