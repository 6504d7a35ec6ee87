#pragma once

#include <QByteArray>
#include <QSet>
#include <QString>
#include <QtGlobal>

#include <optional>

class ChoreProgress;

// Copies files for the chores, one after the other. A copy is written into a file without a
// name where the system has them (else to a temporary name beside its target) and gets the
// target's name in one step only when it is whole, so a failed, cancelled or crashed copy never
// leaves a half file under the target's name, and a target that is a hard link is replaced,
// never written into. The copy keeps the source's modification time and permissions.
class FileCopier
{
    Q_DISABLE_COPY_MOVE(FileCopier)

public:
    // Where a new copy is written before it gets its name: in a file without a name where the
    // system has them, or always under the temporary name, as on systems without them.
    enum class Staging { UnnamedWherePossible, TemporaryName };

    explicit FileCopier(ChoreProgress &progress, Staging staging = Staging::UnnamedWherePossible);
    ~FileCopier();

    // Copies `source` to `target`, replacing it; true when the copy is made. A failure is
    // reported to the progress with the path that failed and the system's reason, and the chore
    // goes on. Once the progress is cancelled, a large copy stops between two pieces
    // (ChoreCancelled) and takes its half copy along.
    bool copy(const QString &source, const QString &target);
    // As copy(), for a target in a folder that this chore made and marks as complete only at
    // its end (a backup): the copy is written under the target's own name, since a half file
    // there, left by a crash, is in a folder that never counts as finished. Spares the rename
    // for every file.
    bool copyIntoUnfinished(const QString &source, const QString &target);

    // Makes `target` a second name of the file `existing`, replacing what `target` was; the
    // system's reason when the file system cannot (another file system, one without links).
    // Reports nothing: the caller copies instead.
    std::optional<QString> link(const QString &existing, const QString &target);

    // Creates the folder part of `target` (up to its last separator) with every missing
    // parent; true when it exists then. A folder part under 3 characters needs nothing. A folder
    // that cannot be created is reported to the progress once, with the reason.
    bool createFolderFor(const QString &target);

private:
    struct CopyFailure
    {
        bool inSource; // reading the source failed, not writing the copy
        QString reason;
        int error = 0; // the system's code for it, where it gave one
    };
    // How the data goes from file to file; each falls back to the next where the platform
    // or the file systems cannot do it.
    enum class Transfer { Clone, InKernel, SendFile, Buffer };

    // Writes the copy under the target's name, or through the temporary name beside it.
    bool copyThrough(const QString &source, const QString &target, bool throughPart);
#ifdef Q_OS_UNIX
    // The folder of a target, open, so that the files in it are made and named without walking
    // its whole path for each; AT_FDCWD for a path without a folder, -1 with errno set when the
    // folder cannot be opened. The last one stays open for the next copy into it.
    int openFolder(QStringView folder);
    void closeFolder();
    // Writes the copy into a new file in the open folder `folder`: the file `name`, or one
    // without a name when `name` is empty. The file is left open in `out` (-1 when it could not
    // be made) for the caller to name, close, and remove when this fails.
    std::optional<CopyFailure> writeCopy(const QString &source, int folder, const QByteArray &name, int &out);
#ifdef Q_OS_LINUX
    // Whether the copy was made, or nothing when files without a name cannot be made or named
    // here and the copy is to go through a temporary name instead; reports a failure as copy()
    // does.
    std::optional<bool> copyUnnamed(const QString &source, const QString &target, int folder,
                                    const QByteArray &name);
    // Closes the copy just named `name`: a copy whose last writes fail on closing loses its
    // name again.
    bool closeNamed(int out, int folder, const QByteArray &name, const QString &target);
#endif
#else
    std::optional<CopyFailure> copyToPart(const QString &source, const QString &part);
#endif
#ifdef Q_OS_UNIX
    // Moves `count` bytes on from the files' offsets, in pieces, stopping early at the source's
    // end: the bytes moved, or nothing with errno set and m_sourceFailed telling whether
    // reading failed.
    std::optional<qint64> copyRange(int in, int out, qint64 count);
#endif
    // Moves up to `count` bytes on from the files' offsets: the bytes moved, or -1 with errno
    // set and `inSource` telling whether reading failed.
    qint64 transfer(int in, int out, qint64 count, bool &inSource);

    ChoreProgress &m_progress;
    QByteArray m_buffer;
    bool m_sourceFailed = false; // of the last copyRange that failed
    Transfer m_transfer = Transfer::Clone;
#ifdef Q_OS_UNIX
    QString m_openFolderPath;
    int m_openFolder = -1;
#endif
#ifdef Q_OS_LINUX
    bool m_unnamedFiles; // until the file system or the system turns them down
#endif
    QString m_lastFolder; // made or found already
    QSet<QString> m_failedFolders;
};

// The temporary name a file is written under beside its target until it is whole (see
// temporaryNameFor), for a file name within its folder.
QByteArray temporaryFileName(QByteArrayView name);
// The temporary name beside `target`: in the same folder, short whatever the target's length
// (".trovas-" and 16 hexadecimal digits drawn from the name, then ".part"), so it fits every
// limit the target's name fits; and the same for the same target, so a stale one that a crash
// left goes with the next write.
QString temporaryNameFor(const QString &target);

// The folder part of a path: up to and including its last separator.
QString folderPartOf(const QString &path);

// What creating the folder part of `target` would meet, as createFolderFor reports it: a file
// where a folder has to go. Empty when nothing stands in the way that can be seen now.
std::optional<QString> folderObstacle(const QString &target);

// Renames `from` to `to`, replacing `to` in one step; throws Error naming `to` and the reason.
void replaceFile(const QString &from, const QString &to);
