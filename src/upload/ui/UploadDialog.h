#pragma once

#include "project/Records.h"
#include "upload/UploadProtocol.h"

#include <QDialog>

#include <optional>

class PasswordCommands;
class Project;
class Prompts;
class QCheckBox;
class QLabel;
class QComboBox;
class QLineEdit;
class QRegularExpression;
class QVBoxLayout;
class TwoCaptionButton;

// TForm5: the modeless "Upload file" dialog, reused for every new or edited upload. It edits
// its entry by identity, so sorting or deleting in the list meanwhile cannot redirect Save.
class UploadDialog : public QDialog
{
    Q_OBJECT

public:
    UploadDialog(Project &project, Prompts &prompts, PasswordCommands &passwords, QWidget *parent);

    // A new entry: every box empty but the file to upload when given.
    void editNew(const QString &source = QString());
    void edit(const UploadEntry &entry);

private:
    QLineEdit *addBox(QVBoxLayout *layout, const char *boxName, const QString &caption, const char *editName);
    void addBrowseButton(QLineEdit *edit);
    void addSchemeChoice(QLineEdit *target);
    UploadProtocol chosenProtocol() const;
    void writeScheme();
    void showScheme(const QString &target);
    // The placeholder of an empty Port and the path rule, for the chosen protocol.
    void showProtocolHints();
    static const QRegularExpression &schemePattern();
    void addRevealButton(QLineEdit *edit);
    void addKeyringBox(QVBoxLayout *layout);
    void showEntry(const UploadEntry &entry);
    // Ticks the keyring box where a keyring can keep the password, and fills in the one it keeps.
    void showKeyring(const UploadEntry &entry);
    void browseFile();
    void browseFolder();
    void addRemoveStaleBox(QVBoxLayout *layout);
    void showSourceKind(const QString &source);
    void save();

    Project &m_project;
    Prompts &m_prompts;
    PasswordCommands &m_passwords;
    quint64 m_uid = 0;
    QLineEdit *m_source = nullptr;
    QComboBox *m_scheme = nullptr;
    QLineEdit *m_target = nullptr;
    QLineEdit *m_user = nullptr;
    QLineEdit *m_password = nullptr;
    QLineEdit *m_port = nullptr;
    TwoCaptionButton *m_reveal = nullptr;
    QLabel *m_pathRule = nullptr;
    QCheckBox *m_keepInKeyring = nullptr;
    QLabel *m_noKeyring = nullptr;
    // The password the keyring holds for the entry being edited, when it was read.
    std::optional<QString> m_keyringPassword;
    QCheckBox *m_removeStale = nullptr;
};
