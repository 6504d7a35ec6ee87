#include "chores/ChoreReach.h"

#include "project/Error.h"

#include <QDir>
#include <QFileInfo>

namespace {

struct SystemFolder
{
    QString folder; // "/etc"
    bool wholly; // nothing inside it is any project's
};

// The system folder the real path is, or lies inside when nothing inside that folder is any
// project's; nothing otherwise, and for the folders below those that hold many projects.
std::optional<SystemFolder> systemFolderOf(const QString &real)
{
#ifdef Q_OS_UNIX
    const QStringList parts = QDir::fromNativeSeparators(real).split(QLatin1Char('/'), Qt::SkipEmptyParts);
    if (parts.isEmpty())
        return std::nullopt;
    const QString &top = parts.first();
    static const QStringList wholly{QStringLiteral("etc"),  QStringLiteral("usr"),  QStringLiteral("bin"),
                                    QStringLiteral("sbin"), QStringLiteral("boot"), QStringLiteral("dev"),
                                    QStringLiteral("proc"), QStringLiteral("sys")};
    static const QStringList itself{QStringLiteral("var"),  QStringLiteral("opt"),   QStringLiteral("srv"),
                                    QStringLiteral("home"), QStringLiteral("media"), QStringLiteral("mnt")};
    if (wholly.contains(top) || top.startsWith(QLatin1String("lib")))
        return SystemFolder{QLatin1Char('/') + top, true};
    if (parts.size() == 1 && itself.contains(top))
        return SystemFolder{QLatin1Char('/') + top, false};
#else
    Q_UNUSED(real)
#endif
    return std::nullopt;
}

bool isRoot(const QString &real)
{
    return QDir(real).isRoot();
}

QString quoted(const QString &what, const QString &path)
{
    return QStringLiteral("%1 \"%2\"").arg(what, QDir::toNativeSeparators(path));
}

// " (which leads to "/etc")" when links made the path another one.
QString leadingTo(const QString &resolved, const QString &real)
{
    if (QDir::cleanPath(QDir::fromNativeSeparators(resolved)) == QDir::fromNativeSeparators(real))
        return {};
    return QStringLiteral(" (which leads to \"%1\")").arg(QDir::toNativeSeparators(real));
}

} // namespace

ChoreReach::ChoreReach(const QString &projectFile)
{
    if (!projectFile.isEmpty())
        m_base = QDir::toNativeSeparators(QFileInfo(projectFile).absolutePath());
}

QString ChoreReach::resolved(const QString &path) const
{
    if (path.isEmpty() || QDir::isAbsolutePath(path) || m_base.isEmpty())
        return path;
    QString joined = QDir::toNativeSeparators(QDir::cleanPath(m_base + QDir::separator() + path));
    const bool folder = path.endsWith(QLatin1Char('/')) || path.endsWith(QDir::separator());
    if (folder && !joined.endsWith(QDir::separator()))
        joined += QDir::separator();
    return joined;
}

std::optional<QString> ChoreReach::unresolvable(const QString &path, const QString &what) const
{
    if (path.trimmed().isEmpty())
        return QStringLiteral("%1 is empty: it names no folder or file to work on.").arg(what);
    if (!QDir::isAbsolutePath(resolved(path)))
        return QStringLiteral("%1 is not a full path, and the project has not been saved yet, so there is no "
                              "folder to take it from. Save the project first, or give it with its folders from "
                              "the top.")
            .arg(quoted(what, path));
    return std::nullopt;
}

std::optional<QString> ChoreReach::sourceRefusal(const QString &path, const QString &what) const
{
    if (std::optional<QString> refusal = unresolvable(path, what))
        return refusal;
    const QString full = resolved(path);
    const QString real = realPath(full);
    const QString named = quoted(what, path) + leadingTo(full, real);
    const QString chooseOwn = QStringLiteral("choose the folder of the project itself.");
    if (isRoot(real))
        return QStringLiteral("%1 is the root of the file system, which holds the files of the whole system: %2")
            .arg(named, chooseOwn);
    if (const std::optional<SystemFolder> system = systemFolderOf(real)) {
        if (!system->wholly)
            return QStringLiteral("%1 is the system's folder %2 itself, which holds the files of many programs and "
                                  "projects: %3")
                .arg(named, system->folder, chooseOwn);
        return QStringLiteral("%1 is %2the operating system's folder %3, whose files are the system's own: %4")
            .arg(named, real == system->folder ? QString() : QStringLiteral("inside "), system->folder, chooseOwn);
    }
    if (real == realPath(QDir::homePath()))
        return QStringLiteral("%1 is your home folder itself, which holds the files of all your programs and "
                              "projects: %2")
            .arg(named, chooseOwn);
    return std::nullopt;
}

std::optional<QString> ChoreReach::targetRefusal(const QString &path, const QString &what) const
{
    if (std::optional<QString> refusal = unresolvable(path, what))
        return refusal;
    const QString full = resolved(path);
    const QString real = realPath(full);
    if (isRoot(real))
        return QStringLiteral("%1 is the root of the file system: no chore writes there.")
            .arg(quoted(what, path) + leadingTo(full, real));
    return std::nullopt;
}

QString ChoreReach::source(const QString &path, const QString &what) const
{
    if (const std::optional<QString> refusal = sourceRefusal(path, what))
        throw Error(*refusal);
    return resolved(path);
}

QString ChoreReach::target(const QString &path, const QString &what) const
{
    if (const std::optional<QString> refusal = targetRefusal(path, what))
        throw Error(*refusal);
    return resolved(path);
}

QString ChoreReach::realPath(const QString &path)
{
    QString existing = QDir::cleanPath(QDir::fromNativeSeparators(path));
    QString rest;
    for (;;) {
        const QString real = QFileInfo(existing).canonicalFilePath();
        if (!real.isEmpty())
            return QDir::toNativeSeparators(rest.isEmpty() ? real : QDir::cleanPath(real + QLatin1Char('/') + rest));
        const qsizetype slash = existing.lastIndexOf(QLatin1Char('/'));
        if (slash < 0 || existing == QLatin1String("/"))
            return QDir::toNativeSeparators(QDir::cleanPath(path));
        const QString last = existing.mid(slash + 1);
        rest = rest.isEmpty() ? last : last + QLatin1Char('/') + rest;
        existing = slash == 0 ? QStringLiteral("/") : existing.left(slash);
    }
}

bool ChoreReach::isWithin(const QString &path, const QString &tree)
{
    if (path == tree || isRoot(tree))
        return true;
    return path.startsWith(tree) && path.at(tree.size()) == QDir::separator();
}
