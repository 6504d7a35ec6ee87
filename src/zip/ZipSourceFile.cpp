#include "zip/ZipSourceFile.h"

#include "project/FileNameBytes.h"

#include <QDir>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#ifdef Q_OS_UNIX

ZipSourceFile ZipSourceFile::of(const QString &path)
{
    ZipSourceFile file;
    file.path = path;
    const QByteArray native = FileNameBytes::encode(path);
    struct stat info;
    if (::lstat(native.constData(), &info) != 0)
        return file;
    file.exists = true;
    file.isLink = S_ISLNK(info.st_mode);
    if (file.isLink) {
        char target[PATH_MAX];
        const ssize_t length = ::readlink(native.constData(), target, sizeof target);
        file.linkTarget = FileNameBytes::decode(QByteArrayView(target, std::max<ssize_t>(length, 0)));
        if (::stat(native.constData(), &info) != 0)
            return file;
    }
    file.isFolder = S_ISDIR(info.st_mode);
    // Resolving a path costs a look at each of its folders: only where the walk needs it.
    if (file.isLink || file.isFolder)
        file.realPath = realPathOf(path);
    file.isFile = S_ISREG(info.st_mode);
    file.size = info.st_size;
    file.modified = QDateTime::fromMSecsSinceEpoch(qint64(info.st_mtim.tv_sec) * 1000 + info.st_mtim.tv_nsec / 1'000'000);
    file.writableByOwner = info.st_mode & S_IWUSR;
    if (S_ISFIFO(info.st_mode))
        file.otherKind = QStringLiteral("a named pipe");
    else if (S_ISSOCK(info.st_mode))
        file.otherKind = QStringLiteral("a socket");
    else if (S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode))
        file.otherKind = QStringLiteral("a device");
    return file;
}

QString ZipSourceFile::realPathOf(const QString &path)
{
    char real[PATH_MAX];
    return ::realpath(FileNameBytes::encode(path).constData(), real) ? FileNameBytes::decode(real) : QString();
}

QStringList ZipSourceFile::namesIn(const QString &folder, QString &unreadable)
{
    QStringList names;
    DIR *listing = ::opendir(FileNameBytes::encode(folder).constData());
    if (!listing) {
        unreadable = qt_error_string(errno);
        return names;
    }
    while (const dirent *entry = ::readdir(listing)) {
        const char *name = entry->d_name;
        if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
            continue;
        names.append(FileNameBytes::decode(name));
    }
    ::closedir(listing);
    return names;
}

#else

ZipSourceFile ZipSourceFile::of(const QString &path)
{
    const QFileInfo info(path);
    ZipSourceFile file;
    file.path = path;
    file.exists = info.exists() || info.isSymLink();
    file.isLink = info.isSymLink();
    file.linkTarget = info.symLinkTarget();
    file.isFolder = info.isDir();
    file.isFile = info.isFile();
    file.size = info.size();
    file.modified = info.lastModified();
    file.writableByOwner = info.permission(QFileDevice::WriteOwner);
    file.realPath = info.canonicalFilePath();
    return file;
}

QString ZipSourceFile::realPathOf(const QString &path)
{
    return QFileInfo(path).canonicalFilePath();
}

QStringList ZipSourceFile::namesIn(const QString &folder, QString &unreadable)
{
    const QDir dir(folder);
    if (!dir.isReadable())
        unreadable = QStringLiteral("Permission denied");
    return dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Unsorted);
}

#endif

QString ZipSourceFile::fileName() const
{
    const QString normal = QDir::fromNativeSeparators(path);
    return normal.mid(normal.lastIndexOf(QLatin1Char('/')) + 1);
}

bool ZipSourceFile::isHidden() const
{
#ifdef Q_OS_UNIX
    return fileName().startsWith(QLatin1Char('.'));
#else
    return QFileInfo(path).isHidden();
#endif
}
