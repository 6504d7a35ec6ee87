#include "housekeeping/ListFiles.h"

#include "chores/ChoreProgress.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <deque>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#else
#include <filesystem>
#endif

namespace {

enum class EntryKind { File, Folder, Other };

#ifdef Q_OS_UNIX

using NativeName = const char *;

// Most names are plain ASCII, which needs no decoding and no second string.
void appendName(QString &path, NativeName name)
{
    const qsizetype length = qstrlen(name);
    if (std::all_of(name, name + length, [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        path.append(QLatin1StringView(name, length));
    else
        path.append(QFile::decodeName(name));
}

// The kind the listing reports is taken as is; links, and file systems that report no
// kind, need a look at the entry itself.
EntryKind kindOf(DIR *folder, const dirent *entry)
{
    switch (entry->d_type) {
    case DT_REG: return EntryKind::File;
    case DT_DIR: return EntryKind::Folder;
    case DT_LNK:
    case DT_UNKNOWN: break;
    default: return EntryKind::Other;
    }
    struct stat info;
    if (fstatat(dirfd(folder), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0)
        return EntryKind::Other; // gone since the listing
    if (S_ISLNK(info.st_mode))
        return fstatat(dirfd(folder), entry->d_name, &info, 0) == 0 && S_ISREG(info.st_mode) ? EntryKind::File
                                                                                             : EntryKind::Other;
    return S_ISDIR(info.st_mode) ? EntryKind::Folder : S_ISREG(info.st_mode) ? EntryKind::File : EntryKind::Other;
}

// Calls visit(name, kind) for every file and folder in `folder`, in listing order.
// Unreadable folders have no entries; they go to `progress` as failures, unless they are gone.
template<typename Visit>
void readFolder(const QString &folder, ChoreProgress *progress, Visit visit)
{
    DIR *listing = opendir(QFile::encodeName(folder).constData());
    if (!listing) {
        if (progress && errno != ENOENT)
            progress->addFailure(QDir::toNativeSeparators(folder), qt_error_string(errno));
        return;
    }
    while (const dirent *entry = readdir(listing)) {
        const char *name = entry->d_name;
        if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
            continue;
        const EntryKind kind = kindOf(listing, entry);
        if (kind != EntryKind::Other)
            visit(name, kind);
    }
    closedir(listing);
}

#else

namespace fs = std::filesystem;

using NativeName = const fs::path &;

void appendName(QString &path, NativeName name)
{
    path.append(QString::fromStdWString(name.native()));
}

EntryKind kindOf(const fs::directory_entry &entry)
{
    std::error_code error;
    if (entry.is_symlink(error))
        return fs::is_regular_file(entry.status(error)) ? EntryKind::File : EntryKind::Other;
    if (entry.is_directory(error))
        return EntryKind::Folder;
    return entry.is_regular_file(error) ? EntryKind::File : EntryKind::Other;
}

template<typename Visit>
void readFolder(const QString &folder, ChoreProgress *progress, Visit visit)
{
    std::error_code error;
    fs::directory_iterator entries(fs::path(folder.toStdWString()), error);
    if (error && progress && error != std::errc::no_such_file_or_directory)
        progress->addFailure(QDir::toNativeSeparators(folder), QString::fromStdString(error.message()));
    for (; !error && entries != fs::directory_iterator(); entries.increment(error)) {
        const EntryKind kind = kindOf(*entries);
        if (kind != EntryKind::Other)
            visit(entries->path().filename(), kind);
    }
}

#endif

} // namespace

QStringList listFiles(const QString &folder, bool withSubfolders, ChoreProgress *progress)
{
    QStringList files;
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return files;
    const QString separator = QDir::separator();
    QString root = folder;
    if (root.endsWith(separator))
        root.chop(1);

    // One pass over each folder: its files go to the result, its subfolders to the back of
    // the queue. That gives the same order as listing all folders first and files after.
    std::deque<QString> folders{root + separator};
    while (!folders.empty()) {
        if (progress)
            progress->checkCancelled();
        const QString prefix = std::move(folders.front());
        folders.pop_front();
        readFolder(prefix, progress, [&](NativeName name, EntryKind kind) {
            if (kind == EntryKind::Folder && !withSubfolders)
                return;
            QString path = prefix;
            appendName(path, name);
            if (kind == EntryKind::File) {
                files.append(std::move(path));
            } else {
                path.append(separator);
                folders.push_back(std::move(path));
            }
        });
    }
    return files;
}
