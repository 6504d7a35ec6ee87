#include "housekeeping/FileCopier.h"

#include "chores/ChoreProgress.h"
#include "project/Error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>

#include <filesystem>

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

FileCopier::FileCopier(ChoreProgress &progress) : m_progress(progress), m_buffer(pieceSize, Qt::Uninitialized)
{
}

void FileCopier::copy(const QString &source, const QString &target)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return m_progress.addFailure(source, in.errorString());
    const QString part = target + partSuffix;
    QFile out(part);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        return m_progress.addFailure(target, out.errorString());
    auto discard = qScopeGuard([&out] {
        out.close();
        out.remove();
    });
    if (!copyData(in, out))
        return;
    out.setPermissions(in.permissions());
    if (!out.setFileTime(in.fileTime(QFileDevice::FileModificationTime), QFileDevice::FileModificationTime))
        return m_progress.addFailure(target, out.errorString());
    out.close();
    if (const std::error_code error = renameOver(part, target))
        return m_progress.addFailure(target, reasonOf(error));
    discard.dismiss();
}

bool FileCopier::copyData(QFile &in, QFile &out)
{
    for (;;) {
        const qint64 count = in.read(m_buffer.data(), pieceSize);
        if (count < 0) {
            m_progress.addFailure(in.fileName(), in.errorString());
            return false;
        }
        if (count == 0)
            return true;
        // A short write (the disk filled up) sets no error; writing the rest tells why.
        for (qint64 written = 0; written < count;) {
            const qint64 now = out.write(m_buffer.constData() + written, count - written);
            if (now <= 0) {
                m_progress.addFailure(out.fileName().chopped(FileCopier::partSuffix.size()), out.errorString());
                return false;
            }
            written += now;
        }
        if (count == pieceSize)
            m_progress.checkCancelled();
    }
}

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
