#include "housekeeping/FileCopier.h"

#include "chores/ChoreProgress.h"
#include "project/Error.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>

#include <filesystem>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

constexpr qint64 pieceSize = 1024 * 1024;

std::filesystem::path nativePath(const QString &path)
{
#ifdef Q_OS_WIN
    return std::filesystem::path(path.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(path).toStdString());
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

} // namespace

FileCopier::FileCopier(ChoreProgress &progress) : m_progress(progress)
{
}

void FileCopier::copy(const QString &source, const QString &target)
{
    const QString part = target + partSuffix;
    // Whatever ends the copy early, a cancel between two pieces included, takes the half file
    // with it.
    auto removePart = qScopeGuard([&part] { QFile::remove(part); });
    if (const std::optional<CopyFailure> failure = copyToPart(source, part)) {
        if (failure->inSource)
            return m_progress.addFailure(source, failure->reason);
        return m_progress.addFailure(target, failure->reason);
    }
    if (const std::error_code error = renameOver(part, target))
        return m_progress.addFailure(target, reasonOf(error));
    removePart.dismiss();
}

#ifdef Q_OS_UNIX

// The data goes from file to file inside the kernel where it can (copy_file_range), else
// through a buffer; the copy gets the source's mode (less the umask) and modification time.
std::optional<FileCopier::CopyFailure> FileCopier::copyToPart(const QString &source, const QString &part)
{
    const auto failed = [](bool inSource) { return CopyFailure{inSource, qt_error_string(errno)}; };
    // Without waiting on a pipe or device that took the file's place since it was listed.
    const int in = ::open(QFile::encodeName(source).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (in < 0)
        return failed(true);
    const auto closeIn = qScopeGuard([in] { ::close(in); });
    struct stat info;
    if (::fstat(in, &info) != 0)
        return failed(true);
    if (!S_ISREG(info.st_mode))
        return CopyFailure{true, QStringLiteral("not a regular file")};
    const int out = ::open(QFile::encodeName(part).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC,
                           info.st_mode & 07777);
    if (out < 0)
        return failed(false);
    auto closeOut = qScopeGuard([out] { ::close(out); });
    bool inKernel = true;
    for (;;) {
        ssize_t count = inKernel ? ::copy_file_range(in, nullptr, out, nullptr, pieceSize, 0) : -1;
        if (count < 0 && inKernel && (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP)) {
            inKernel = false;
            continue;
        }
        if (!inKernel) {
            if (m_buffer.isEmpty())
                m_buffer.resize(pieceSize);
            count = ::read(in, m_buffer.data(), pieceSize);
            if (count < 0)
                return failed(true);
            for (ssize_t written = 0; written < count;) {
                const ssize_t now = ::write(out, m_buffer.constData() + written, size_t(count - written));
                if (now < 0)
                    return failed(false);
                written += now;
            }
        }
        if (count < 0)
            return CopyFailure{false, qt_error_string(errno)};
        if (count == 0)
            break;
        if (count == pieceSize)
            m_progress.checkCancelled();
    }
    const timespec times[2] = {{0, UTIME_OMIT}, info.st_mtim};
    if (::futimens(out, times) != 0)
        return failed(false);
    closeOut.dismiss();
    if (::close(out) != 0)
        return failed(false);
    return std::nullopt;
}

#else

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

void FileCopier::createFolderFor(const QString &target)
{
    qsizetype end = target.size() - 1;
    while (end >= 0 && !isSeparator(target.at(end)))
        --end;
    const QString folder = target.first(end + 1);
    if (folder.size() < 3 || folder == m_lastFolder)
        return;
    std::error_code error;
    std::filesystem::create_directories(nativePath(folder), error);
    if (error)
        throw Error(QStringLiteral("Cannot create the folder \"%1\": %2").arg(QDir::toNativeSeparators(folder),
                                                                              reasonOf(error)));
    m_lastFolder = folder;
}

void replaceFile(const QString &from, const QString &to)
{
    if (const std::error_code error = renameOver(from, to))
        throw Error(QStringLiteral("Cannot replace \"%1\": %2").arg(QDir::toNativeSeparators(to), reasonOf(error)));
}

bool isFullPath(const QString &path)
{
    return !path.isEmpty() && QDir::isAbsolutePath(path);
}
