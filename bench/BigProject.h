#pragma once

#include "project/ProjectFile.h"

#include <QStringList>

// A project with `todos` to-do items that read like real ones, about 177 bytes each in the file
// (100,000 make 17.7 MB), and a few entries in every other list; written in file order, unsorted.
namespace BigProject {

inline ProjectData make(int todos)
{
    static const QStringList subjects = {"list view", "project file", "zip writer", "upload run", "changelog",
                                         "backup folder", "status bar", "to-do dialog", "language file"};
    static const QStringList verbs = {"Fix", "Speed up", "Tidy", "Rework", "Explain", "Check"};
    ProjectData data;
    data.name = QStringLiteral("Big project");
    data.version = QStringLiteral("4.2");
    data.projectFolder = QStringLiteral("/nowhere/big");
    data.backupFolder = QStringLiteral("/nowhere/backup/");
    for (int i = 0; i < 20; ++i) {
        const QString n = QString::number((i * 7) % 20);
        data.developers.append(DeveloperEntry::fromFields(
            {QStringLiteral("Developer ") + n, n + QStringLiteral("@example.org"), {}, {}, {}, {}}));
        data.copies.append(CopyEntry::fromFields({QStringLiteral("/src/file") + n, QStringLiteral("/out/file") + n}));
    }
    data.tempExtensions = {QStringLiteral(".tmp"), QStringLiteral(".bak"), QStringLiteral(".o")};
    data.description = {QStringLiteral("A project with a long to-do list.")};
    quint32 seed = 12345;
    const auto next = [&seed](quint32 range) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) % range;
    };
    for (int i = 0; i < todos; ++i) {
        TodoItem item;
        item.status = 8 + int(next(5));
        item.priority = 4 + int(next(3));
        item.kind = int(next(4));
        item.official = next(5) == 0 ? 7 : -1;
        item.version = QStringLiteral("%1.%2").arg(1 + next(4)).arg(next(20));
        const QString &subject = subjects[int(next(subjects.size()))];
        item.title = QStringLiteral("%1 the %2 when it holds item %3").arg(verbs[int(next(verbs.size()))], subject).arg(i);
        item.description = QStringLiteral("Seen with %1 rows in the %2; it should answer at once and keep what the user chose.")
                               .arg(next(100000)).arg(subject);
        if (next(3) != 0)
            item.note = QStringLiteral("see report %1").arg(next(5000));
        data.todos.append(item);
    }
    return data;
}

inline void write(const QString &path, int todos)
{
    ProjectFile::write(path, make(todos));
}

} // namespace BigProject
