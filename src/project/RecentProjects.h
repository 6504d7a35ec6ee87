#pragma once

#include <QObject>
#include <QStringList>

#include <optional>

// LastOpen.dat: the projects opened so far, one path per line, ascending ignoring case.
class RecentProjects : public QObject
{
    Q_OBJECT

public:
    explicit RecentProjects(QString folder, QObject *parent = nullptr);

    QString filePath() const;
    // Adds the path unless it is there in any letter case, and rewrites the file.
    void remember(const QString &path);
    // The entries of the Old projects menu: the existing files, deduplicated and sorted.
    // nullopt while the file does not exist (the menu is then left alone).
    std::optional<QStringList> menuEntries() const;

    // Removes exact repeats, keeping the first of each.
    static void removeDuplicates(QStringList &lines);

Q_SIGNALS:
    void changed();

private:
    QString m_folder;
};
