#pragma once

#include <QListWidget>

class Prompts;

// The chores' log: newest line at the top, each line whole on hover, and in its pop-up menu
// Copy (Ctrl+C; the selected lines, or all) and Save (every line), oldest line first.
class LogList : public QListWidget
{
public:
    LogList(Prompts &prompts, QWidget *parent = nullptr);

    void addLine(const QString &line);
    // The selected lines, or every line when none is selected, oldest first.
    QStringList chosenLines() const;
    QStringList allLines() const;

private:
    void copy();
    void save();
    QStringList linesOf(QList<int> rows) const;

    Prompts &m_prompts;
};
