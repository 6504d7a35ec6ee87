#pragma once

#include "project/Records.h"

#include <QDialog>

class DeveloperCommands;
class Prompts;
class QLineEdit;
class QVBoxLayout;

// TForm4: the modeless "Developer" dialog, reused for every new or edited entry. It edits
// its entry by identity, so sorting or deleting in the list meanwhile cannot redirect Save.
class DeveloperDialog : public QDialog
{
    Q_OBJECT

public:
    DeveloperDialog(DeveloperCommands &commands, Prompts &prompts, QWidget *parent);

    void editNew();
    void edit(const DeveloperEntry &entry);

private:
    QLineEdit *addBox(QVBoxLayout *layout, const QString &caption, const char *boxName, const char *name);
    void showEntry(const DeveloperEntry &entry);
    void save();

    DeveloperCommands &m_commands;
    Prompts &m_prompts;
    quint64 m_uid = 0;
    QLineEdit *m_name = nullptr;
    QLineEdit *m_email = nullptr;
    QLineEdit *m_im = nullptr;
    QLineEdit *m_phone = nullptr;
    QLineEdit *m_address = nullptr;
    QLineEdit *m_note = nullptr;
};
