#pragma once

#include <QString>

#include <optional>

// Where a chore may reach: the one place that turns the folders and files a project names into
// the paths a chore works on, and that refuses those no chore may take.
//
// A relative path is taken from the folder of the project file, so a project kept with its
// files works wherever it is checked out, and never in whatever the working folder happens to
// be. Links are resolved before every check, so a link to a system folder counts as that
// folder. No chore takes as its source an empty path, the root of a file system, the
// operating system's own folders (/etc, /usr, /bin, /sbin, /lib*, /boot, /dev, /proc, /sys
// and everything inside them) or the folders that hold many projects (/var, /opt, /srv, /home,
// /media, /mnt and the home folder themselves; folders below them are fine). A target is
// refused only when it is empty or a root.
class ChoreReach
{
public:
    // Without a project file (a project never saved), a relative path has no folder to be taken
    // from and is refused.
    ChoreReach() = default;
    // For a project kept in `projectFile`.
    explicit ChoreReach(const QString &projectFile);

    // The folder relative paths are taken from, with the platform's separators and no trailing
    // separator; empty without a project file.
    const QString &baseFolder() const { return m_base; }

    // `path` as a chore uses it: a relative one joined to baseFolder() and cleaned (keeping a
    // trailing separator), a full one unchanged. Empty, and relative without a base, it stays.
    QString resolved(const QString &path) const;

    // resolved(path), when a chore may take it as its source; otherwise throws Error saying why,
    // with `what` naming the setting or the line ("The project folder", "Line 2 of the zip list").
    QString source(const QString &path, const QString &what) const;
    // resolved(path), when a chore may write there; otherwise throws Error as source() does.
    QString target(const QString &path, const QString &what) const;
    // Why `path` cannot be a source or a target, as source() and target() throw it; nothing
    // when it can.
    std::optional<QString> sourceRefusal(const QString &path, const QString &what) const;
    std::optional<QString> targetRefusal(const QString &path, const QString &what) const;

    // The path with every link in it resolved, also where its end does not exist (yet): the
    // real path of its longest existing part, then the rest. Cleaned, without a trailing
    // separator.
    static QString realPath(const QString &path);
    // Whether the real path `path` is `tree` or lies below it (both as realPath gives them).
    static bool isWithin(const QString &path, const QString &tree);

private:
    // Why the resolved path cannot be used at all (empty, relative without a base); nothing when
    // it can.
    std::optional<QString> unresolvable(const QString &path, const QString &what) const;

    QString m_base;
};
