#include "widgets/LogList.h"

#include "platform/Prompts.h"
#include "project/TextFile.h"
#include "widgets/CommandRunner.h"

#include <QApplication>
#include <QAction>
#include <QClipboard>
#include <QMenu>

#include <algorithm>
#include <numeric>

LogList::LogList(Prompts &prompts, QWidget *parent) : QListWidget(parent), m_prompts(prompts)
{
    // Every line is one text line: no layout of the whole log at each new line.
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);

    auto *menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("LogMenu"));
    auto *copy = new QAction(QStringLiteral("&Copy"), this);
    copy->setObjectName(QStringLiteral("LogCopy"));
    menu->addAction(copy);
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetShortcut);
    addAction(copy);
    connect(copy, &QAction::triggered, this, &LogList::copy);
    auto *save = new QAction(QStringLiteral("&Save..."), this);
    save->setObjectName(QStringLiteral("LogSave"));
    menu->addAction(save);
    connect(save, &QAction::triggered, this, [this] { runCommand(m_prompts, [this] { LogList::save(); }); });
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, menu, [this, menu, copy, save](const QPoint &position) {
        copy->setEnabled(count() > 0);
        save->setEnabled(count() > 0);
        menu->popup(viewport()->mapToGlobal(position));
    });
}

void LogList::addLine(const QString &line)
{
    auto *item = new QListWidgetItem(line);
    // A narrow pane cuts long lines; the whole line is one hover away.
    item->setToolTip(line);
    insertItem(0, item);
}

QStringList LogList::chosenLines() const
{
    QList<int> rows;
    for (const QModelIndex &index : selectionModel()->selectedIndexes())
        rows.append(index.row());
    return rows.isEmpty() ? allLines() : linesOf(rows);
}

QStringList LogList::allLines() const
{
    QList<int> rows(count());
    std::iota(rows.begin(), rows.end(), 0);
    return linesOf(rows);
}

QStringList LogList::linesOf(QList<int> rows) const
{
    // Newest at the top: the oldest line has the highest row.
    std::sort(rows.begin(), rows.end(), std::greater<>());
    QStringList lines;
    for (const int row : std::as_const(rows))
        lines.append(item(row)->text());
    return lines;
}

void LogList::copy()
{
    if (count() > 0)
        QApplication::clipboard()->setText(chosenLines().join(QLatin1Char('\n')));
}

void LogList::save()
{
    const std::optional<QString> path = m_prompts.saveFile(QStringLiteral("Text files (*.txt);;All files (*)"));
    if (path && !path->isEmpty())
        TextFile::writeLines(*path, allLines());
}
