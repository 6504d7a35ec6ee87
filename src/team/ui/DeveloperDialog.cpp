#include "team/ui/DeveloperDialog.h"

#include "widgets/CommandRunner.h"
#include "widgets/DialogButtons.h"
#include "widgets/ScrollingWhenShort.h"
#include "team/DeveloperCommands.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

DeveloperDialog::DeveloperDialog(DeveloperCommands &commands, Prompts &prompts, QWidget *parent)
    : QDialog(parent), m_commands(commands), m_prompts(prompts)
{
    setObjectName(QStringLiteral("TForm4"));
    setWindowTitle(QStringLiteral("Developer"));
    setModal(false);
    auto *layout = new QVBoxLayout(this);
    auto *fields = new QWidget;
    auto *fieldsLayout = new QVBoxLayout(fields);
    fieldsLayout->setContentsMargins(0, 0, 0, 0);

    // Created top to bottom, which is also the Tab order.
    m_name = addBox(fieldsLayout, QStringLiteral("Name:"), "GroupBox1", "Edit1");
    m_email = addBox(fieldsLayout, QStringLiteral("Mail"), "GroupBox6", "Edit6");
    m_im = addBox(fieldsLayout, QStringLiteral("IM"), "GroupBox5", "Edit5");
    m_phone = addBox(fieldsLayout, QStringLiteral("Telefone"), "GroupBox4", "Edit4");
    m_address = addBox(fieldsLayout, QStringLiteral("Address"), "GroupBox3", "Edit3");
    m_note = addBox(fieldsLayout, QStringLiteral("Note"), "GroupBox2", "Edit2");
    layout->addWidget(scrollingWhenShort(fields));

    // A refused entry keeps the dialog open with what was typed.
    connect(addSaveCancelButtons(this, layout), &QPushButton::clicked, this,
            [this] { runCommand(m_prompts, [this] { save(); }); });
    resize(420, sizeHint().height());
}

QLineEdit *DeveloperDialog::addBox(QVBoxLayout *layout, const QString &caption, const char *boxName, const char *name)
{
    auto *box = new QGroupBox(caption, this);
    box->setObjectName(QLatin1String(boxName));
    auto *edit = new QLineEdit(box);
    edit->setObjectName(QLatin1String(name));
    auto *boxLayout = new QVBoxLayout(box);
    boxLayout->addWidget(edit);
    layout->addWidget(box);
    return edit;
}

void DeveloperDialog::editNew()
{
    m_uid = 0;
    showEntry(DeveloperEntry{});
}

void DeveloperDialog::edit(const DeveloperEntry &entry)
{
    m_uid = entry.uid;
    showEntry(entry);
}

void DeveloperDialog::showEntry(const DeveloperEntry &entry)
{
    m_name->setText(entry.name);
    m_email->setText(entry.email);
    m_im->setText(entry.im);
    m_phone->setText(entry.phone);
    m_address->setText(entry.address);
    m_note->setText(entry.note);
    QDialog::show();
    raise();
    activateWindow();
    m_name->setFocus();
}

void DeveloperDialog::save()
{
    m_commands.save(m_uid, {m_name->text(), m_email->text(), m_note->text(), m_im->text(), m_phone->text(),
                            m_address->text()});
    accept();
}
