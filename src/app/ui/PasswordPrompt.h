#pragma once

#include "platform/Prompts.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;

// The masked prompt for an account's password, with the offer to keep it in the system keyring.
class PasswordPrompt : public QDialog
{
    Q_OBJECT

public:
    PasswordPrompt(const QString &account, bool canRemember, bool refused, QWidget *parent);

    // Shows the prompt and waits; nullopt when cancelled.
    std::optional<PasswordAnswer> ask();

private:
    QLineEdit *m_password = nullptr;
    QCheckBox *m_remember = nullptr;
};
