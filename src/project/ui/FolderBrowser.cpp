#include "project/ui/FolderBrowser.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QEvent>
#include <QFileSystemModel>
#include <QLabel>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace {
// The title until a caller gives one; it says nothing, so it is not repeated above the tree.
const QString kStartTitle = QStringLiteral("Form6");
}

FolderBrowser::FolderBrowser(QWidget *parent)
    : QDialog(parent), m_model(new QFileSystemModel(this)), m_tree(new QTreeView(this)), m_prompt(new QLabel(this))
{
    setObjectName(QStringLiteral("TForm6"));
    setWindowTitle(kStartTitle);
    resize(178, 500);

    m_model->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::Drives);
    m_model->setRootPath(QDir::rootPath());
    m_tree->setObjectName(QStringLiteral("ShellTreeView1"));
    m_tree->setModel(m_model);
    m_tree->setRootIndex(m_model->index(QDir::rootPath()));
    m_tree->setHeaderHidden(true);
    for (int column = 1; column < m_model->columnCount(); ++column)
        m_tree->hideColumn(column);
    m_tree->setContextMenuPolicy(Qt::PreventContextMenu);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("BitBtn1"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    m_prompt->setWordWrap(true);
    m_tree->setAccessibleName(QStringLiteral("Folders"));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(m_prompt);
    layout->addWidget(m_tree);
    layout->addWidget(buttons);

    selectFolder(QDir::homePath());
}

void FolderBrowser::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::WindowTitleChange) {
        m_prompt->setText(windowTitle());
        m_prompt->setVisible(windowTitle() != kStartTitle);
    }
    QDialog::changeEvent(event);
}

void FolderBrowser::selectFolder(const QString &path)
{
    const QModelIndex index = m_model->index(path);
    m_tree->setCurrentIndex(index);
    m_tree->scrollTo(index);
    m_tree->expand(index);
}

QString FolderBrowser::selectedFolder() const
{
    const QModelIndex index = m_tree->currentIndex();
    return index.isValid() ? QDir::toNativeSeparators(m_model->filePath(index)) : QString();
}

QString FolderBrowser::pick()
{
    exec();
    return selectedFolder();
}
