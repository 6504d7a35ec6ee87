#include "housekeeping/CopyEntries.h"

#include "chores/ChoreProgress.h"
#include "housekeeping/FileCopier.h"
#include "housekeeping/ListFiles.h"
#include "project/Error.h"

#include <QDir>
#include <QFileInfo>

namespace {

QString fileNameOf(const QString &path)
{
    return path.mid(path.lastIndexOf(QDir::separator()) + 1);
}

CopyPlan planOf(const CopyEntry &pair, ChoreProgress &progress)
{
    CopyPlan plan{pair.target, {}};
    const QFileInfo source(pair.source);
    if (source.isFile()) {
        plan.files.append({pair.source, pair.target});
    } else if (source.isDir()) {
        QList<ChoreFailure> passedOver;
        for (const QString &file : listFiles(pair.source, false, &progress, &passedOver))
            plan.files.append({file, pair.target + fileNameOf(file)});
        notePassedOver(passedOver, progress);
    } else {
        progress.addFailure(pair.source, source.exists() ? QStringLiteral("not a file or folder")
                                                         : QStringLiteral("source does not exist"));
    }
    return plan;
}

} // namespace

QList<CopyPlan> planCopies(const QList<CopyEntry> &copies, ChoreProgress &progress, const ChoreReach &reach)
{
    QList<CopyEntry> reached;
    for (qsizetype line = 1; line <= copies.size(); ++line) {
        const CopyEntry &pair = copies.at(line - 1);
        try {
            reached.append({reach.source(pair.source, QStringLiteral("The copy source on line %1").arg(line)),
                            reach.target(pair.target, QStringLiteral("The copy target on line %1").arg(line))});
        } catch (const Error &refusal) {
            throw Error(refusal.message() + QStringLiteral(" Nothing was copied."));
        }
    }
    QList<CopyPlan> plans;
    for (const CopyEntry &pair : std::as_const(reached))
        plans.append(planOf(pair, progress));
    return plans;
}

void reportBlockedTargets(const QList<CopyPlan> &plans, ChoreProgress &progress)
{
    QStringList reported;
    for (const CopyPlan &plan : plans) {
        const QString folder = folderPartOf(plan.target);
        if (reported.contains(folder))
            continue;
        if (const std::optional<QString> obstacle = folderObstacle(plan.target)) {
            progress.addFailure(folder, *obstacle);
            reported.append(folder);
        }
    }
}

void copyEntries(const QList<CopyEntry> &copies, ChoreProgress &progress, const ChoreReach &reach)
{
    const QList<CopyPlan> plans = planCopies(copies, progress, reach);
    qint64 total = 0;
    for (const CopyPlan &plan : plans)
        total += plan.files.size();
    progress.addTotal(total);

    FileCopier copier(progress);
    qint64 copied = 0;
    try {
        for (const CopyPlan &plan : std::as_const(plans)) {
            progress.checkCancelled();
            if (!copier.createFolderFor(plan.target)) {
                progress.addDone(plan.files.size());
                continue;
            }
            for (const auto &[source, target] : plan.files) {
                progress.checkCancelled();
                progress.setStatus(QStringLiteral("Copying: ") + QDir::toNativeSeparators(source));
                copied += copier.copy(source, target);
                progress.addDone();
            }
        }
    } catch (const ChoreCancelled &) {
        progress.addNote(QStringLiteral("%1 of %2 files were copied.").arg(copied).arg(total));
        throw;
    }
}

bool copyBeforeZip(const QList<CopyEntry> &copies, ChoreProgress &progress, const ChoreReach &reach)
{
    try {
        copyEntries(copies, progress, reach);
    } catch (const Error &error) {
        progress.addProblem(error.message());
        progress.addProblem(QStringLiteral("The folders were not zipped, since the copy stopped."));
        return false;
    }
    return true;
}
