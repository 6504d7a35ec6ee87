#include "housekeeping/ZipFolder.h"

#include "chores/ChoreProgress.h"
#include "housekeeping/FileCopier.h"
#include "project/Error.h"
#include "zip/ZipArchiveWriter.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

QString withSeparator(const QString &folder)
{
    return folder.endsWith(QDir::separator()) ? folder : folder + QDir::separator();
}

// Closes and removes the temporary archive: the previous archive stays as it was.
void discard(ZipArchiveWriter &writer, const QString &part) noexcept
{
    try {
        writer.closeArchive();
    } catch (const Error &) {
        // It goes anyway.
    }
    QFile::remove(part);
}

// Reports a folder that is not there; false then.
bool isFolderThere(const QString &text, ChoreProgress &progress)
{
    if (QFileInfo(text).isDir())
        return true;
    progress.addFailure(QDir::toNativeSeparators(text), QStringLiteral("No such folder"));
    return false;
}

// The name the archive is written under until it is whole.
QString partNameOf(const QString &archive)
{
    return temporaryNameFor(archive);
}

// Set up for reproducible archives when SOURCE_DATE_EPOCH asks for them, as build tools do.
void applySourceDate(ZipArchiveWriter &writer)
{
    const QByteArray text = qgetenv("SOURCE_DATE_EPOCH");
    if (text.isEmpty())
        return;
    bool ok = false;
    const qint64 seconds = text.toLongLong(&ok);
    if (!ok || seconds < 0)
        throw Error(QStringLiteral("SOURCE_DATE_EPOCH must be a number of seconds since 1970, not \"%1\".")
                        .arg(QString::fromLocal8Bit(text)));
    writer.setReproducible(QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC));
}

// The root of the entry names: the folder itself with folder names, none without.
QString entryRoot(const QString &text, bool withFolderNames)
{
    return withFolderNames ? text : QString();
}

} // namespace

QString zipArchiveName(const QString &folder)
{
    return withSeparator(folder).chopped(1) + QStringLiteral(".zip");
}

bool zipFolder(const QString &folder, bool withFolderNames, ChoreProgress &progress)
{
    const QString text = withSeparator(folder);
    if (!isFolderThere(text, progress))
        return false;
    const QString archive = zipArchiveName(folder);
    const QString part = partNameOf(archive);
    progress.setStatus(QStringLiteral("Zipping: ") + QDir::toNativeSeparators(text));
    // A stale temporary archive from a crash is emptied here.
    ZipArchiveWriter::createArchive(part);
    ZipArchiveWriter writer;
    applySourceDate(writer);
    writer.setProgress(progress);
    writer.setFileName(part);
    try {
        writer.openArchive();
        writer.addFolder(text, entryRoot(text, withFolderNames), QStringLiteral("*"), true);
        writer.closeArchive();
    } catch (...) {
        // Cancelled or failed: the archive of the last run that ended well stays.
        discard(writer, part);
        throw;
    }
    try {
        replaceFile(part, archive);
    } catch (const Error &) {
        QFile::remove(part);
        throw;
    }
    return true;
}

std::optional<QStringList> zipFolderEntries(const QString &folder, bool withFolderNames, ChoreProgress &progress)
{
    const QString text = withSeparator(folder);
    if (!isFolderThere(text, progress))
        return std::nullopt;
    ZipArchiveWriter writer;
    applySourceDate(writer);
    writer.setProgress(progress);
    return writer.plannedEntries(text, entryRoot(text, withFolderNames), QStringLiteral("*"), true,
                                 partNameOf(zipArchiveName(folder)));
}

QStringList zipListFolders(const QStringList &folders, const ChoreReach &reach, ChoreProgress &progress)
{
    QStringList reached;
    for (qsizetype line = 1; line <= folders.size(); ++line) {
        const QString what = QStringLiteral("The zip folder on line %1").arg(line);
        if (const std::optional<QString> refusal = reach.sourceRefusal(folders.at(line - 1), what))
            progress.addProblem(*refusal + QStringLiteral(" It was not zipped."));
        else
            reached.append(reach.resolved(folders.at(line - 1)));
    }
    return reached;
}

QStringList zipFolders(const QStringList &folders, bool withFolderNames, ChoreProgress &progress,
                       const ChoreReach &reach)
{
    QStringList archives;
    for (const QString &folder : zipListFolders(folders, reach, progress)) {
        progress.checkCancelled();
        try {
            if (zipFolder(folder, withFolderNames, progress))
                archives.append(zipArchiveName(folder));
        } catch (const Error &error) {
            const bool earlier = QFileInfo::exists(zipArchiveName(folder));
            progress.addProblem(QStringLiteral("The folder \"%1\" was not zipped%2: %3")
                                    .arg(QDir::toNativeSeparators(folder),
                                         earlier ? QStringLiteral(" (its earlier archive is left as it was)") : QString(),
                                         error.message()));
        }
    }
    return archives;
}
