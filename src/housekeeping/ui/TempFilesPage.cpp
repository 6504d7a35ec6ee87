#include "housekeeping/ui/TempFilesPage.h"

#include <QListWidget>
#include <QVBoxLayout>

TempFilesPage::TempFilesPage(const PageContext &, QWidget *parent) : QWidget(parent), m_list(new QListWidget(this))
{
    setObjectName(QStringLiteral("TabSheet6"));
    m_list->setObjectName(QStringLiteral("ListBox2"));
    m_list->setSortingEnabled(true);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_list);
}
