#include "project/ui/ProjectPage.h"

#include "chores/ChoreReach.h"
#include "widgets/CommandRunner.h"
#include "widgets/Icons.h"
#include "platform/Prompts.h"
#include "project/Project.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

namespace {
constexpr int kMargin = 16;
}

ProjectPage::ProjectPage(Project &project, Prompts &prompts, QWidget *parent)
    : QWidget(parent), m_project(project), m_prompts(prompts), m_layout(new QVBoxLayout(this))
{
    setObjectName(QStringLiteral("TabSheet9"));
    m_layout->setContentsMargins(kMargin, kMargin, kMargin, kMargin);

    m_name = addField(QStringLiteral("Project name:"), "Label20", "Edit4");
    m_version = addField(QStringLiteral("Version:"), "Label13", "Edit14");
    m_mainFile = addField(QStringLiteral("Main project file to open with the development envrionment:"), "Label7", "Edit15");
    auto *mainFilePicker = addPicker(m_mainFile, "SpeedButton3", QStringLiteral("picker/file.svg"),
                                     QStringLiteral("Choose the main project file"));
    m_projectFolder = addField(QStringLiteral("Project folder:"), "Label6", "Edit2");
    auto *projectFolderPicker = addPicker(m_projectFolder, "SpeedButton1", QStringLiteral("picker/folder.svg"),
                                          QStringLiteral("Choose the project folder"));
    m_projectFolderHint = addHint("ProjectFolderHint");
    m_includeSubfolders = addCheckBox(QStringLiteral("Include subfolders"), "CheckBox1");
    m_backupFolder = addField(QStringLiteral("Backup-Folder (should not be inside the project folder):"), "Label5", "Edit3");
    auto *backupFolderPicker = addPicker(m_backupFolder, "SpeedButton2", QStringLiteral("picker/backup.svg"),
                                         QStringLiteral("Choose the backup folder"));
    m_backupFolderHint = addHint("BackupFolderHint");
    m_zipWithFolderNames = addCheckBox(QStringLiteral("Include foldernames into the zipfile"), "CheckBox2");
    m_layout->addStretch(1);

    connect(m_name, &QLineEdit::textEdited, &m_project, &Project::setName);
    connect(m_version, &QLineEdit::textEdited, &m_project, &Project::setVersion);
    connect(m_mainFile, &QLineEdit::textEdited, &m_project, &Project::setMainFile);
    connect(m_projectFolder, &QLineEdit::textEdited, &m_project, &Project::setProjectFolder);
    connect(m_backupFolder, &QLineEdit::textEdited, &m_project, &Project::setBackupFolder);
    connect(m_includeSubfolders, &QCheckBox::clicked, &m_project, &Project::setIncludeSubfolders);
    connect(m_zipWithFolderNames, &QCheckBox::clicked, &m_project, &Project::setZipWithFolderNames);
    connect(&m_project, &Project::settingsChanged, this, &ProjectPage::showSettings);

    connect(mainFilePicker, &QToolButton::clicked, this, [this] { runCommand(m_prompts, [this] { pickMainFile(); }); });
    connect(projectFolderPicker, &QToolButton::clicked, this, [this] { m_project.setProjectFolder(m_prompts.pickFolder()); });
    connect(backupFolderPicker, &QToolButton::clicked, this, [this] { m_project.setBackupFolder(m_prompts.pickFolder()); });
    showSettings();
}

QLineEdit *ProjectPage::addField(const QString &label, const char *labelName, const char *name)
{
    auto *caption = new QLabel(label, this);
    caption->setObjectName(QLatin1String(labelName));
    auto *field = new QLineEdit(this);
    field->setObjectName(QLatin1String(name));
    caption->setBuddy(field);
    auto *row = new QHBoxLayout;
    row->setSpacing(2);
    row->addWidget(field, 1);
    m_layout->addSpacing(m_layout->count() ? 6 : 0);
    m_layout->addWidget(caption);
    m_layout->addLayout(row);
    return field;
}

// The picker sits at the right end of its field, which ends where the picker begins.
QToolButton *ProjectPage::addPicker(QLineEdit *field, const char *name, const QString &icon, const QString &tip)
{
    auto *button = new QToolButton(this);
    button->setObjectName(QLatin1String(name));
    button->setIcon(Icons::named(icon));
    button->setToolTip(tip);
    // It shows an icon alone: the tip is its name for a screen reader.
    button->setAccessibleName(tip);
    button->setFixedSize(23, field->sizeHint().height());
    qobject_cast<QHBoxLayout *>(m_layout->itemAt(m_layout->count() - 1)->layout())->addWidget(button);
    return button;
}

// A line under a folder field that tells what the chores make of the folder, when it is not
// plainly the text itself.
QLabel *ProjectPage::addHint(const char *name)
{
    auto *hint = new QLabel(this);
    hint->setObjectName(QLatin1String(name));
    hint->setWordWrap(true);
    hint->setTextInteractionFlags(Qt::TextSelectableByMouse);
    hint->setForegroundRole(QPalette::PlaceholderText);
    hint->hide();
    m_layout->addWidget(hint);
    return hint;
}

void ProjectPage::showHints()
{
    const ProjectData &data = m_project.data();
    const ChoreReach reach(data.path);
    const auto show = [&reach](QLabel *hint, QLineEdit *field, const QString &folder,
                               const std::optional<QString> &refusal) {
        QString text;
        if (folder.isEmpty())
            text.clear();
        else if (refusal)
            text = *refusal;
        else if (reach.resolved(folder) != folder)
            text = QStringLiteral("Taken from the folder of the project file: %1").arg(reach.resolved(folder));
        hint->setText(text);
        hint->setVisible(!text.isEmpty());
        field->setToolTip(folder.isEmpty() ? QString() : QDir::toNativeSeparators(reach.resolved(folder)));
    };
    const QString what = QStringLiteral("The folder");
    show(m_projectFolderHint, m_projectFolder, data.projectFolder, reach.sourceRefusal(data.projectFolder, what));
    show(m_backupFolderHint, m_backupFolder, data.backupFolder, reach.targetRefusal(data.backupFolder, what));
}

void ProjectPage::showEvent(QShowEvent *event)
{
    // The project may have been saved elsewhere since: relative folders are taken from there.
    showHints();
    QWidget::showEvent(event);
}

QCheckBox *ProjectPage::addCheckBox(const QString &caption, const char *name)
{
    auto *box = new QCheckBox(caption, this);
    box->setObjectName(QLatin1String(name));
    m_layout->addSpacing(4);
    m_layout->addWidget(box);
    return box;
}

void ProjectPage::showSettings()
{
    const ProjectData &data = m_project.data();
    const auto show = [](QLineEdit *field, const QString &text) {
        if (field->text() != text)
            field->setText(text);
    };
    show(m_name, data.name);
    show(m_version, data.version);
    show(m_mainFile, data.mainFile);
    show(m_projectFolder, data.projectFolder);
    show(m_backupFolder, data.backupFolder);
    m_includeSubfolders->setChecked(data.includeSubfolders);
    m_zipWithFolderNames->setChecked(data.zipWithFolderNames);
    showHints();
}

void ProjectPage::pickMainFile()
{
    const std::optional<QString> file = m_prompts.openFile(QStringLiteral("All (*)"));
    if (!file)
        return;
    m_project.setMainFile(*file);
    if (m_project.data().projectFolder.isEmpty()) {
        // The folder part of the file name, up to and including its last separator.
        const QString path = QDir::toNativeSeparators(QFileInfo(*file).absoluteFilePath());
        m_project.setProjectFolder(path.left(path.lastIndexOf(QDir::separator()) + 1));
    }
}
