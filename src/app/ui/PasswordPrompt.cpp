#include "app/ui/PasswordPrompt.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

PasswordPrompt::PasswordPrompt(const QString &account, bool canRemember, bool refused, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("PasswordPrompt"));
    setWindowTitle(QApplication::applicationDisplayName());
    auto *layout = new QVBoxLayout(this);
    if (refused) {
        auto *refusal = new QLabel(QStringLiteral("The server refused the password for %1.").arg(account), this);
        refusal->setObjectName(QStringLiteral("PasswordRefused"));
        refusal->setTextFormat(Qt::PlainText);
        refusal->setWordWrap(true);
        layout->addWidget(refusal);
    }
    auto *label = new QLabel(QStringLiteral("Password for %1:").arg(account), this);
    label->setTextFormat(Qt::PlainText);
    layout->addWidget(label);
    m_password = new QLineEdit(this);
    m_password->setObjectName(QStringLiteral("PasswordEdit"));
    m_password->setEchoMode(QLineEdit::Password);
    label->setBuddy(m_password);
    layout->addWidget(m_password);
    m_remember = new QCheckBox(QStringLiteral("Remember it in the system keyring"), this);
    m_remember->setObjectName(QStringLiteral("RememberPassword"));
    m_remember->setVisible(canRemember);
    layout->addWidget(m_remember);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    setMinimumWidth(360);
}

std::optional<PasswordAnswer> PasswordPrompt::ask()
{
    if (exec() != QDialog::Accepted)
        return std::nullopt;
    return PasswordAnswer{m_password->text(), !m_remember->isHidden() && m_remember->isChecked()};
}
