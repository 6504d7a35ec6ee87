#include "widgets/DialogButtons.h"

#include <QBoxLayout>
#include <QDialog>
#include <QPushButton>

QPushButton *addSaveCancelButtons(QDialog *dialog, QBoxLayout *layout)
{
    auto *cancel = new QPushButton(QStringLiteral("Cancel"), dialog);
    cancel->setObjectName(QStringLiteral("BitBtn1"));
    cancel->setAutoDefault(false);
    auto *save = new QPushButton(QStringLiteral("Save"), dialog);
    save->setObjectName(QStringLiteral("BitBtn2"));
    save->setDefault(true);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(cancel);
    buttons->addStretch(1);
    buttons->addWidget(save);
    layout->addStretch(1);
    layout->addLayout(buttons);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    return save;
}
