#include "upload/ui/UploadPage.h"

#include "chores/ChoreEndMessage.h"
#include "workspace/Workspace.h"
#include "widgets/FileDrops.h"
#include "widgets/Frame.h"
#include "widgets/ListPopupMenu.h"
#include "widgets/PageContext.h"
#include "widgets/RecordListView.h"
#include "platform/Prompts.h"
#include "project/ListRows.h"
#include "upload/TargetUrl.h"
#include "upload/UploadPasswords.h"
#include "upload/UploadRun.h"
#include "upload/ui/PromptHostTrust.h"
#include "upload/ui/UploadDialog.h"

#include <QFileInfo>
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
      m_passwords(m_project, context.workspace.commands, m_prompts)
{
    m_dialog = new UploadDialog(m_project, m_prompts, m_passwords, context.frame.window());
    setObjectName(QStringLiteral("TabSheet13"));
    m_list = new RecordListView(m_project, ProjectList::Uploads,
                                {{QStringLiteral("From"), 300}, {QStringLiteral("To"), 300}}, uploadRows(m_project), this);
    m_list->setObjectName(QStringLiteral("ListView5"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_list);

    auto *menu = new ListPopupMenu(m_list, "PopupMenu6", m_prompts);
    menu->addCommand("Newupload1", QStringLiteral("New upload"), [this] { m_dialog->editNew(); });
    menu->addSeparator()->setObjectName(QStringLiteral("N10"));
    menu->addDeleteCommand("Delete6", [this] { removeSelected(); });
    connect(m_list, &RecordListView::editRequested, this, &UploadPage::editFirstSelected);
    // The one upload dialog takes the first dropped file as the new upload's source.
    acceptFileDrops(m_list, m_prompts, [this](const QStringList &paths) {
        const auto file = std::find_if(paths.begin(), paths.end(), [](const QString &path) { return QFileInfo(path).isFile(); });
        if (file != paths.end())
            m_dialog->editNew(*file);
    });
    connect(&context.workspace.commands, &ProjectCommands::documentReplaced, m_dialog, &QDialog::close);

    m_frame.bindCommand("Uploadfiles1", [this] { uploadFiles(); });
    m_frame.bindCommand("Movepasswords1", [this] { m_passwords.moveToKeyring(); });
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
    m_frame.runChore(
        QStringLiteral("Uploading"),
        [this, uploads](ChoreProgress &progress) {
            PromptHostTrust trust(m_prompts, progress);
            const std::unique_ptr<PasswordSource> passwords = m_passwords.sourceFor(progress);
            UploadServices services;
            services.hostTrust = &trust;
            services.passwords = passwords.get();
            runUploads(uploads, progress, services);
        },
        [this, count = uploads.size()](const ChoreReport &report) {
            tellChoreEnd(m_prompts, report, uploadEndWording(report, count));
        });
}
