#include "housekeeping/ListFiles.h"

#include "chores/ChoreProgress.h"
#include "project/FileNameBytes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <deque>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <dirent.h>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#else
#include <filesystem>
#endif

namespace {

enum class EntryKind { File, Folder, Skipped, PassedOver };

// What the walk makes of an entry; the reason for one it passes over.
struct Entry
{
    EntryKind kind;
    QString reason = {};
};

#ifdef Q_OS_UNIX

using NativeName = const char *;

// Most names are plain ASCII, which needs no decoding and no second string.
void appendName(QString &path, NativeName name)
{
    const qsizetype length = qstrlen(name);
    if (std::all_of(name, name + length, [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        path.append(QLatin1StringView(name, length));
    else
        path.append(FileNameBytes::decode(QByteArrayView(name, length)));
}

Entry specialEntry(mode_t mode)
{
    if (S_ISFIFO(mode))
        return {EntryKind::PassedOver, QStringLiteral("a named pipe, not a file: left out")};
    if (S_ISSOCK(mode))
        return {EntryKind::PassedOver, QStringLiteral("a socket, not a file: left out")};
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return {EntryKind::PassedOver, QStringLiteral("a device, not a file: left out")};
    return {EntryKind::PassedOver, QStringLiteral("not a file or folder: left out")};
}

bool isWithin(const QByteArray &path, const QByteArray &tree)
{
    return path == tree || tree == "/" || (path.startsWith(tree) && path.at(tree.size()) == '/');
}

// The real path of a path, links resolved; empty with errno set when it cannot be had.
QByteArray realPathOf(const QByteArray &path)
{
    char real[PATH_MAX];
    return ::realpath(path.constData(), real) ? QByteArray(real) : QByteArray();
}

// A link is taken only when it leads to a file inside the tree being walked (`tree`, a real
// path): what lies outside is not the walk's to take, whatever the link's name.
Entry linkEntry(DIR *folder, const QByteArray &folderPath, const char *name, const QByteArray &tree)
{
    struct stat info;
    if (fstatat(dirfd(folder), name, &info, 0) != 0) {
        if (errno == ENOENT) {
            char target[PATH_MAX];
            const ssize_t length = readlinkat(dirfd(folder), name, target, sizeof target);
            return {EntryKind::PassedOver,
                    QStringLiteral("a link to \"%1\", which does not exist: left out")
                        .arg(FileNameBytes::decode(QByteArrayView(target, std::max<ssize_t>(length, 0))))};
        }
        if (errno == ELOOP)
            return {EntryKind::PassedOver, QStringLiteral("a link that leads round in a loop: left out")};
        return {EntryKind::PassedOver, qt_error_string(errno)};
    }
    const QByteArray real = realPathOf(folderPath + name);
    if (real.isEmpty())
        return {EntryKind::PassedOver, qt_error_string(errno)};
    if (!isWithin(real, tree))
        return {EntryKind::PassedOver, QStringLiteral("a link that leads out of the folder, to \"%1\": not followed")
                                           .arg(FileNameBytes::decode(real))};
    if (S_ISREG(info.st_mode))
        return {EntryKind::File};
    // A folder inside the tree is walked where it really is.
    return S_ISDIR(info.st_mode) ? Entry{EntryKind::Skipped} : specialEntry(info.st_mode);
}

// The kind the listing reports is taken as is; links, and file systems that report no kind,
// need a look at the entry itself.
Entry entryOf(DIR *folder, const QByteArray &folderPath, const dirent *entry, const QByteArray &tree)
{
    switch (entry->d_type) {
    case DT_REG: return {EntryKind::File};
    case DT_DIR: return {EntryKind::Folder};
    case DT_LNK: return linkEntry(folder, folderPath, entry->d_name, tree);
    case DT_UNKNOWN: break;
    default: return specialEntry(DTTOIF(entry->d_type));
    }
    struct stat info;
    if (fstatat(dirfd(folder), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0)
        return {EntryKind::Skipped}; // gone since the listing
    if (S_ISLNK(info.st_mode))
        return linkEntry(folder, folderPath, entry->d_name, tree);
    return S_ISDIR(info.st_mode) ? Entry{EntryKind::Folder}
         : S_ISREG(info.st_mode) ? Entry{EntryKind::File}
                                 : specialEntry(info.st_mode);
}

// Calls visit(name, entry) for every entry but "." and ".." in `folder`, in listing order.
// Unreadable folders have no entries; they go to `progress` as failures, unless they are gone.
template<typename Visit>
void readFolder(const QString &folder, const QByteArray &tree, ChoreProgress *progress, Visit visit)
{
    const QByteArray folderPath = FileNameBytes::encode(folder);
    DIR *listing = opendir(folderPath.constData());
    if (!listing) {
        if (progress && errno != ENOENT)
            progress->addFailure(QDir::toNativeSeparators(folder), qt_error_string(errno));
        return;
    }
    while (const dirent *entry = readdir(listing)) {
        const char *name = entry->d_name;
        if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
            continue;
        visit(name, entryOf(listing, folderPath, entry, tree));
    }
    closedir(listing);
}

// The real path of the folder being walked, against which links are told in or out.
QByteArray treeOf(const QString &folder)
{
    return realPathOf(FileNameBytes::encode(folder));
}

#else

namespace fs = std::filesystem;

using NativeName = const fs::path &;

void appendName(QString &path, NativeName name)
{
    path.append(QString::fromStdWString(name.native()));
}

Entry entryOf(const fs::directory_entry &entry)
{
    std::error_code error;
    if (entry.is_symlink(error))
        return fs::is_regular_file(entry.status(error)) ? Entry{EntryKind::File} : Entry{EntryKind::Skipped};
    if (entry.is_directory(error))
        return {EntryKind::Folder};
    return entry.is_regular_file(error) ? Entry{EntryKind::File} : Entry{EntryKind::Skipped};
}

template<typename Visit>
void readFolder(const QString &folder, const QByteArray &, ChoreProgress *progress, Visit visit)
{
    std::error_code error;
    fs::directory_iterator entries(fs::path(folder.toStdWString()), error);
    if (error && progress && error != std::errc::no_such_file_or_directory)
        progress->addFailure(QDir::toNativeSeparators(folder), QString::fromStdString(error.message()));
    for (; !error && entries != fs::directory_iterator(); entries.increment(error))
        visit(entries->path().filename(), entryOf(*entries));
}

QByteArray treeOf(const QString &)
{
    return {};
}

#endif

} // namespace

QStringList listFiles(const QString &folder, bool withSubfolders, ChoreProgress *progress,
                      QList<ChoreFailure> *passedOver)
{
    QStringList files;
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return files;
    const QString separator = QDir::separator();
    QString root = folder;
    if (root.endsWith(separator))
        root.chop(1);
    const QByteArray tree = treeOf(root);

    // One pass over each folder: its files go to the result, its subfolders to the back of
    // the queue. That gives the same order as listing all folders first and files after.
    std::deque<QString> folders{root + separator};
    while (!folders.empty()) {
        if (progress)
            progress->checkCancelled();
        const QString prefix = std::move(folders.front());
        folders.pop_front();
        readFolder(prefix, tree, progress, [&](NativeName name, const Entry &entry) {
            if (entry.kind == EntryKind::Skipped || (entry.kind == EntryKind::Folder && !withSubfolders))
                return;
            QString path = prefix;
            appendName(path, name);
            if (entry.kind == EntryKind::File) {
                files.append(std::move(path));
            } else if (entry.kind == EntryKind::Folder) {
                path.append(separator);
                folders.push_back(std::move(path));
            } else if (passedOver) {
                passedOver->append({QDir::toNativeSeparators(path), entry.reason});
            }
        });
    }
    return files;
}
