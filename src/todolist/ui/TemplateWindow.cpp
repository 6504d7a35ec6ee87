#include "todolist/ui/TemplateWindow.h"

#include "workspace/Workspace.h"
#include "widgets/AccessibleNames.h"
#include "widgets/CloseOnEscape.h"
#include "widgets/CommandRunner.h"
#include "widgets/PageContext.h"
#include "housekeeping/BackupsToKeep.h"
#include "widgets/Placement.h"
#include "widgets/ScrollingWhenShort.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QSpinBox>
#include <QTabWidget>
#include <QTextDocument>
#include <QVBoxLayout>


namespace {

constexpr int kContentMargin = 6;

// The memo holds a block per line; the template keeps CR LF, and non-breaking spaces as typed.
QString memoText(const QPlainTextEdit *memo)
{
    QString text = memo->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"));
    text.replace(QChar::LineSeparator, QStringLiteral("\r\n"));
    return text;
}

} // namespace

TemplateWindow::TemplateWindow(const PageContext &context, QWidget *parent)
    : QWidget(parent, Qt::Window), m_prompts(context.prompts), m_tempFiles(context.workspace.tempFiles),
      m_folder(context.workspace.appDataFolder)
{
    setObjectName(QStringLiteral("TForm8"));
    setWindowTitle(QStringLiteral("HTML-Template"));
    runCommand(m_prompts, [this] { m_templates.load(m_folder); });
    runCommand(m_prompts, [this] { m_tempFiles.setDisposal(TempFiles::loadDisposal(m_folder)); });

    // The changelog's settings on one tab, the program's own on the other, where a user looks
    // for them; each tab scrolls down on a short screen, never sideways.
    auto *tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("OptionsTabs"));
    // Named by the tab it shows, as screen readers say the tabs of the main window.
    AccessibleNames::nameBy(tabs, [tabs] { return tabs->tabText(tabs->currentIndex()); });
    QWidget *changelog = scrollingWhenShort(changelogPage());
    changelog->setObjectName(QStringLiteral("ChangelogTab"));
    tabs->addTab(changelog, QStringLiteral("Changelog"));
    QWidget *general = scrollingWhenShort(generalPage());
    general->setObjectName(QStringLiteral("GeneralTab"));
    tabs->addTab(general, QStringLiteral("General"));
    // At a large scale the window may be larger than the screen: a button closes it, not only
    // the title bar and Escape.
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton *close = buttons->button(QDialogButtonBox::Close);
    close->setObjectName(QStringLiteral("CloseOptions"));
    close->setText(QStringLiteral("Close"));
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    auto *windowLayout = new QVBoxLayout(this);
    windowLayout->setContentsMargins(kContentMargin, kContentMargin, kContentMargin, kContentMargin);
    windowLayout->addWidget(tabs, 1);
    windowLayout->addWidget(buttons);
    closeOnEscape(this);
    // Tall enough for the tab bar and the Close button beside editors of several lines each.
    resize(788, 600);
}

QWidget *TemplateWindow::changelogPage()
{
    // The three editors share the page's height; the nodes, repeated per item, get the most.
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    // Tight, so that each editor shows several lines in the window's first size.
    layout->setContentsMargins(kContentMargin, kContentMargin, kContentMargin, kContentMargin);
    layout->setSpacing(4);
    layout->addWidget(templateGroup(ChangelogTemplates::Head, QStringLiteral("HTML-Head"), "Memo1"), 2);
    layout->addWidget(flagsGroup());
    layout->addWidget(templateGroup(ChangelogTemplates::Node, QStringLiteral("HTML-Nodes"), "Memo2"), 3);
    layout->addWidget(templateGroup(ChangelogTemplates::End, QStringLiteral("HTML-End"), "Memo3"), 2);
    return page;
}

QWidget *TemplateWindow::generalPage()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(disposalGroup());
    layout->addWidget(backupGroup());
    layout->addStretch(1);
    return page;
}

void TemplateWindow::showEvent(QShowEvent *event)
{
    if (!event->spontaneous())
        centreOnParentWindow(this);
    QWidget::showEvent(event);
}

QGroupBox *TemplateWindow::templateGroup(ChangelogTemplates::Part part, const QString &caption, const char *memoName)
{
    auto *group = new QGroupBox(caption);
    // GroupBox1 to GroupBox3: head, nodes, end.
    group->setObjectName(QStringLiteral("GroupBox%1").arg(part + 1));
    auto *memo = new QPlainTextEdit(group);
    memo->setObjectName(QLatin1String(memoName));
    memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo->setMinimumHeight(40);
    memo->setPlainText(QString(m_templates.text(part)).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    // Connected after filling, so loading writes nothing.
    connect(memo, &QPlainTextEdit::textChanged, this, [this, part] { saveText(part); });
    auto *inside = new QVBoxLayout(group);
    inside->setContentsMargins(kContentMargin, kContentMargin, kContentMargin, kContentMargin);
    inside->addWidget(memo);
    m_memos[part] = memo;
    return group;
}

QGroupBox *TemplateWindow::flagsGroup()
{
    static const char *const captions[] = {"Finished", "Testing", "At work", "To do", "Someday"};
    auto *group = new QGroupBox(QStringLiteral("Add:"));
    group->setObjectName(QStringLiteral("GroupBox4"));
    auto *grid = new QGridLayout(group);
    grid->setVerticalSpacing(2);
    for (int i = 0; i < 5; ++i) {
        m_flags[i] = new QCheckBox(QString::fromLatin1(captions[i]), group);
        m_flags[i]->setObjectName(QStringLiteral("CheckBox%1").arg(i + 1));
        m_flags[i]->setChecked(m_templates.include[i]);
        connect(m_flags[i], &QCheckBox::clicked, this, &TemplateWindow::saveFlags);
        // Three columns: Finished and Testing, At work and To do, Someday.
        grid->addWidget(m_flags[i], i % 2, i / 2);
    }
    return group;
}

QGroupBox *TemplateWindow::disposalGroup()
{
    auto *group = new QGroupBox(QStringLiteral("Temporary files"));
    group->setObjectName(QStringLiteral("GroupBox5"));
    auto *box = new QCheckBox(QStringLiteral("Delete temporary files permanently"), group);
    box->setObjectName(QStringLiteral("CheckBox6"));
    box->setToolTip(QStringLiteral("Otherwise \"Delete temporary files\" moves them to the trash."));
    box->setChecked(m_tempFiles.disposal() == TempFiles::Disposal::Delete);
    connect(box, &QCheckBox::toggled, this, [this](bool permanently) {
        const auto disposal = permanently ? TempFiles::Disposal::Delete : TempFiles::Disposal::Trash;
        m_tempFiles.setDisposal(disposal);
        runCommand(m_prompts, [this, disposal] { TempFiles::saveDisposal(m_folder, disposal); });
    });
    (new QVBoxLayout(group))->addWidget(box, 0, Qt::AlignTop);
    return group;
}

QGroupBox *TemplateWindow::backupGroup()
{
    auto *group = new QGroupBox(QStringLiteral("Backup"));
    group->setObjectName(QStringLiteral("BackupGroup"));
    m_backupsToKeep = new QSpinBox(group);
    m_backupsToKeep->setObjectName(QStringLiteral("BackupsToKeep"));
    m_backupsToKeep->setRange(0, 9999);
    runCommand(m_prompts, [this] { m_backupsToKeep->setValue(BackupsToKeep::load(m_folder)); });
    // Connected after loading, so loading writes nothing.
    connect(m_backupsToKeep, &QSpinBox::valueChanged, this, [this](int keep) {
        runCommand(m_prompts, [this, keep] { BackupsToKeep::save(m_folder, keep); });
    });
    auto *label = new QLabel(QStringLiteral("Backups to &keep (0 keeps all):"), group);
    label->setObjectName(QStringLiteral("BackupsToKeepLabel"));
    label->setBuddy(m_backupsToKeep);
    auto *column = new QVBoxLayout(group);
    column->addWidget(label);
    column->addWidget(m_backupsToKeep, 0, Qt::AlignLeft);
    return group;
}

void TemplateWindow::saveText(ChangelogTemplates::Part part)
{
    m_templates.texts[part] = memoText(m_memos[part]);
    runCommand(m_prompts, [this, part] { m_templates.saveText(m_folder, part); });
}

void TemplateWindow::saveFlags()
{
    for (int i = 0; i < 5; ++i)
        m_templates.include[i] = m_flags[i]->isChecked();
    runCommand(m_prompts, [this] { m_templates.saveFlags(m_folder); });
}
