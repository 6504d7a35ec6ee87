#include "upload/ui/UploadDialog.h"

#include "widgets/CommandRunner.h"
#include "widgets/DialogButtons.h"
#include "widgets/TwoCaptionButton.h"
#include "platform/Prompts.h"
#include "project/ListRows.h"
#include "project/Project.h"
#include "widgets/Placement.h"
#include "widgets/ScrollingWhenShort.h"
#include "upload/Keyring.h"
#include "upload/UploadPasswords.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QToolButton>
#include <QVBoxLayout>

UploadDialog::UploadDialog(Project &project, Prompts &prompts, QWidget *parent)
    : QDialog(parent), m_project(project), m_prompts(prompts)
{
    setObjectName(QStringLiteral("TForm5"));
    setWindowTitle(QStringLiteral("Upload file"));
    setModal(false);
    auto *layout = new QVBoxLayout(this);
    auto *fields = new QWidget;
    auto *fieldsLayout = new QVBoxLayout(fields);
    fieldsLayout->setContentsMargins(0, 0, 0, 0);

    // Created top to bottom, which is also the Tab order.
    m_source = addBox(fieldsLayout, "GroupBox1", QStringLiteral("From:"), "Edit1");
    addBrowseButton(m_source);
    m_target = addBox(fieldsLayout, "GroupBox4", QStringLiteral("To:"), "Edit4");
    m_target->setPlaceholderText(QStringLiteral("host/folder"));
    addSchemeChoice(m_target);
    m_user = addBox(fieldsLayout, "GroupBox3", QStringLiteral("Username:"), "Edit3");
    m_password = addBox(fieldsLayout, "GroupBox5", QStringLiteral("Password:"), "Edit5");
    addRevealButton(m_password);
    addKeyringBox(fieldsLayout);
    m_port = addBox(fieldsLayout, "GroupBox2", QStringLiteral("Port"), "Edit2");
    layout->addWidget(scrollingWhenShort(fields));

    connect(addSaveCancelButtons(this, layout), &QPushButton::clicked, this, &UploadDialog::save);
    resize(480, sizeHint().height());
}

QLineEdit *UploadDialog::addBox(QVBoxLayout *layout, const char *boxName, const QString &caption, const char *editName)
{
    auto *box = new QGroupBox(caption, this);
    box->setObjectName(QLatin1String(boxName));
    auto *edit = new QLineEdit(box);
    edit->setObjectName(QLatin1String(editName));
    auto *boxLayout = new QHBoxLayout(box);
    boxLayout->addWidget(edit, 1);
    layout->addWidget(box);
    return edit;
}

void UploadDialog::addBrowseButton(QLineEdit *edit)
{
    auto *browse = new QToolButton(edit->parentWidget());
    browse->setObjectName(QStringLiteral("SpeedButton3"));
    browse->setText(QStringLiteral("..."));
    browse->setToolTip(QStringLiteral("Choose the file to upload"));
    edit->parentWidget()->layout()->addWidget(browse);
    connect(browse, &QToolButton::clicked, this, [this] { runCommand(m_prompts, [this] { UploadDialog::browse(); }); });
}

// The protocol in front of the target: choosing one writes its scheme into the URL, and a
// scheme typed into the URL shows in the choice.
void UploadDialog::addSchemeChoice(QLineEdit *target)
{
    m_scheme = new QComboBox(target->parentWidget());
    m_scheme->setObjectName(QStringLiteral("SchemeBox"));
    m_scheme->setToolTip(QStringLiteral("SFTP (over SSH), FTPS (FTP with TLS) or plain FTP"));
    for (const UploadProtocol protocol : {UploadProtocol::Sftp, UploadProtocol::Ftps, UploadProtocol::Ftp})
        m_scheme->addItem(protocolName(protocol), int(protocol));
    static_cast<QHBoxLayout *>(target->parentWidget()->layout())->insertWidget(0, m_scheme);
    setTabOrder(m_scheme, target);
    connect(m_scheme, &QComboBox::activated, this, &UploadDialog::writeScheme);
    connect(target, &QLineEdit::textEdited, this, &UploadDialog::showScheme);
}

UploadProtocol UploadDialog::chosenProtocol() const
{
    return UploadProtocol(m_scheme->currentData().toInt());
}

void UploadDialog::writeScheme()
{
    const UploadProtocol protocol = chosenProtocol();
    const QString target = m_target->text();
    const QRegularExpressionMatch scheme = schemePattern().match(target);
    m_target->setText(protocolScheme(protocol) + QStringLiteral("://") + target.mid(scheme.capturedLength()));
    // The usual port of the protocol, unless another one was typed.
    if (protocol == UploadProtocol::Sftp && m_port->text() == QLatin1String("21"))
        m_port->setText(QStringLiteral("22"));
    else if (protocol != UploadProtocol::Sftp && m_port->text() == QLatin1String("22"))
        m_port->setText(QStringLiteral("21"));
}

void UploadDialog::showScheme(const QString &target)
{
    const QRegularExpressionMatch scheme = schemePattern().match(target);
    if (scheme.hasMatch())
        m_scheme->setCurrentIndex(m_scheme->findData(int(protocolOfScheme(scheme.captured(1)))));
}

const QRegularExpression &UploadDialog::schemePattern()
{
    static const QRegularExpression scheme(QStringLiteral("^([A-Za-z][A-Za-z0-9+.-]*)://"));
    return scheme;
}

void UploadDialog::addRevealButton(QLineEdit *edit)
{
    edit->setEchoMode(QLineEdit::Password);
    m_reveal = new TwoCaptionButton(QStringLiteral("Show"), QStringLiteral("Hide"), edit->parentWidget());
    m_reveal->setObjectName(QStringLiteral("ShowPassword"));
    m_reveal->setToolTip(QStringLiteral("Show the password while the button is down"));
    // Reached by Tab right after the password, and toggled with Space.
    m_reveal->setFocusPolicy(Qt::TabFocus);
    edit->parentWidget()->layout()->addWidget(m_reveal);
    connect(m_reveal, &QToolButton::toggled, edit,
            [edit](bool shown) { edit->setEchoMode(shown ? QLineEdit::Normal : QLineEdit::Password); });
}

void UploadDialog::addKeyringBox(QVBoxLayout *layout)
{
    m_keepInKeyring = new QCheckBox(QStringLiteral("Keep the password in the system keyring"), this);
    m_keepInKeyring->setObjectName(QStringLiteral("KeepInKeyring"));
    layout->addWidget(m_keepInKeyring);
}

void UploadDialog::editNew(const QString &source)
{
    m_uid = 0;
    showEntry({source, QString(), QString(), QString(), QStringLiteral("21")});
}

void UploadDialog::edit(const UploadEntry &entry)
{
    m_uid = entry.uid;
    showEntry(entry);
}

void UploadDialog::showEntry(const UploadEntry &entry)
{
    m_source->setText(entry.source);
    m_target->setText(entry.target);
    m_scheme->setCurrentIndex(0);
    showScheme(entry.target);
    m_user->setText(entry.user);
    m_password->setText(entry.password);
    m_port->setText(entry.port);
    m_reveal->setChecked(false);
    showKeyring(entry);
    if (!isVisible())
        centreOnParentWindow(this);
    show();
    raise();
    activateWindow();
    m_source->setFocus();
}

void UploadDialog::showKeyring(const UploadEntry &entry)
{
    const QString unavailable = Keyring::unavailableReason();
    m_keepInKeyring->setEnabled(unavailable.isEmpty());
    m_keepInKeyring->setToolTip(
        unavailable.isEmpty()
            ? QStringLiteral("Save puts the password into the desktop's keyring, and the project file keeps none.")
            : QStringLiteral("No system keyring can be used here, so the password stays in the project file.\n")
                + unavailable);
    // A new entry, or one that keeps its password out of the file already.
    m_keepInKeyring->setChecked(unavailable.isEmpty() && entry.password.isEmpty());
    if (!m_keepInKeyring->isChecked() || entry.uid == 0)
        return;
    try {
        m_password->setText(Keyring::read(keyringKey(entry)).value_or(QString()));
    } catch (const Error &) {
        // Not kept, or the keyring stayed locked: the box shows no password, as the file does.
    }
}

UploadEntry UploadDialog::keptEntry(const UploadEntry &entry)
{
    if (!m_keepInKeyring->isEnabled() || !m_keepInKeyring->isChecked() || entry.password.isEmpty())
        return entry;
    try {
        return withPasswordInKeyring(entry);
    } catch (const Error &error) {
        m_prompts.error(QStringLiteral("The password stays in the project file: %1").arg(error.message()));
        return entry;
    }
}

void UploadDialog::browse()
{
    if (const std::optional<QString> file = m_prompts.openFile(QStringLiteral("All files (*)")))
        m_source->setText(*file);
}

void UploadDialog::save()
{
    // A target typed without a scheme goes over the protocol chosen for it.
    QString target = m_target->text();
    if (!target.isEmpty() && !schemePattern().match(target).hasMatch())
        target.prepend(protocolScheme(chosenProtocol()) + QStringLiteral("://"));
    const UploadEntry entry = keptEntry({m_source->text(), target, m_user->text(), m_password->text(), m_port->text()});
    m_project.setUploads(withRecordSaved(m_project.data().uploads, m_uid, entry));
    accept();
}
