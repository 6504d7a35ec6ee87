#include "upload/LocalTree.h"

#include "chores/ChoreProgress.h"
#include "project/Error.h"
#include "project/RegularFile.h"
#include "upload/SyncState.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace {

constexpr qint64 HashChunk = 1 << 20;

class TreeScan
{
public:
    TreeScan(const QString &folder, ChoreProgress &progress)
        : m_root(QFileInfo(folder).canonicalFilePath()), m_progress(progress)
    {
    }

    QList<LocalFile> run()
    {
        if (m_root.isEmpty() || !QFileInfo(m_root).isDir())
            throw Error(QStringLiteral("The folder does not exist"));
        walk(m_root, QString());
        std::sort(m_files.begin(), m_files.end(), [](const LocalFile &a, const LocalFile &b) { return a.file.path < b.file.path; });
        return m_files;
    }

private:
    void walk(const QString &folder, const QString &prefix)
    {
        m_progress.checkCancelled();
        const QFileInfoList entries = QDir(folder).entryInfoList(
            QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
        for (const QFileInfo &entry : entries) {
            const QString path = prefix + entry.fileName();
            if (entry.isSymLink())
                takeLink(entry, path);
            else if (entry.isDir())
                walk(entry.filePath(), path + QLatin1Char('/'));
            else if (entry.isFile())
                take(entry.filePath(), path);
            else
                m_progress.addNote(QStringLiteral("Not uploaded, not a regular file: %1").arg(entry.filePath()));
        }
    }

    void takeLink(const QFileInfo &link, const QString &path)
    {
        const QString target = link.canonicalFilePath();
        if (target.isEmpty())
            return m_progress.addNote(QStringLiteral("Not uploaded, a link to nothing: %1").arg(link.filePath()));
        if (target != m_root && !target.startsWith(m_root + QLatin1Char('/')))
            return m_progress.addNote(QStringLiteral("Not uploaded, a link out of the folder: %1").arg(link.filePath()));
        const QFileInfo resolved(target);
        if (resolved.isDir())
            return m_progress.addNote(QStringLiteral("Not uploaded, a link to a folder: %1").arg(link.filePath()));
        if (!resolved.isFile())
            return m_progress.addNote(QStringLiteral("Not uploaded, not a regular file: %1").arg(link.filePath()));
        take(target, path);
    }

    void take(const QString &localPath, const QString &path)
    {
        if (path == SyncState::FileName)
            return m_progress.addNote(
                QStringLiteral("Not uploaded, the deploy keeps its own record under this name: %1").arg(localPath));
        QFile file(localPath);
        QString reason;
        if (RegularFile::openForReading(file, reason) != RegularFile::Opened::Yes)
            return m_progress.addFailure(localPath, reason.isEmpty() ? QStringLiteral("Not a regular file") : reason);
        QCryptographicHash hash(QCryptographicHash::Sha256);
        QByteArray chunk(HashChunk, Qt::Uninitialized);
        qint64 size = 0;
        for (;;) {
            m_progress.checkCancelled();
            const qint64 read = file.read(chunk.data(), HashChunk);
            if (read < 0)
                return m_progress.addFailure(localPath, file.errorString());
            if (read == 0)
                break;
            hash.addData(QByteArrayView(chunk.constData(), read));
            size += read;
        }
        m_files.append({localPath, {path, size, hash.result()}});
    }

    QString m_root;
    ChoreProgress &m_progress;
    QList<LocalFile> m_files;
};

} // namespace

QList<LocalFile> scanLocalTree(const QString &folder, ChoreProgress &progress)
{
    return TreeScan(folder, progress).run();
}
