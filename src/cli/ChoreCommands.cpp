#include "cli/ChoreCommands.h"

#include "cli/CommandLine.h"
#include "cli/Output.h"
#include "housekeeping/ListFiles.h"
#include "housekeeping/TempFiles.h"
#include "project/Project.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>

ChoreCommands::ChoreCommands(const Invocation &invocation, const Project &project)
    : m_invocation(invocation), m_project(project)
{
}

ExitStatus ChoreCommands::clean()
{
    const ProjectData &data = m_project.data();
    TempFiles::checkDeletableFolder(data.projectFolder);
    QStringList found;
    QStringList deleted;
    const bool dryRun = m_invocation.dryRun;
    const ChoreReport report =
        m_runner.run(QStringLiteral("Deleting temporary files"), [&](ChoreProgress &progress) {
            progress.setStatus(QStringLiteral("Listing: ") + data.projectFolder);
            found = TempFiles::temporaryAmong(listFiles(data.projectFolder, data.includeSubfolders),
                                              data.tempExtensions);
            if (dryRun)
                return;
            progress.setTotal(found.size());
            for (const QString &path : std::as_const(found)) {
                progress.checkCancelled();
                progress.setStatus(QStringLiteral("Deleting: ") + QFileInfo(path).fileName());
                QFile file(path);
                if (file.remove())
                    deleted.append(path);
                else
                    progress.addFailure(path, file.errorString());
                progress.addDone();
            }
        });
    if (dryRun && m_invocation.json && !report.error)
        Output::json({{QStringLiteral("command"), QStringLiteral("clean")},
                      {QStringLiteral("projectFolder"), data.projectFolder},
                      {QStringLiteral("delete"), QJsonArray::fromStringList(found)}});
    else
        for (const QString &path : dryRun ? found : deleted)
            Output::line(path);
    return finish(report);
}

ExitStatus ChoreCommands::finish(const ChoreReport &report)
{
    for (const ChoreFailure &failure : report.failures)
        Output::error(QStringLiteral("%1: %2").arg(failure.item, failure.reason));
    report.rethrowError();
    if (report.cancelled)
        Output::error(QStringLiteral("Cancelled"));
    return report.succeeded() ? ExitDone : ExitFailed;
}
