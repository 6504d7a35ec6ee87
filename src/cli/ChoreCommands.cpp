#include "cli/ChoreCommands.h"

#include "cli/CommandLine.h"
#include "cli/FingerprintTrust.h"
#include "cli/Output.h"
#include "housekeeping/ArchiveChecksums.h"
#include "housekeeping/BackupProject.h"
#include "housekeeping/BackupsToKeep.h"
#include "housekeeping/CopyEntries.h"
#include "housekeeping/ListFiles.h"
#include "housekeeping/TempFiles.h"
#include "housekeeping/ZipFolder.h"
#include "project/AppDataFolder.h"
#include "project/Error.h"
#include "project/Project.h"
#include "upload/UploadPasswords.h"
#include "upload/FolderDeploy.h"
#include "upload/TransfersAtOnce.h"
#include "upload/UploadRun.h"

#include <QDate>
#include <QFileInfo>
#include <QJsonArray>
#include <QLocale>
#include <QSet>

namespace {

// The items the chore did not name as failed, in their order.
QStringList withoutFailed(const QStringList &items, const ChoreProgress &progress)
{
    QSet<QString> failed;
    for (const ChoreFailure &failure : progress.failures())
        failed.insert(failure.item);
    QStringList done;
    for (const QString &item : items)
        if (!failed.contains(item))
            done.append(item);
    return done;
}

// A folder entry's plan: what each file would go through, with its size.
QJsonArray mirrorPlanJson(const MirrorPlan &plan)
{
    static const char *const actions[] = {"upload", "skip", "remove"};
    QJsonArray files;
    for (const MirrorStep &step : plan.steps)
        files.append(QJsonObject{{QStringLiteral("action"), QLatin1String(actions[int(step.action)])},
                                 {QStringLiteral("path"), step.path},
                                 {QStringLiteral("size"), step.size}});
    return files;
}

QString errorMessage(const std::exception_ptr &error)
{
    try {
        std::rethrow_exception(error);
    } catch (const Error &e) {
        return e.message();
    } catch (const std::exception &e) {
        return QString::fromLocal8Bit(e.what());
    } catch (...) {
        return QStringLiteral("unknown error");
    }
}

// How a chore ended, from the runner's report alone, so every chore tells it alike.
QJsonObject reportJson(const ChoreReport &report)
{
    QJsonArray failures;
    for (const ChoreFailure &failure : report.failures)
        failures.append(QJsonObject{{QStringLiteral("item"), failure.item}, {QStringLiteral("reason"), failure.reason}});
    QJsonObject json{{QStringLiteral("succeeded"), report.succeeded()},
                     {QStringLiteral("cancelled"), report.cancelled},
                     {QStringLiteral("failures"), failures}};
    if (report.error)
        json.insert(QStringLiteral("error"), errorMessage(report.error));
    return json;
}

} // namespace

ChoreCommands::ChoreCommands(const Invocation &invocation, const Project &project)
    : m_invocation(invocation), m_project(project)
{
}

ExitStatus ChoreCommands::clean()
{
    const ProjectData &data = m_project.data();
    const QString folder = TempFiles::projectFolderOf(data);
    const bool toTrash = !m_invocation.deletePermanently;
    const TempFiles::Disposal disposal = toTrash ? TempFiles::Disposal::Trash : TempFiles::Disposal::Delete;
    const QString description = toTrash ? QStringLiteral("Moving temporary files to the trash")
                                        : QStringLiteral("Deleting temporary files");
    return run(QStringLiteral("clean"), description, [&](ChoreProgress &progress, Results &results) {
        progress.setStatus(QStringLiteral("Listing: ") + folder);
        QList<ChoreFailure> passedOver;
        const QStringList found = TempFiles::temporaryAmong(
            listFiles(folder, data.includeSubfolders, &progress, &passedOver), data.tempExtensions);
        // Only what bears a temporary file's name would have been removed.
        passedOver.removeIf([&](const ChoreFailure &entry) { return !TempFiles::isTemporary(entry.item, data.tempExtensions); });
        notePassedOver(passedOver, progress);
        results.json.insert(QStringLiteral("projectFolder"), folder);
        results.json.insert(QStringLiteral("toTrash"), toTrash);
        if (!m_invocation.dryRun) {
            TempFiles::deleteFiles(found, disposal, progress);
            results.json.insert(toTrash ? QStringLiteral("trashed") : QStringLiteral("deleted"),
                                QJsonArray::fromStringList(withoutFailed(found, progress)));
            return;
        }
        results.lines = found;
        results.json.insert(QStringLiteral("delete"), QJsonArray::fromStringList(found));
    });
}

ExitStatus ChoreCommands::copy()
{
    return run(QStringLiteral("copy"), QStringLiteral("Copying files"), [&](ChoreProgress &progress, Results &results) {
        if (m_invocation.dryRun)
            planCopies(progress, results);
        else
            copyEntries(m_project.data().copies, progress, ChoreReach(m_project.data().path));
    });
}

ExitStatus ChoreCommands::zip()
{
    return run(QStringLiteral("zip"), QStringLiteral("Zipping folders"), [&](ChoreProgress &progress, Results &results) {
        if (m_invocation.dryRun)
            planZips(progress, results);
        else
            zipAndSum(progress, results);
    });
}

ExitStatus ChoreCommands::release()
{
    const ProjectData &data = m_project.data();
    return run(QStringLiteral("release"), QStringLiteral("Copying files, then zipping folders"),
               [&](ChoreProgress &progress, Results &results) {
                   if (m_invocation.dryRun) {
                       planCopies(progress, results);
                       planZips(progress, results);
                       return;
                   }
                   if (copyBeforeZip(data.copies, progress, ChoreReach(data.path)))
                       zipAndSum(progress, results);
               });
}

ExitStatus ChoreCommands::backup()
{
    const ProjectData &data = m_project.data();
    const int keep = m_invocation.keep ? *m_invocation.keep : BackupsToKeep::load(AppDataFolder::path());
    const BackupSettings settings{data.name, data.projectFolder, data.backupFolder, data.includeSubfolders, keep,
                                  data.path};
    const QString stamp = backupDateStamp(QDate::currentDate(), QLocale::system());
    return run(QStringLiteral("backup"), QStringLiteral("Backing up the project"), [&](ChoreProgress &progress, Results &results) {
        const QString target = backupTarget(settings, stamp);
        results.json.insert(QStringLiteral("target"), target);
        if (!m_invocation.dryRun) {
            backupProject(settings, stamp, progress);
            results.lines.append(target);
            return;
        }
        const qsizetype files = backupFiles(settings, progress).size();
        const QStringList removed = backupsToRemove(settings, stamp);
        results.lines.append(QStringLiteral("%1: %2 files").arg(target).arg(files));
        results.json.insert(QStringLiteral("files"), files);
        results.json.insert(QStringLiteral("remove"), QJsonArray::fromStringList(removed));
        for (const QString &folder : removed)
            results.lines.append(QStringLiteral("remove %1").arg(folder));
    });
}

ExitStatus ChoreCommands::upload()
{
    const QList<UploadEntry> &uploads = m_project.data().uploads;
    FingerprintTrust trust(m_invocation.trustedHosts);
    UploadServices services;
    services.hostTrust = &trust;
    // No one to ask: the environment, never the command line, which every user of the machine
    // can read, gives what the project file and the keyring lack.
    PasswordSource passwords({}, {}, QStringLiteral("Set TROVAS_PASSWORD to give it."));
    services.passwords = &passwords;
    services.transfersAtOnce = m_invocation.jobs ? *m_invocation.jobs : TransfersAtOnce::load(AppDataFolder::path());
    return run(QStringLiteral("upload"), QStringLiteral("Uploading"), [&](ChoreProgress &progress, Results &results) {
        results.failuresHeadline = [count = uploads.size()](const ChoreReport &report) {
            return uploadEndWording(report, count).failedHeadline;
        };
        if (!m_invocation.dryRun) {
            runUploads(uploads, progress, services);
            QStringList sources;
            for (const UploadEntry &entry : uploads)
                sources.append(entry.source);
            results.json.insert(QStringLiteral("uploaded"), QJsonArray::fromStringList(withoutFailed(sources, progress)));
            return;
        }
        QJsonArray planned;
        for (const UploadPreview &preview : previewUploads(uploads, progress, services)) {
            const UploadDestination &destination = preview.destination;
            // Never the password.
            results.lines.append(previewHeadline(preview));
            QJsonObject json{{QStringLiteral("file"), preview.entry.source},
                             {QStringLiteral("protocol"), protocolName(destination.protocol)},
                             {QStringLiteral("host"), destination.host},
                             {QStringLiteral("port"), destination.port},
                             {QStringLiteral("folder"), destination.folder},
                             {QStringLiteral("user"), preview.entry.user}};
            if (preview.plan) {
                for (const QString &line : describeMirrorPlan(*preview.plan))
                    results.lines.append(QStringLiteral("  ") + line);
                json.insert(QStringLiteral("files"), mirrorPlanJson(*preview.plan));
            }
            planned.append(json);
        }
        results.json = {{QStringLiteral("uploads"), planned}};
    });
}

void ChoreCommands::planCopies(ChoreProgress &progress, Results &results) const
{
    QJsonArray copies;
    const QList<CopyPlan> plans = ::planCopies(m_project.data().copies, progress, ChoreReach(m_project.data().path));
    reportBlockedTargets(plans, progress);
    for (const CopyPlan &plan : plans) {
        for (const auto &[source, target] : plan.files) {
            results.lines.append(source + QStringLiteral(" -> ") + target);
            copies.append(QJsonObject{{QStringLiteral("source"), source}, {QStringLiteral("target"), target}});
        }
    }
    results.json.insert(QStringLiteral("copies"), copies);
}

void ChoreCommands::planZips(ChoreProgress &progress, Results &results) const
{
    const ProjectData &data = m_project.data();
    QJsonArray archives;
    QStringList archiveNames;
    for (const QString &folder : zipListFolders(data.zipFolders, ChoreReach(data.path), progress)) {
        const std::optional<QStringList> entries = zipFolderEntries(folder, data.zipWithFolderNames, progress);
        if (!entries)
            continue;
        const QString archive = zipArchiveName(folder);
        archiveNames.append(archive);
        results.lines.append(QStringLiteral("%1: %2 entries").arg(archive).arg(entries->size()));
        archives.append(QJsonObject{{QStringLiteral("folder"), folder},
                                    {QStringLiteral("archive"), archive},
                                    {QStringLiteral("entries"), entries->size()}});
    }
    results.json.insert(QStringLiteral("archives"), archives);
    if (m_invocation.checksums) {
        const QStringList checksumFiles = checksumFilesFor(archiveNames);
        results.lines.append(checksumFiles);
        results.json.insert(QStringLiteral("checksums"), QJsonArray::fromStringList(checksumFiles));
    }
}

// Zips the folders of the zip list and, with --checksums, sums up the archives written.
void ChoreCommands::zipAndSum(ChoreProgress &progress, Results &results) const
{
    const ProjectData &data = m_project.data();
    const QStringList archives = zipFolders(data.zipFolders, data.zipWithFolderNames, progress, ChoreReach(data.path));
    if (m_invocation.checksums)
        results.lines.append(writeChecksums(archives, progress));
}

ExitStatus ChoreCommands::run(const QString &command, const QString &description, const Work &work)
{
    Results results;
    const ChoreReport report =
        m_runner.run(description, [&work, &results](ChoreProgress &progress) { work(progress, results); });
    const QString headline =
        report.failures.isEmpty() || !results.failuresHeadline ? QString() : results.failuresHeadline(report);
    if (m_invocation.json) {
        // What the chore itself tells, then how it ended, for a real run as for a dry run.
        QJsonObject json = results.json;
        const QJsonObject end = reportJson(report);
        for (auto field = end.begin(); field != end.end(); ++field)
            json.insert(field.key(), field.value());
        if (!headline.isEmpty())
            json.insert(QStringLiteral("summary"), headline);
        json.insert(QStringLiteral("command"), command);
        json.insert(QStringLiteral("dryRun"), m_invocation.dryRun);
        Output::json(json);
    } else if (!report.error) {
        for (const QString &line : std::as_const(results.lines))
            Output::line(line);
    }
    if (!headline.isEmpty())
        Output::error(headline);
    for (const ChoreFailure &failure : report.failures)
        Output::error(QStringLiteral("%1: %2").arg(failure.item, QString(failure.reason).replace(QLatin1Char('\n'), QStringLiteral("; "))));
    for (const QString &problem : report.problems)
        Output::error(problem);
    report.rethrowError();
    if (report.cancelled)
        Output::error(QStringLiteral("Cancelled"));
    for (const QString &note : report.notes)
        Output::error(note);
    return report.succeeded() ? ExitDone : ExitFailed;
}
