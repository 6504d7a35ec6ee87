#pragma once

#include "project/Records.h"
#include "upload/UploadProtocol.h"

#include <QDialog>

class Project;
class Prompts;
class QCheckBox;
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
    UploadDialog(Project &project, Prompts &prompts, QWidget *parent);

    // A new entry: every box empty but the port, "21", and the file to upload when given.
    void editNew(const QString &source = QString());
    void edit(const UploadEntry &entry);

private:
    QLineEdit *addBox(QVBoxLayout *layout, const char *boxName, const QString &caption, const char *editName);
    void addBrowseButton(QLineEdit *edit);
    void addSchemeChoice(QLineEdit *target);
    UploadProtocol chosenProtocol() const;
    void writeScheme();
    void showScheme(const QString &target);
    static const QRegularExpression &schemePattern();
    void addRevealButton(QLineEdit *edit);
    void addKeyringBox(QVBoxLayout *layout);
    void showEntry(const UploadEntry &entry);
    // Ticks the keyring box where a keyring answers, and fills in the password it keeps.
    void showKeyring(const UploadEntry &entry);
    // The entry as the project keeps it: without its password once the keyring holds it.
    UploadEntry keptEntry(const UploadEntry &entry);
    void browse();
    void save();

    Project &m_project;
    Prompts &m_prompts;
    quint64 m_uid = 0;
    QLineEdit *m_source = nullptr;
    QComboBox *m_scheme = nullptr;
    QLineEdit *m_target = nullptr;
    QLineEdit *m_user = nullptr;
    QLineEdit *m_password = nullptr;
    QLineEdit *m_port = nullptr;
    TwoCaptionButton *m_reveal = nullptr;
    QCheckBox *m_keepInKeyring = nullptr;
};
