#include "housekeeping/FileCopier.h"

#include "chores/ChoreProgress.h"
#include "project/Error.h"
#include "project/FileNameBytes.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>

#include <algorithm>
#include <filesystem>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif
#ifdef Q_OS_LINUX
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/sendfile.h>
#endif

namespace {

// Small enough that a cancel is seen within a fraction of a second also on a slow disk.
constexpr qint64 pieceSize = 1024 * 1024;

std::filesystem::path nativePath(const QString &path)
{
#ifdef Q_OS_WIN
    return std::filesystem::path(path.toStdWString());
#else
    return std::filesystem::path(FileNameBytes::encode(path).toStdString());
#endif
}

QString reasonOf(const std::error_code &error)
{
    return QString::fromLocal8Bit(error.message());
}

std::error_code renameOver(const QString &from, const QString &to)
{
    std::error_code error;
    std::filesystem::rename(nativePath(from), nativePath(to), error);
    return error;
}

bool isSeparator(QChar c)
{
#ifdef Q_OS_WIN
    return c == u'\\' || c == u'/' || c == u':';
#else
    return c == u'/';
#endif
}

// The length of the folder part of a path: up to and including its last separator.
qsizetype folderLengthOf(QStringView path)
{
    qsizetype end = path.size() - 1;
    while (end >= 0 && !isSeparator(path.at(end)))
        --end;
    return end + 1;
}

#ifdef Q_OS_UNIX
// The part is made anew: a stale one may be a second name of a file in an earlier backup,
// which must never be written into.
int openPart(int folder, const QByteArray &name, mode_t mode)
{
    const int flags = O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC;
    int out = ::openat(folder, name.constData(), flags, mode);
    if (out < 0 && errno == EEXIST && ::unlinkat(folder, name.constData(), 0) == 0)
        out = ::openat(folder, name.constData(), flags, mode);
    return out;
}

// The next stretch of data from `offset` on, up to `size`: where it begins and where the hole
// after it begins; nothing when only a hole is left. A file system that cannot tell holes
// gives all of the rest as data.
std::optional<std::pair<qint64, qint64>> nextData(int file, qint64 offset, qint64 size)
{
    const qint64 start = ::lseek(file, offset, SEEK_DATA);
    if (start < 0)
        return errno == ENXIO ? std::nullopt : std::optional(std::pair(offset, size));
    if (start >= size)
        return std::nullopt;
    const qint64 hole = ::lseek(file, start, SEEK_HOLE);
    return std::pair(start, hole < 0 ? size : std::min(hole, size));
}

// The errors with which a way of copying says that it does not work for these files.
[[maybe_unused]] bool cannotTransferThisWay(int error)
{
    return error == EXDEV || error == ENOSYS || error == EINVAL || error == EOPNOTSUPP || error == ENOTTY;
}
#endif

} // namespace

FileCopier::FileCopier(ChoreProgress &progress, Staging staging) : m_progress(progress)
{
#ifdef Q_OS_LINUX
    m_unnamedFiles = staging == Staging::UnnamedWherePossible;
#else
    Q_UNUSED(staging)
#endif
}

FileCopier::~FileCopier()
{
#ifdef Q_OS_UNIX
    closeFolder();
#endif
}

bool FileCopier::copy(const QString &source, const QString &target)
{
    return copyThrough(source, target, true);
}

bool FileCopier::copyIntoUnfinished(const QString &source, const QString &target)
{
    return copyThrough(source, target, false);
}

std::optional<QString> FileCopier::link(const QString &existing, const QString &target)
{
    namespace fs = std::filesystem;
    std::error_code error;
    fs::create_hard_link(nativePath(existing), nativePath(target), error);
    if (error != std::errc::file_exists)
        return error ? std::optional(reasonOf(error)) : std::nullopt;
    // An older file is in the way: the link takes its place in one step.
    const QString part = temporaryNameFor(target);
    QFile::remove(part);
    fs::create_hard_link(nativePath(existing), nativePath(part), error);
    if (!error)
        error = renameOver(part, target);
    if (!error)
        return std::nullopt;
    QFile::remove(part);
    return reasonOf(error);
}

#ifdef Q_OS_UNIX

bool FileCopier::copyThrough(const QString &source, const QString &target, bool throughPart)
{
    const qsizetype folderLength = folderLengthOf(target);
    const int folder = openFolder(QStringView(target).first(folderLength));
    if (folder == -1) {
        m_progress.addFailure(target, qt_error_string(errno));
        return false;
    }
    const QByteArray name = FileNameBytes::encode(target.sliced(folderLength));
#ifdef Q_OS_LINUX
    if (throughPart && m_unnamedFiles) {
        if (const std::optional<bool> copied = copyUnnamed(source, target, folder, name))
            return *copied;
    }
#endif
    const QByteArray written = throughPart ? temporaryFileName(name) : name;
    // Whatever ends the copy early, a cancel between two pieces included, takes the half file
    // with it.
    auto removeWritten = qScopeGuard([&] { ::unlinkat(folder, written.constData(), 0); });
    int out = -1;
    std::optional<CopyFailure> failure;
    {
        const auto closeOut = qScopeGuard([&] {
            if (out != -1 && ::close(out) != 0 && !failure)
                failure = CopyFailure{false, qt_error_string(errno), errno};
        });
        failure = writeCopy(source, folder, written, out);
    }
    if (failure) {
        m_progress.addFailure(failure->inSource ? source : target, failure->reason);
        return false;
    }
    if (throughPart && ::renameat(folder, written.constData(), folder, name.constData()) != 0) {
        m_progress.addFailure(target, qt_error_string(errno));
        return false;
    }
    removeWritten.dismiss();
    return true;
}

int FileCopier::openFolder(QStringView folder)
{
    if (folder.isEmpty())
        return AT_FDCWD;
    if (m_openFolder != -1 && folder == m_openFolderPath)
        return m_openFolder;
    closeFolder();
#ifdef O_PATH
    const int flags = O_PATH | O_DIRECTORY | O_CLOEXEC;
#else
    const int flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
#endif
    const QString path = folder.toString();
    m_openFolder = ::open(FileNameBytes::encode(path).constData(), flags);
    if (m_openFolder != -1)
        m_openFolderPath = path;
    return m_openFolder;
}

void FileCopier::closeFolder()
{
    if (m_openFolder != -1)
        ::close(m_openFolder);
    m_openFolder = -1;
    m_openFolderPath.clear();
}

// The data goes from file to file without a copy through this process where the platform can
// (a clone of the blocks, else a copy in the kernel), in pieces so that a cancel is seen; the
// copy gets the source's mode (less the umask) and modification time, set on the open file.
std::optional<FileCopier::CopyFailure> FileCopier::writeCopy(const QString &source, int folder,
                                                             const QByteArray &name, int &out)
{
    const auto failed = [](bool inSource) { return CopyFailure{inSource, qt_error_string(errno), errno}; };
    // Without waiting on a pipe or device that took the file's place since it was listed.
    const int in = ::open(FileNameBytes::encode(source).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (in < 0)
        return failed(true);
    const auto closeIn = qScopeGuard([in] { ::close(in); });
    struct stat info;
    if (::fstat(in, &info) != 0)
        return failed(true);
    if (!S_ISREG(info.st_mode))
        return CopyFailure{true, QStringLiteral("not a regular file")};
    const mode_t mode = info.st_mode & 07777;
#ifdef Q_OS_LINUX
    out = name.isEmpty() ? ::openat(folder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, mode) : openPart(folder, name, mode);
#else
    out = openPart(folder, name, mode);
#endif
    if (out < 0)
        return failed(false);
    bool cloned = false;
#ifdef FICLONE
    if (m_transfer == Transfer::Clone && info.st_size > 0) {
        cloned = ::ioctl(out, FICLONE, in) == 0;
        if (!cloned)
            m_transfer = Transfer::InKernel;
    }
#endif
    // Up to the size the source had when opened; a file that shrinks meanwhile ends early. A
    // file with holes (fewer blocks than its size needs) gets the same holes in its copy: only
    // its data is copied, each piece to its own place.
    const qint64 size = cloned ? 0 : info.st_size;
    const bool sparse = qint64(info.st_blocks) * 512 < size;
    for (qint64 offset = 0; offset < size;) {
        qint64 end = size;
        if (sparse) {
            const std::optional<std::pair<qint64, qint64>> data = nextData(in, offset, size);
            if (!data)
                break; // a hole up to the end
            if (::lseek(in, data->first, SEEK_SET) < 0 || ::lseek(out, data->first, SEEK_SET) < 0)
                return failed(false);
            offset = data->first;
            end = data->second;
        }
        const std::optional<qint64> copied = copyRange(in, out, end - offset);
        if (!copied)
            return failed(m_sourceFailed);
        if (*copied < end - offset)
            break;
        offset = end;
    }
    if (sparse && ::ftruncate(out, size) != 0)
        return failed(false);
    const timespec times[2] = {{0, UTIME_OMIT}, info.st_mtim};
    if (::futimens(out, times) != 0)
        return failed(false);
    return std::nullopt;
}

#ifdef Q_OS_LINUX

// The copy is written into a file without a name in the target's folder, which the system
// removes by itself when it is closed unnamed: a failure, a cancel or a crash leaves nothing.
// Only the whole copy gets the target's name. A target that exists is replaced in one step
// through the temporary name, so that a target that is a hard link is never written into.
std::optional<bool> FileCopier::copyUnnamed(const QString &source, const QString &target, int folder,
                                            const QByteArray &name)
{
    int out = -1;
    auto closeOut = qScopeGuard([&out] {
        if (out != -1)
            ::close(out);
    });
    if (const std::optional<CopyFailure> failure = writeCopy(source, folder, {}, out)) {
        if (out == -1 && !failure->inSource
            && (failure->error == EOPNOTSUPP || failure->error == EISDIR || failure->error == EINVAL)) {
            m_unnamedFiles = false; // not on this file system
            return std::nullopt;
        }
        m_progress.addFailure(failure->inSource ? source : target, failure->reason);
        return false;
    }
    if (::linkat(out, "", folder, name.constData(), AT_EMPTY_PATH) == 0) {
        closeOut.dismiss();
        return closeNamed(out, folder, name, target);
    }
    if (errno == ENOENT) {
        // This system lets only the privileged name a file without a name: the copy is made
        // again the common way, which also reports a target folder that went meanwhile.
        m_unnamedFiles = false;
        return std::nullopt;
    }
    if (errno != EEXIST) {
        m_progress.addFailure(target, qt_error_string(errno));
        return false;
    }
    const QByteArray part = temporaryFileName(name);
    // A stale part goes first; it may be a second name of a file in an earlier backup.
    int named = ::linkat(out, "", folder, part.constData(), AT_EMPTY_PATH);
    if (named != 0 && errno == EEXIST && ::unlinkat(folder, part.constData(), 0) == 0)
        named = ::linkat(out, "", folder, part.constData(), AT_EMPTY_PATH);
    if (named != 0) {
        m_progress.addFailure(target, qt_error_string(errno));
        return false;
    }
    closeOut.dismiss();
    if (!closeNamed(out, folder, part, target))
        return false;
    if (::renameat(folder, part.constData(), folder, name.constData()) != 0) {
        m_progress.addFailure(target, qt_error_string(errno));
        ::unlinkat(folder, part.constData(), 0);
        return false;
    }
    return true;
}

bool FileCopier::closeNamed(int out, int folder, const QByteArray &name, const QString &target)
{
    if (::close(out) == 0)
        return true;
    m_progress.addFailure(target, qt_error_string(errno));
    ::unlinkat(folder, name.constData(), 0);
    return false;
}

#endif

std::optional<qint64> FileCopier::copyRange(int in, int out, qint64 count)
{
    qint64 copied = 0;
    while (copied < count) {
        m_progress.checkCancelled();
        m_sourceFailed = false;
        const qint64 moved = transfer(in, out, std::min(count - copied, pieceSize), m_sourceFailed);
        if (moved < 0)
            return std::nullopt;
        if (moved == 0)
            break;
        copied += moved;
    }
    return copied;
}

qint64 FileCopier::transfer(int in, int out, qint64 count, bool &inSource)
{
#ifdef Q_OS_LINUX
    if (m_transfer <= Transfer::InKernel) {
        const ssize_t moved = ::copy_file_range(in, nullptr, out, nullptr, size_t(count), 0);
        if (moved >= 0 || !cannotTransferThisWay(errno))
            return moved;
        // Files on two file systems say nothing of the next pair, which may share one.
        if (errno != EXDEV)
            m_transfer = Transfer::SendFile;
    }
    if (m_transfer <= Transfer::SendFile) {
        const ssize_t moved = ::sendfile(out, in, nullptr, size_t(count));
        if (moved >= 0 || !cannotTransferThisWay(errno))
            return moved;
        m_transfer = Transfer::Buffer;
    }
#endif
    if (m_buffer.isEmpty())
        m_buffer.resize(pieceSize);
    const ssize_t read = ::read(in, m_buffer.data(), size_t(count));
    if (read < 0) {
        inSource = true;
        return -1;
    }
    for (ssize_t written = 0; written < read;) {
        const ssize_t now = ::write(out, m_buffer.constData() + written, size_t(read - written));
        if (now < 0)
            return -1;
        written += now;
    }
    return read;
}

#else

bool FileCopier::copyThrough(const QString &source, const QString &target, bool throughPart)
{
    const QString written = throughPart ? temporaryNameFor(target) : target;
    auto removeWritten = qScopeGuard([&written] { QFile::remove(written); });
    if (const std::optional<CopyFailure> failure = copyToPart(source, written)) {
        m_progress.addFailure(failure->inSource ? source : target, failure->reason);
        return false;
    }
    if (throughPart) {
        if (const std::error_code error = renameOver(written, target)) {
            m_progress.addFailure(target, reasonOf(error));
            return false;
        }
    }
    removeWritten.dismiss();
    return true;
}

std::optional<FileCopier::CopyFailure> FileCopier::copyToPart(const QString &source, const QString &part)
{
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::file_time_type modified = fs::last_write_time(nativePath(source), error);
    if (error)
        return CopyFailure{true, reasonOf(error)};
    if (fs::copy_file(nativePath(source), nativePath(part), fs::copy_options::overwrite_existing, error); error)
        return CopyFailure{false, reasonOf(error)};
    if (fs::last_write_time(nativePath(part), modified, error); error)
        return CopyFailure{false, reasonOf(error)};
    return std::nullopt;
}

#endif

bool FileCopier::createFolderFor(const QString &target)
{
    const qsizetype length = folderLengthOf(target);
    if (length < 3 || QStringView(target).first(length) == m_lastFolder)
        return true;
    const QString folder = folderPartOf(target);
    if (m_failedFolders.contains(folder))
        return false;
    std::error_code error;
    std::filesystem::create_directories(nativePath(folder), error);
    if (error) {
        m_failedFolders.insert(folder);
        m_progress.addFailure(folder, QStringLiteral("cannot be created: ") + reasonOf(error));
        return false;
    }
    m_lastFolder = folder;
    return true;
}

QByteArray temporaryFileName(QByteArrayView name)
{
    const QByteArray digest = QCryptographicHash::hash(name, QCryptographicHash::Sha1).first(8).toHex();
    return QByteArrayLiteral(".trovas-") + digest + QByteArrayLiteral(".part");
}

QString temporaryNameFor(const QString &target)
{
    const qsizetype folderLength = folderLengthOf(target);
    return target.first(folderLength)
         + FileNameBytes::decode(temporaryFileName(FileNameBytes::encode(target.sliced(folderLength))));
}

QString folderPartOf(const QString &path)
{
    return path.first(folderLengthOf(path));
}

std::optional<QString> folderObstacle(const QString &target)
{
    QString folder = folderPartOf(target);
    while (folder.size() >= 3) {
        const QFileInfo info(folder.chopped(1));
        if (info.isDir())
            return std::nullopt;
        if (info.exists())
            return QStringLiteral("cannot be created: ")
                + reasonOf(std::make_error_code(std::errc::not_a_directory));
        folder = folderPartOf(folder.chopped(1));
    }
    return std::nullopt;
}

void replaceFile(const QString &from, const QString &to)
{
    if (const std::error_code error = renameOver(from, to))
        throw Error(QStringLiteral("Cannot replace \"%1\": %2").arg(QDir::toNativeSeparators(to), reasonOf(error)));
}
