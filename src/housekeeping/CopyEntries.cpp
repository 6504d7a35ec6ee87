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
        for (const QString &file : listFiles(pair.source, false, &progress))
            plan.files.append({file, pair.target + fileNameOf(file)});
    } else {
        progress.addFailure(pair.source, source.exists() ? QStringLiteral("not a file or folder")
                                                         : QStringLiteral("source does not exist"));
    }
    return plan;
}

} // namespace

QList<CopyPlan> planCopies(const QList<CopyEntry> &copies, ChoreProgress &progress)
{
    for (const CopyEntry &pair : copies) {
        if (!isFullPath(pair.target))
            throw Error(QStringLiteral("The copy target \"%1\" is not a full path, so nothing was copied. "
                                       "Give it with its folders from the top.")
                            .arg(pair.target));
    }
    QList<CopyPlan> plans;
    for (const CopyEntry &pair : copies)
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

void copyEntries(const QList<CopyEntry> &copies, ChoreProgress &progress)
{
    const QList<CopyPlan> plans = planCopies(copies, progress);
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

bool copyBeforeZip(const QList<CopyEntry> &copies, ChoreProgress &progress)
{
    try {
        copyEntries(copies, progress);
    } catch (const Error &error) {
        progress.addProblem(error.message());
        progress.addProblem(QStringLiteral("The folders were not zipped, since the copy stopped."));
        return false;
    }
    return true;
}
