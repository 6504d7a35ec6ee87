#include "zip/ZipArchiveWriter.h"

#include "project/Error.h"
#include "project/FileNameBytes.h"
#include "project/RegularFile.h"
#include "zip/ZipDeflater.h"
#include "zip/ZipErrors.h"
#include "zip/ZipNames.h"

#include <QBuffer>
#include <QDir>
#include <QRegularExpression>
#include <QSet>

#include <zlib.h>



namespace {

constexpr qint64 piece = 64 * 1024;
constexpr qint64 flushInterval = 1000; // ms
constexpr quint32 folderAttribute = 16;

// The MS-DOS attribute word of a file or folder: folder 16 or file (archive) 32, plus 1 when
// the owner may not write it, plus 2 when it is hidden (on Linux: its name begins with ".").
quint32 attributesOf(const ZipSourceFile &info)
{
    quint32 attributes = info.isFolder ? folderAttribute : 32;
    if (!info.writableByOwner)
        attributes |= 1;
    if (info.isHidden())
        attributes |= 2;
    return attributes;
}

// Reading the archive while writing it would feed it its own growing tail.
bool isArchive(const ZipSourceFile &info, const QFileInfo &archive)
{
    return (info.isLink || info.fileName() == archive.fileName())
        && ZipSourceFile::realPathOf(info.path) == archive.canonicalFilePath();
}

// Why the walk of the tree whose real path is `tree` passes over an entry; empty when it takes it.
// A link is followed only inside the tree.
QString passedOverReason(const ZipSourceFile &info, const QString &tree)
{
    if (info.isLink && info.realPath.isEmpty())
        return QStringLiteral("a link to \"%1\", which does not exist or leads round in a loop: left out")
            .arg(info.linkTarget);
    if (info.isLink && info.realPath != tree && !info.realPath.startsWith(tree + QLatin1Char('/')))
        return QStringLiteral("a link that leads out of the folder, to \"%1\": not followed")
            .arg(QDir::toNativeSeparators(info.realPath));
    if (!info.otherKind.isEmpty())
        return info.otherKind + QStringLiteral(", not a file: left out");
    return {};
}

// Sizes past the 32-bit fields are written as Zip64 when the entry was set up for them; an
// entry that grew past them unforeseen cannot be written any more.
void checkSizes(const ZipEntry &entry, const QString &source)
{
    if (entry.sizesOverflow())
        throw Error(ZipErrors::entryTooLarge(source));
}

// The folders of an entry name, outermost first, each ending with a separator: a/ and a/b/
// for a/b/c.txt.
QStringList folderPrefixes(const QString &name)
{
    const QString dosName = ZipNames::dosName(name);
    const QChar separator = QDir::separator();
    QStringList folders;
    for (qsizetype end = dosName.indexOf(separator); end >= 0; end = dosName.indexOf(separator, end + 1))
        folders.append(dosName.first(end + 1));
    return folders;
}

// A name as the mask can match it: a regular expression takes no name that is not UTF-8, so
// its stray bytes stand for any character there.
QString matchableName(const QString &name)
{
    return FileNameBytes::hasRawBytes(name) ? QString::fromUtf8(FileNameBytes::encode(name)) : name;
}

QRegularExpression maskPattern(const QString &mask)
{
    return QRegularExpression(
        QRegularExpression::wildcardToRegularExpression(mask.isEmpty() ? QStringLiteral("*") : mask),
        ZipNames::fileNameCase == Qt::CaseSensitive ? QRegularExpression::NoPatternOption
                                                    : QRegularExpression::CaseInsensitiveOption);
}

} // namespace

ZipArchiveWriter::~ZipArchiveWriter()
{
    try {
        closeArchive();
    } catch (const Error &) {
    }
}

void ZipArchiveWriter::createArchive(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw Error(ZipErrors::cannotCreate(fileName, file.errorString()));
    const QByteArray empty = ZipCentralDirectory().endRecord();
    if (file.write(empty) != empty.size() || !file.flush())
        throw Error(ZipErrors::cannotWrite(fileName, file.errorString()));
}

void ZipArchiveWriter::openArchive()
{
    if (m_fileName.isEmpty() || isOpen())
        return;
    const QFileInfo info(m_fileName);
    if (!info.exists())
        throw Error(ZipErrors::notFound(m_fileName));
    m_file.setFileName(m_fileName);
    const QIODevice::OpenMode mode = info.isWritable() ? QIODevice::ReadWrite : QIODevice::ReadOnly;
    if (!m_file.open(mode | QIODevice::Unbuffered))
        throw Error(ZipErrors::cannotOpen(m_fileName, m_file.errorString()));
    if (!m_directory.read(m_file)) {
        m_file.close();
        throw Error(ZipErrors::notAnArchive(m_fileName));
    }
    m_dirty = false;
    m_sinceFlush.start();
}

bool ZipArchiveWriter::addFolder(const QString &folder, const QString &root, const QString &mask,
                                 bool withSubfolders)
{
    requireOpen();
    const QList<WalkStep> steps = walk(folder, root, mask, withSubfolders, QFileInfo(m_file));
    try {
        addSteps(steps);
    } catch (...) {
        flushAfterError();
        throw;
    }
    if (m_dirty)
        flush();
    return true;
}

QStringList ZipArchiveWriter::plannedEntries(const QString &folder, const QString &root, const QString &mask,
                                             bool withSubfolders, const QString &archive) const
{
    const QList<WalkStep> steps = walk(folder, root, mask, withSubfolders, QFileInfo(archive));
    QStringList names;
    QSet<QString> known;
    const auto add = [&](const QString &name) {
        const QString entry = ZipNames::zipName(name);
        if (!known.contains(entry)) {
            known.insert(entry);
            names.append(entry);
        }
    };
    for (const WalkStep &step : std::as_const(steps)) {
        for (const QString &folderName : folderPrefixes(step.name))
            add(folderName);
        if (!step.path.isEmpty())
            add(step.name);
    }
    return names;
}

void ZipArchiveWriter::closeArchive()
{
    if (!isOpen())
        return;
    const auto forget = [this] {
        m_file.close();
        m_directory.clear();
        m_dirty = false;
    };
    try {
        if (m_dirty)
            flush();
    } catch (...) {
        forget();
        throw;
    }
    forget();
}

void ZipArchiveWriter::addFile(const QString &path, const QString &entryName)
{
    requireOpen();
    const ZipSourceFile info = ZipSourceFile::of(path);
    if (!info.isFile)
        return;
    QFile file(path);
    QString reason;
    const RegularFile::Opened opened = RegularFile::openForReading(file, reason);
    if (opened == RegularFile::Opened::NotRegular) // replaced since it was listed
        return;
    if (opened == RegularFile::Opened::Failed)
        throw Error(ZipErrors::cannotOpen(path, reason));
    ZipEntry entry = beginFileEntry(entryName, info);
    writeStream(entry, file, path);
    commit(entry);
}

void ZipArchiveWriter::addFolderEntries(const QString &name, quint32 attributes, const QDateTime &time)
{
    requireOpen();
    for (const QString &folder : folderPrefixes(name)) {
        if (m_directory.indexOf(ZipNames::entryBytes(ZipNames::zipName(folder))) >= 0)
            continue;
        QBuffer noData;
        noData.open(QIODevice::ReadOnly);
        addStream(folder, attributes, time, noData);
    }
}

void ZipArchiveWriter::addStream(const QString &name, quint32 attributes, const QDateTime &time,
                                 QIODevice &data)
{
    requireOpen();
    ZipEntry entry = beginEntry(name, attributes, time);
    writeStream(entry, data, name);
    commit(entry);
}

void ZipArchiveWriter::removeEntry(qsizetype index)
{
    requireOpen();
    const ZipEntry &entry = m_directory.at(index);
    const qint64 recordEnd = entry.localHeaderOffset + entry.localRecordLength();
    moveDown(recordEnd, entry.localHeaderOffset, m_directory.offset() - recordEnd);
    m_directory.remove(index);
    flush();
}

QList<ZipArchiveWriter::WalkStep> ZipArchiveWriter::walk(const QString &folder, const QString &root,
                                                        const QString &mask, bool withSubfolders,
                                                        const QFileInfo &archive) const
{
    const QRegularExpression pattern = maskPattern(mask);
    Walk walk{root, pattern, withSubfolders, archive, {}, {}};
    QList<WalkStep> steps;
    collect(folder, walk, steps);
    notePassedOver(walk.passedOver, *m_progress);
    if (m_latestTime) {
        // Byte order puts every folder before what it holds, as the walk does.
        const auto bytes = [](const WalkStep &step) { return ZipNames::entryBytes(ZipNames::zipName(step.name)); };
        std::stable_sort(steps.begin(), steps.end(),
                         [&](const WalkStep &a, const WalkStep &b) { return bytes(a) < bytes(b); });
    }
    return steps;
}

void ZipArchiveWriter::collect(const QString &folder, Walk &walk, QList<WalkStep> &steps) const
{
    const QString separator = QDir::separator();
    const ZipSourceFile self = ZipSourceFile::of(folder);
    if (!self.isFolder)
        return;
    // The folder's own entries first; with an empty root these are all the folders of its path.
    steps.append({QString(), ZipNames::relativeName(folder + separator, walk.root), self});
    walk.ancestors.append(self.realPath);
    QString unreadable;
    const QStringList names = ZipSourceFile::namesIn(folder, unreadable);
    // Its entry stays in the archive; that its content is missing must not go unsaid.
    if (!unreadable.isEmpty())
        m_progress->addFailure(QDir::toNativeSeparators(QDir::cleanPath(folder)) + separator, unreadable);
    for (const QString &name : names) {
        const QString path = folder + separator + name;
        const ZipSourceFile info = ZipSourceFile::of(path);
        if (!info.exists)
            continue; // gone since the listing
        if (const QString reason = passedOverReason(info, walk.ancestors.first()); !reason.isEmpty()) {
            walk.passedOver.append({QDir::toNativeSeparators(QDir::cleanPath(path)), reason});
            continue;
        }
        if (info.isFolder) {
            steps.append({QString(), ZipNames::relativeName(path + separator, walk.root), info});
            // A link back to a folder being walked would repeat it without end.
            if (walk.withSubfolders && !walk.ancestors.contains(info.realPath))
                collect(path, walk, steps);
        } else if (info.isFile && walk.mask.match(matchableName(name)).hasMatch()
                   && !isArchive(info, walk.archive)) {
            steps.append({path, ZipNames::relativeName(path, walk.root), info});
        }
    }
    walk.ancestors.removeLast();
}

void ZipArchiveWriter::addSteps(const QList<WalkStep> &steps)
{
    QList<ZipCompressionPool::Task> tasks;
    qint64 bytes = 0;
    for (const WalkStep &step : steps) {
        if (!step.path.isEmpty()) {
            bytes += step.info.size;
            tasks.append(ZipCompressionPool::tasksOf(step.path, step.info.size));
        }
    }
    // Progress counts the bytes read, so it moves through one large file as well.
    m_progress->addTotal(bytes);
    ZipCompressionPool pool(tasks, m_progress);
    qsizetype next = 0;
    for (const WalkStep &step : steps) {
        m_progress->checkCancelled();
        if (step.path.isEmpty()) {
            addFolderEntries(step.name, attributesOf(step.info), step.info.modified);
            continue;
        }
        m_progress->setStatus(QStringLiteral("Zipping: ") + ZipNames::zipName(step.name));
        const qsizetype count = ZipCompressionPool::tasksOf(step.path, step.info.size).size();
        if (tasks.at(next).isPart())
            addParts(step, pool, next, count);
        else
            addCompressed(step, pool.take(next));
        next += count;
    }
}

void ZipArchiveWriter::addCompressed(const WalkStep &step, const ZipCompressionPool::Result &result)
{
    using Status = ZipCompressionPool::Result::Status;
    if (result.status == Status::Missing) {
        m_progress->addDone(step.info.size);
        return;
    }
    if (result.status == Status::Failed)
        throw Error(result.error);
    if (result.status == Status::Grown)
        return addFile(step.path, step.name);
    ZipEntry entry = beginFileEntry(step.name, step.info);
    entry.method = result.size > 0 ? ZipEntry::deflated : ZipEntry::stored;
    entry.crc = result.crc;
    entry.compressedSize = quint64(result.data.size());
    entry.uncompressedSize = quint64(result.size);
    writeAt(entry.localHeaderOffset, entry.localHeader());
    append(result.data);
    commit(entry);
    m_progress->addDone(result.size);
}

// A large file compressed in parts, which join into one deflate stream; the CRC-32 of the whole
// is combined from those of the parts.
void ZipArchiveWriter::addParts(const WalkStep &step, ZipCompressionPool &pool, qsizetype first, qsizetype count)
{
    using Status = ZipCompressionPool::Result::Status;
    ZipCompressionPool::Result result = pool.take(first);
    if (result.status == Status::Missing) {
        m_progress->addDone(step.info.size);
        return;
    }
    ZipEntry entry = beginFileEntry(step.name, step.info);
    entry.method = ZipEntry::deflated;
    entry.zip64Sizes = ZipEntry::needsZip64Sizes(step.info.size);
    for (qsizetype part = 0;;) {
        if (result.status == Status::Missing)
            throw Error(ZipErrors::cannotRead(step.path, QStringLiteral("it was removed while it was zipped")));
        if (result.status != Status::Ready)
            throw Error(result.error);
        if (part == 0)
            writeAt(entry.localHeaderOffset, entry.localHeader());
        append(result.data);
        entry.crc = part == 0 ? result.crc : quint32(crc32_combine(entry.crc, result.crc, z_off_t(result.size)));
        entry.compressedSize += quint64(result.data.size());
        entry.uncompressedSize += quint64(result.size);
        m_progress->addDone(result.size);
        if (++part == count)
            break;
        result = pool.take(first + part);
    }
    checkSizes(entry, step.path);
    writeAt(entry.localHeaderOffset, entry.localHeader());
    commit(entry);
}

ZipEntry ZipArchiveWriter::beginEntry(const QString &name, quint32 attributes, const QDateTime &time)
{
    ZipEntry entry;
    entry.name = ZipNames::entryBytes(ZipNames::zipName(name));
    if (entry.name.size() > ZipEntry::maxNameLength)
        throw Error(ZipErrors::nameTooLong(m_fileName, name));
    const qsizetype existing = m_directory.indexOf(entry.name);
    if (existing >= 0)
        removeEntry(existing);
    entry.externalAttributes = attributes;
    entry.setTime(m_latestTime ? std::min(time, *m_latestTime).toUTC() : time);
    entry.localHeaderOffset = quint64(m_directory.offset());
    return entry;
}

// A file's folders get entries of their own first (in a walk they have them already).
ZipEntry ZipArchiveWriter::beginFileEntry(const QString &name, const ZipSourceFile &info)
{
    addFolderEntries(name, folderAttribute, QDateTime::currentDateTime());
    return beginEntry(name, attributesOf(info), info.modified);
}

void ZipArchiveWriter::writeStream(ZipEntry &entry, QIODevice &data, const QString &source)
{
    QByteArray buffer(piece, Qt::Uninitialized);
    const auto next = [&] {
        const qint64 count = data.read(buffer.data(), piece);
        if (count < 0)
            throw Error(ZipErrors::cannotRead(source, data.errorString()));
        return QByteArrayView(buffer.constData(), count);
    };
    QByteArrayView bytes = next();
    entry.method = bytes.isEmpty() ? ZipEntry::stored : ZipEntry::deflated;
    entry.zip64Sizes = ZipEntry::needsZip64Sizes(data.isSequential() ? 0 : data.size());
    // The header goes first with zero sizes; they are known and filled in at the end.
    writeAt(entry.localHeaderOffset, entry.localHeader());
    if (bytes.isEmpty())
        return;
    ZipDeflater deflater([&](QByteArrayView output) { append(output); });
    do {
        deflater.write(bytes);
        entry.uncompressedSize = quint64(deflater.size());
        entry.compressedSize = quint64(deflater.compressedSize());
        checkSizes(entry, source);
        m_progress->addDone(bytes.size());
        m_progress->checkCancelled();
        bytes = next();
    } while (!bytes.isEmpty());
    deflater.finish();
    entry.crc = deflater.crc();
    entry.compressedSize = quint64(deflater.compressedSize());
    checkSizes(entry, source);
    writeAt(entry.localHeaderOffset, entry.localHeader());
}

void ZipArchiveWriter::commit(const ZipEntry &entry)
{
    m_directory.append(entry);
    if (m_sinceFlush.hasExpired(flushInterval))
        flush();
}

void ZipArchiveWriter::writeAt(qint64 position, QByteArrayView bytes)
{
    if (!m_file.seek(position))
        throw Error(ZipErrors::cannotWrite(m_fileName, m_file.errorString()));
    append(bytes);
}

void ZipArchiveWriter::append(QByteArrayView bytes)
{
    // Whatever is written past the last local record has to be covered by a new central
    // directory, also when the entry being written fails half-way.
    m_dirty = true;
    // A short write (the disk filled up) sets no error; writing the rest then tells why.
    while (!bytes.isEmpty()) {
        const qint64 written = m_file.write(bytes.data(), bytes.size());
        if (written <= 0)
            throw Error(ZipErrors::cannotWrite(m_fileName, m_file.errorString()));
        bytes = bytes.sliced(written);
    }
}

void ZipArchiveWriter::moveDown(qint64 from, qint64 to, qint64 length)
{
    for (qint64 done = 0; done < length;) {
        if (!m_file.seek(from + done))
            throw Error(ZipErrors::cannotRead(m_fileName, m_file.errorString()));
        const QByteArray bytes = m_file.read(std::min(piece, length - done));
        if (bytes.isEmpty())
            throw Error(ZipErrors::cannotRead(m_fileName, m_file.errorString()));
        writeAt(to + done, bytes);
        done += bytes.size();
    }
}

void ZipArchiveWriter::flush()
{
    writeAt(m_directory.offset(), m_directory.headers());
    const QByteArray endRecord = m_directory.endRecord();
    append(endRecord);
    const qint64 end = m_directory.offset() + m_directory.headers().size() + endRecord.size();
    if (m_file.size() != end && !m_file.resize(end))
        throw Error(ZipErrors::cannotWrite(m_fileName, m_file.errorString()));
    m_dirty = false;
    m_sinceFlush.start();
}

void ZipArchiveWriter::flushAfterError() noexcept
{
    // The error that ended the walk is the one to report; this only makes the file whole again.
    try {
        flush();
    } catch (const Error &) {
    }
}

void ZipArchiveWriter::requireOpen() const
{
    if (!isOpen())
        throw Error(ZipErrors::notOpen());
}
