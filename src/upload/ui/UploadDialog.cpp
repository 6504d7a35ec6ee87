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
#include "upload/ui/PasswordCommands.h"
#include "upload/UploadRun.h"

#include <QCheckBox>
#include <QAction>
#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

UploadDialog::UploadDialog(Project &project, Prompts &prompts, PasswordCommands &passwords, QWidget *parent)
    : QDialog(parent), m_project(project), m_prompts(prompts), m_passwords(passwords)
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
    m_pathRule = new QLabel(this);
    m_pathRule->setObjectName(QStringLiteral("PathRule"));
    m_pathRule->setWordWrap(true);
    m_pathRule->setTextFormat(Qt::PlainText);
    fieldsLayout->addWidget(m_pathRule);
    m_user = addBox(fieldsLayout, "GroupBox3", QStringLiteral("Username:"), "Edit3");
    m_password = addBox(fieldsLayout, "GroupBox5", QStringLiteral("Password:"), "Edit5");
    addRevealButton(m_password);
    addKeyringBox(fieldsLayout);
    m_port = addBox(fieldsLayout, "GroupBox2", QStringLiteral("Port"), "Edit2");
    addRemoveStaleBox(fieldsLayout);
    layout->addWidget(scrollingWhenShort(fields));

    // A refused entry keeps the dialog open with what was typed.
    connect(addSaveCancelButtons(this, layout), &QPushButton::clicked, this,
            [this] { runCommand(m_prompts, [this] { save(); }); });
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

// "..." chooses a file; its menu offers a folder too, which makes the entry deploy the folder.
void UploadDialog::addBrowseButton(QLineEdit *edit)
{
    auto *browse = new QToolButton(edit->parentWidget());
    browse->setObjectName(QStringLiteral("SpeedButton3"));
    browse->setText(QStringLiteral("..."));
    browse->setToolTip(QStringLiteral("Choose the file or the folder to upload"));
    browse->setPopupMode(QToolButton::MenuButtonPopup);
    // The choices belong to the button, where the language finds them, not to its menu window.
    auto *file = new QAction(QStringLiteral("File..."), browse);
    file->setObjectName(QStringLiteral("BrowseFile"));
    connect(file, &QAction::triggered, this, [this] { runCommand(m_prompts, [this] { browseFile(); }); });
    auto *folder = new QAction(QStringLiteral("Folder..."), browse);
    folder->setObjectName(QStringLiteral("BrowseFolder"));
    connect(folder, &QAction::triggered, this, [this] { runCommand(m_prompts, [this] { browseFolder(); }); });
    auto *menu = new QMenu(browse);
    menu->addActions({file, folder});
    browse->setMenu(menu);
    connect(browse, &QToolButton::clicked, this, [this] { runCommand(m_prompts, [this] { browseFile(); }); });
    edit->parentWidget()->layout()->addWidget(browse);
    connect(edit, &QLineEdit::textChanged, this, &UploadDialog::showSourceKind);
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
    showProtocolHints();
}

void UploadDialog::showProtocolHints()
{
    if (chosenProtocol() == UploadProtocol::Sftp) {
        m_port->setPlaceholderText(QStringLiteral("empty: the URL's port, else ~/.ssh/config's, else 22"));
        m_pathRule->setText(QStringLiteral("SFTP paths are absolute: sftp://host/home/me/www/ is /home/me/www; "
                                           "sftp://host/~/www/ starts in the home folder."));
        return;
    }
    m_port->setPlaceholderText(QStringLiteral("empty: the URL's port, else 21"));
    m_pathRule->setText(QStringLiteral("FTP paths start in the login folder: ftp://host/www/ is www there; "
                                       "ftp://host//srv/www/ is /srv/www."));
}

void UploadDialog::showScheme(const QString &target)
{
    const QRegularExpressionMatch scheme = schemePattern().match(target);
    if (scheme.hasMatch())
        m_scheme->setCurrentIndex(m_scheme->findData(int(protocolOfScheme(scheme.captured(1)))));
    showProtocolHints();
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
    m_noKeyring = new QLabel(QStringLiteral("No system keyring can keep passwords here, so the project file does."), this);
    m_noKeyring->setObjectName(QStringLiteral("NoKeyring"));
    m_noKeyring->setWordWrap(true);
    m_noKeyring->setEnabled(false);
    layout->addWidget(m_noKeyring);
}

void UploadDialog::editNew(const QString &source)
{
    m_uid = 0;
    showEntry({source, QString(), QString(), QString(), QString()});
}

void UploadDialog::edit(const UploadEntry &entry)
{
    m_uid = entry.uid;
    showEntry(entry);
}

void UploadDialog::showEntry(const UploadEntry &entry)
{
    m_source->setText(entry.source);
    m_target->setText(targetWithRemoveStale(entry.target, false));
    m_removeStale->setChecked(targetRemovesStale(entry.target));
    showSourceKind(entry.source);
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
    m_keyringPassword.reset();
    const QString unavailable = Keyring::cannotStoreReason();
    m_keepInKeyring->setEnabled(unavailable.isEmpty());
    m_noKeyring->setVisible(!unavailable.isEmpty());
    m_keepInKeyring->setToolTip(
        unavailable.isEmpty()
            ? QStringLiteral("Saving the project puts the password into the desktop's keyring, and the project file keeps none.")
            : QStringLiteral("No system keyring can be used here, so the password stays in the project file.\n")
                + unavailable);
    m_noKeyring->setToolTip(m_keepInKeyring->toolTip());
    // A new entry, one whose password goes there at the next save, or one that keeps its
    // password out of the file already.
    m_keepInKeyring->setChecked(unavailable.isEmpty()
                                && (entry.password.isEmpty() || m_passwords.keptAtSave(entry.uid)));
    if (!m_keepInKeyring->isChecked() || entry.uid == 0 || !entry.password.isEmpty())
        return;
    try {
        m_keyringPassword = Keyring::read(keyringKey(entry));
        m_password->setText(m_keyringPassword.value_or(QString()));
    } catch (const Error &) {
        // Not kept, or the keyring stayed locked: the box shows no password, as the file does.
    }
}

void UploadDialog::browseFile()
{
    if (const std::optional<QString> file = m_prompts.openFile(QStringLiteral("All files (*)")))
        m_source->setText(*file);
}

void UploadDialog::browseFolder()
{
    const QString folder = m_prompts.pickFolder(QStringLiteral("Choose the folder to upload"));
    if (!folder.isEmpty())
        m_source->setText(folder);
}

void UploadDialog::addRemoveStaleBox(QVBoxLayout *layout)
{
    m_removeStale = new QCheckBox(QStringLiteral("Also remove files on the server that I uploaded before and that are gone here"), this);
    m_removeStale->setObjectName(QStringLiteral("RemoveStale"));
    m_removeStale->setToolTip(QStringLiteral("For a folder: files on the server that this program did not put there are never touched."));
    layout->addWidget(m_removeStale);
}

// Removing stale files is a folder's option only.
void UploadDialog::showSourceKind(const QString &source)
{
    m_removeStale->setEnabled(QFileInfo(source).isDir());
}

void UploadDialog::save()
{
    // A target typed without a scheme goes over the protocol chosen for it.
    QString target = m_target->text();
    if (!target.isEmpty() && !schemePattern().match(target).hasMatch())
        target.prepend(protocolScheme(chosenProtocol()) + QStringLiteral("://"));
    if (!target.isEmpty())
        target = targetWithRemoveStale(target, m_removeStale->isEnabled() && m_removeStale->isChecked());
    UploadEntry entry{m_source->text(), target, m_user->text(), m_password->text(), m_port->text()};
    const bool toKeyring = m_keepInKeyring->isEnabled() && m_keepInKeyring->isChecked() && !entry.password.isEmpty();
    // Unchanged, the keyring's password stays where it is.
    if (toKeyring && m_keyringPassword == entry.password)
        entry.password.clear();
    m_project.setUploads(withRecordSaved(m_project.data().uploads, m_uid, entry));
    // A new entry, or one deleted meanwhile, was appended.
    const QList<UploadEntry> &saved = m_project.data().uploads;
    const bool replaced = std::any_of(saved.begin(), saved.end(), [this](const UploadEntry &kept) { return kept.uid == m_uid; });
    const quint64 uid = replaced ? m_uid : saved.constLast().uid;
    m_passwords.keepAtSave(uid, toKeyring && !entry.password.isEmpty());
    accept();
}
