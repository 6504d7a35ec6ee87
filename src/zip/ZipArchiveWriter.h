#pragma once

#include "chores/ChoreProgress.h"
#include "zip/ZipCentralDirectory.h"
#include "zip/ZipCompressionPool.h"
#include "zip/ZipSourceFile.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QString>

#include <optional>

class QIODevice;
class QRegularExpression;

// Writes zip archives (PKWARE's APPNOTE, Zip64 for what passes the classic fields) with deflate at zlib level 9, updating the
// archive in place. Use: createArchive, setFileName, openArchive, addFolder, closeArchive.
//
// The central directory is kept in memory and written with the end record behind the last
// local record when addFolder ends (also when it fails), on closeArchive, after removeEntry,
// and otherwise at most once a second while entries are added; each time the file is then a
// complete archive of every entry added so far. Files are compressed on worker threads,
// several at once, and a large file in parts at once (see ZipCompressionPool); a file of at
// most ZipCompressionPool::splitSize gets the same bytes as one zlib stream of it.
//
// Every failure throws Error with a message for the user. A folder whose content cannot be
// read is no failure of the walk: it is reported to the progress and the walk goes on.
class ZipArchiveWriter
{
public:
    ZipArchiveWriter() = default;
    // Closes the archive; a failure to finish it is lost here, so callers close it themselves.
    ~ZipArchiveWriter();
    Q_DISABLE_COPY_MOVE(ZipArchiveWriter)

    // Creates the file, or empties it, and writes the empty archive: the end record alone.
    static void createArchive(const QString &fileName);

    QString fileName() const { return m_fileName; }
    // Takes effect with the next openArchive.
    void setFileName(const QString &fileName) { m_fileName = fileName; }
    // Opens the archive named by fileName() and reads its central directory. Does nothing
    // without a file name or when an archive is open already.
    void openArchive();
    bool isOpen() const { return m_file.isOpen(); }
    // Adds the folder's files and, with subfolders, its whole tree, depth-first, each folder's
    // entry before its content. Entry names are the paths relative to root (see
    // ZipNames::relativeName); with an empty root they are the whole paths without the
    // file-system root. Files are taken when their name matches the wildcard mask. Skips the
    // archive itself, and does not follow a link back into a folder being walked. Links that
    // lead out of the folder are never followed; they, links that lead nowhere, and what holds no
    // file (pipes, sockets, devices) are named in a note of the progress. A failure ends the
    // walk and leaves the entries added before it, written out. Returns true.
    bool addFolder(const QString &folder, const QString &root, const QString &mask,
                   bool withSubfolders);
    // The entry names addFolder would give a new archive named `archive`, in the order it adds
    // them; reads the folders and writes nothing. Folders it cannot read go to the progress.
    QStringList plannedEntries(const QString &folder, const QString &root, const QString &mask,
                               bool withSubfolders, const QString &archive) const;
    // Writes what is still missing of the archive, closes the file and forgets the entries.
    void closeArchive();

    // What addFolder reports to: the bytes of the files it will add (added to the total), the
    // bytes read as they are compressed, and the folders it could not read. Once the progress
    // is cancelled, adding ends within a piece of input with ChoreCancelled, also inside one
    // large file, leaving the entries added before it. Without one, the writer reports to a
    // progress of its own that nobody reads.
    void setProgress(ChoreProgress &progress) { m_progress = &progress; }

    // For archives that the same tree gives byte for byte on any machine, in any time zone:
    // addFolder then adds the entries in byte order of their names, and every entry's time
    // is held to at most `latest` and written as a time of UTC.
    void setReproducible(const QDateTime &latest) { m_latestTime = latest; }

    // The inner operations of addFolder.

    // Adds a file under the entry name, with the folder entries of its name. Adds nothing when
    // there is no such file.
    void addFile(const QString &path, const QString &entryName);
    // Adds an entry for every folder in the name (a/ and a/b/ for a/b/c.txt) that has none yet.
    void addFolderEntries(const QString &name, quint32 attributes, const QDateTime &time);
    // Adds an entry with the data read from the device to its end, deflated unless empty. An
    // entry of the same name is removed first.
    void addStream(const QString &name, quint32 attributes, const QDateTime &time, QIODevice &data);
    // Removes an entry so that the file is byte for byte as if it had never been added.
    void removeEntry(qsizetype index);

private:
    struct WalkStep
    {
        QString path; // the file to add; empty for the entries of a folder
        QString name;
        ZipSourceFile info;
    };
    struct Walk
    {
        QString root;
        const QRegularExpression &mask;
        bool withSubfolders;
        QFileInfo archive; // never added to itself
        QStringList ancestors; // canonical paths of the folders being walked, against loops
        QList<ChoreFailure> passedOver; // links out of the tree and what is no file or folder
    };

    QList<WalkStep> walk(const QString &folder, const QString &root, const QString &mask, bool withSubfolders,
                         const QFileInfo &archive) const;
    void collect(const QString &folder, Walk &walk, QList<WalkStep> &steps) const;
    void addSteps(const QList<WalkStep> &steps);
    void addCompressed(const WalkStep &step, const ZipCompressionPool::Result &result);
    void addParts(const WalkStep &step, ZipCompressionPool &pool, qsizetype first, qsizetype count);

    ZipEntry beginEntry(const QString &name, quint32 attributes, const QDateTime &time);
    ZipEntry beginFileEntry(const QString &name, const ZipSourceFile &info);
    void writeStream(ZipEntry &entry, QIODevice &data, const QString &source);
    void commit(const ZipEntry &entry);

    void writeAt(qint64 position, QByteArrayView bytes);
    void append(QByteArrayView bytes);
    void moveDown(qint64 from, qint64 to, qint64 length);
    void flush();
    void flushAfterError() noexcept;
    void requireOpen() const;

    QString m_fileName;
    ChoreProgress m_ownProgress;
    ChoreProgress *m_progress = &m_ownProgress;
    QFile m_file;
    ZipCentralDirectory m_directory;
    QElapsedTimer m_sinceFlush;
    bool m_dirty = false;
    std::optional<QDateTime> m_latestTime;
};
