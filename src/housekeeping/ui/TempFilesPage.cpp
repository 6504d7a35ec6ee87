#include "housekeeping/ui/TempFilesPage.h"

#include "workspace/Workspace.h"
#include "widgets/AccessibleNames.h"
#include "widgets/Frame.h"
#include "widgets/ItemViews.h"
#include "widgets/ListPopupMenu.h"
#include "widgets/PageContext.h"
#include "chores/ChoreEndMessage.h"
#include "platform/Prompts.h"

#include <QListView>
#include <QStringListModel>
#include <QVBoxLayout>

TempFilesPage::TempFilesPage(const PageContext &context, QWidget *parent)
    : QWidget(parent), m_tempFiles(context.workspace.tempFiles), m_prompts(context.prompts), m_frame(context.frame),
      m_found(new QStringListModel(this)), m_list(new QListView(this))
{
    setObjectName(QStringLiteral("TabSheet6"));
    // Shown in the order of the found list, which is sorted ignoring case.
    m_list->setObjectName(QStringLiteral("ListBox2"));
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setUniformItemSizes(true);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setModel(m_found);
    AccessibleNames::nameAfterPage(m_list);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_list);

    auto *menu = new ListPopupMenu(m_list, "PopupMenu2", context.prompts);
    menu->addDeleteCommand("Delete2", [this] { deleteFiles(m_tempFiles.foundAt(selectedRows(*m_list)), false); });
    m_frame.bindCommand("Deletetemporaryfiles1", [this] { deleteFiles(m_tempFiles.found(), true); });

    connect(&m_tempFiles, &TempFiles::listingStarted, this, [this] {
        m_found->setStringList({});
        m_frame.setFilesPanel(QStringLiteral("Listing…"));
    });
    connect(&m_tempFiles, &TempFiles::scanned, this, &TempFilesPage::showListing);
}

void TempFilesPage::deleteFiles(const QStringList &paths, bool sayFinished)
{
    if (!m_tempFiles.confirmDeletion(paths))
        return;
    const TempFiles::Disposal disposal = m_tempFiles.disposal();
    auto work = [paths, disposal](ChoreProgress &progress) { TempFiles::deleteFiles(paths, disposal, progress); };
    const QString status = disposal == TempFiles::Disposal::Trash ? QStringLiteral("Moving temporary files to the trash")
                                                                  : QStringLiteral("Deleting temporary files");
    m_frame.runChore(status, std::move(work), [this, sayFinished, disposal](const ChoreReport &report) {
        m_tempFiles.scan();
        tellChoreEnd(m_prompts, report, {TempFiles::handledWord(disposal)}, sayFinished);
    });
}

void TempFilesPage::showListing()
{
    m_found->setStringList(m_tempFiles.found());
    m_frame.setFilesPanel(m_tempFiles.countText());
}
