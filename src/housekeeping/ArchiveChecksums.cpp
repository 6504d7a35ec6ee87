#include "housekeeping/ArchiveChecksums.h"

#include "chores/ChoreProgress.h"
#include "project/Error.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QSaveFile>

namespace {

constexpr qint64 piece = 1024 * 1024;

QString checksumFileIn(const QString &folder)
{
    return QDir(folder).filePath(QString::fromLatin1(checksumFileName));
}

QByteArray sha256Of(const QString &path, ChoreProgress &progress)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("Cannot read \"%1\": %2").arg(QDir::toNativeSeparators(path), file.errorString()));
    QCryptographicHash hash(QCryptographicHash::Sha256);
    QByteArray buffer(piece, Qt::Uninitialized);
    for (;;) {
        progress.checkCancelled();
        const qint64 count = file.read(buffer.data(), piece);
        if (count < 0)
            throw Error(QStringLiteral("Cannot read \"%1\": %2").arg(QDir::toNativeSeparators(path), file.errorString()));
        if (count == 0)
            return hash.result().toHex();
        hash.addData(QByteArrayView(buffer.constData(), count));
        progress.addDone(count);
    }
}

// A name with a backslash or a line break is escaped, and its line marked with a leading
// backslash, as sha256sum writes and reads it.
QByteArray lineOf(const QByteArray &hash, const QByteArray &name)
{
    if (!name.contains('\\') && !name.contains('\n') && !name.contains('\r'))
        return hash + "  " + name + '\n';
    QByteArray escaped = name;
    escaped.replace("\\", "\\\\").replace("\n", "\\n").replace("\r", "\\r");
    return '\\' + hash + "  " + escaped + '\n';
}

// The file a line of a checksum file names, as lineOf writes it; empty for a line that names
// none.
QByteArray nameIn(QByteArray line)
{
    const bool escaped = line.startsWith('\\');
    if (escaped)
        line.remove(0, 1);
    const qsizetype space = line.indexOf(' ');
    if (space < 0 || space + 2 > line.size())
        return {};
    QByteArray name = line.mid(space + 2);
    if (!escaped)
        return name;
    QByteArray plain;
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (name.at(i) != '\\' || i + 1 == name.size()) {
            plain += name.at(i);
            continue;
        }
        const char next = name.at(++i);
        plain += next == 'n' ? '\n' : next == 'r' ? '\r' : next;
    }
    return plain;
}

// The lines of an existing checksum file that name none of these files.
QList<QByteArray> otherLines(const QString &checksumFile, const QList<QByteArray> &names)
{
    QFile file(checksumFile);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QList<QByteArray> kept;
    for (const QByteArray &line : file.readAll().split('\n')) {
        if (!line.isEmpty() && !names.contains(nameIn(line)))
            kept.append(line + '\n');
    }
    return kept;
}

void write(const QString &checksumFile, const QList<QByteArray> &lines)
{
    QSaveFile file(checksumFile);
    bool written = file.open(QIODevice::WriteOnly);
    for (const QByteArray &line : lines)
        written = written && file.write(line) == line.size();
    // A failed flush of the last bytes would otherwise pass for a commit.
    if (!written || !file.flush() || !file.commit())
        throw Error(QStringLiteral("Cannot write \"%1\": %2").arg(QDir::toNativeSeparators(checksumFile), file.errorString()));
}

QMap<QString, QStringList> byFolder(const QStringList &files)
{
    QMap<QString, QStringList> folders;
    for (const QString &path : files)
        folders[QFileInfo(path).absolutePath()].append(path);
    return folders;
}

} // namespace

QStringList checksumFilesFor(const QStringList &files)
{
    QStringList checksumFiles;
    for (const QString &folder : byFolder(files).keys())
        checksumFiles.append(checksumFileIn(folder));
    return checksumFiles;
}

QStringList writeChecksums(const QStringList &files, ChoreProgress &progress)
{
    for (const QString &path : files)
        progress.addTotal(QFileInfo(path).size());
    QStringList written;
    const QMap<QString, QStringList> folders = byFolder(files);
    for (auto folder = folders.cbegin(); folder != folders.cend(); ++folder) {
        QList<QByteArray> names;
        QList<QByteArray> lines;
        for (const QString &path : folder.value()) {
            progress.setStatus(QStringLiteral("Checksum: ") + QDir::toNativeSeparators(path));
            const QByteArray name = QFile::encodeName(QFileInfo(path).fileName());
            names.append(name);
            lines.append(lineOf(sha256Of(path, progress), name));
        }
        const QString checksumFile = checksumFileIn(folder.key());
        write(checksumFile, otherLines(checksumFile, names) + lines);
        written.append(checksumFile);
    }
    return written;
}
