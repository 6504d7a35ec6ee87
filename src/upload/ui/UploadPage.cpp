#include "upload/ui/UploadPage.h"

#include "chores/ChoreEndMessage.h"
#include "workspace/Workspace.h"
#include "widgets/CommandRunner.h"
#include "widgets/FileDrops.h"
#include "widgets/Frame.h"
#include "widgets/ListPopupMenu.h"
#include "widgets/PageContext.h"
#include "widgets/RecordListView.h"
#include "platform/Prompts.h"
#include "project/ListRows.h"
#include "upload/TargetUrl.h"
#include "upload/UploadPasswords.h"
#include "upload/FolderDeploy.h"
#include "upload/TransfersAtOnce.h"
#include "upload/UploadRun.h"
#include "upload/ui/PromptHostTrust.h"
#include "upload/ui/TransferListView.h"
#include "upload/ui/UploadDialog.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QSpinBox>
#include <QSplitter>
#include <QVBoxLayout>


namespace {

// Only where from and where to: the account stays in the dialog, and so does a password
// written into the target URL.
RecordListView::Rows uploadRows(const Project &project)
{
    return {[&project] { return static_cast<int>(project.data().uploads.size()); },
            [&project](int row) { return project.data().uploads.at(row).uid; },
            [&project](int row, int column, int role) -> QVariant {
                if (role != Qt::DisplayRole)
                    return {};
                const UploadEntry &entry = project.data().uploads.at(row);
                return column == 0 ? entry.source : urlWithoutPassword(entry.target);
            }};
}

} // namespace

UploadPage::UploadPage(const PageContext &context, QWidget *parent)
    : QWidget(parent), m_project(context.workspace.project), m_prompts(context.prompts), m_frame(context.frame),
      m_passwords(m_project, context.workspace.commands, m_prompts), m_settingsFolder(context.workspace.appDataFolder)
{
    m_dialog = new UploadDialog(m_project, m_prompts, m_passwords, context.frame.window());
    setObjectName(QStringLiteral("TabSheet13"));
    m_list = new RecordListView(m_project, ProjectList::Uploads,
                                {{QStringLiteral("From"), 300}, {QStringLiteral("To"), 300}}, uploadRows(m_project), this);
    m_list->setObjectName(QStringLiteral("ListView5"));
    m_transfers = new TransferListView(m_queue);
    // The entries above, the files of the last run or preview below.
    auto *splitter = new QSplitter(Qt::Vertical, this);
    splitter->addWidget(m_list);
    splitter->addWidget(m_transfers);
    splitter->setStretchFactor(0, 2);
    splitter->setStretchFactor(1, 1);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splitter);
    layout->addLayout(transfersAtOnceRow());

    auto *menu = new ListPopupMenu(m_list, "PopupMenu6", m_prompts);
    menu->addCommand("Newupload1", QStringLiteral("New upload"), [this] { m_dialog->editNew(); });
    menu->addCommand("PreviewUploads", QStringLiteral("Preview"), [this] { previewUploads(); });
    menu->addSeparator()->setObjectName(QStringLiteral("N10"));
    menu->addDeleteCommand("Delete6", [this] { removeSelected(); });
    connect(m_list, &RecordListView::editRequested, this, &UploadPage::editFirstSelected);
    // The one upload dialog takes the first dropped file as the new upload's source, or else
    // the first folder, which makes one entry that deploys all of it.
    acceptFileDrops(m_list, m_prompts, [this](const QStringList &paths) {
        auto source = std::find_if(paths.begin(), paths.end(), [](const QString &path) { return QFileInfo(path).isFile(); });
        if (source == paths.end())
            source = std::find_if(paths.begin(), paths.end(), [](const QString &path) { return QFileInfo(path).isDir(); });
        if (source != paths.end())
            m_dialog->editNew(*source);
    });
    connect(&context.workspace.commands, &ProjectCommands::documentReplaced, m_dialog, &QDialog::close);

    m_frame.bindCommand("Uploadfiles1", [this] { uploadFiles(); });
    m_frame.bindCommand("Movepasswords1", [this] { m_passwords.moveToKeyring(); });
}

// The user's setting of how many connections a folder deploy opens at once.
QHBoxLayout *UploadPage::transfersAtOnceRow()
{
    auto *transfers = new QSpinBox(this);
    transfers->setObjectName(QStringLiteral("TransfersAtOnce"));
    transfers->setRange(1, TransfersAtOnce::Max);
    transfers->setToolTip(QStringLiteral("Connections a folder upload opens to its server at once; 1 sends the files in order."));
    transfers->setValue(TransfersAtOnce::Default);
    runCommand(m_prompts, [this, transfers] { transfers->setValue(TransfersAtOnce::load(m_settingsFolder)); });
    // Connected after loading, so loading writes nothing.
    connect(transfers, &QSpinBox::valueChanged, this, [this](int count) {
        runCommand(m_prompts, [this, count] { TransfersAtOnce::save(m_settingsFolder, count); });
    });
    auto *label = new QLabel(QStringLiteral("&Transfers at once:"), this);
    label->setObjectName(QStringLiteral("TransfersAtOnceLabel"));
    label->setBuddy(transfers);
    auto *row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(transfers);
    row->addStretch(1);
    return row;
}

void UploadPage::editFirstSelected()
{
    const QList<int> rows = m_list->selectedRows();
    if (!rows.isEmpty())
        m_dialog->edit(m_project.data().uploads.at(rows.first()));
}

void UploadPage::removeSelected()
{
    m_project.setUploads(withoutRows(m_project.data().uploads, m_list->selectedRows()));
}

// The run gets its own copy of the list. Its end is told in one message; an entry that stopped
// the run is told instead, with the failures before it.
void UploadPage::uploadFiles()
{
    const QList<UploadEntry> uploads = m_project.data().uploads;
    const int transfers = TransfersAtOnce::load(m_settingsFolder);
    m_frame.runChore(
        QStringLiteral("Uploading"),
        [this, uploads, transfers](ChoreProgress &progress) {
            PromptHostTrust trust(m_prompts, progress);
            const std::unique_ptr<PasswordSource> passwords = m_passwords.sourceFor(progress);
            UploadServices services;
            services.hostTrust = &trust;
            services.passwords = passwords.get();
            services.transfersAtOnce = transfers;
            services.queue = &m_queue;
            runUploads(uploads, progress, services);
        },
        [this, count = uploads.size()](const ChoreReport &report) {
            m_transfers->refresh();
            tellChoreEnd(m_prompts, report, uploadEndWording(report, count));
        });
}

// What "Upload files" would do, in the transfer list, and its sum in a message; nothing moves.
void UploadPage::previewUploads()
{
    const QList<UploadEntry> uploads = m_project.data().uploads;
    auto summary = std::make_shared<QStringList>();
    m_frame.runChore(
        QStringLiteral("Preview"),
        [this, uploads, summary, &queue = m_queue](ChoreProgress &progress) {
            PromptHostTrust trust(m_prompts, progress);
            const std::unique_ptr<PasswordSource> passwords = m_passwords.sourceFor(progress);
            UploadServices services;
            services.hostTrust = &trust;
            services.passwords = passwords.get();
            queue.clear();
            for (const UploadPreview &preview : ::previewUploads(uploads, progress, services)) {
                summary->append(previewHeadline(preview));
                if (!preview.plan) {
                    queue.add(preview.entry.source, QFileInfo(preview.entry.source).size(), TransferQueue::State::Waiting);
                    continue;
                }
                static const TransferQueue::State states[] = {TransferQueue::State::Waiting, TransferQueue::State::Unchanged,
                                                              TransferQueue::State::ToRemove};
                for (const MirrorStep &step : preview.plan->steps)
                    queue.add(step.path, step.size, states[int(step.action)]);
                summary->append(QStringLiteral("  ") + describeMirrorPlan(*preview.plan).constLast());
            }
        },
        [this, summary, count = uploads.size()](const ChoreReport &report) {
            m_transfers->refresh();
            if (report.succeeded() && !summary->isEmpty())
                return m_prompts.message(QStringLiteral("Preview, nothing was sent:\n") + summary->join(QLatin1Char('\n')));
            tellChoreEnd(m_prompts, report, uploadEndWording(report, count));
        });
}
