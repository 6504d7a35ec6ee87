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

void copyEntries(const QList<CopyEntry> &copies, ChoreProgress &progress)
{
    const QList<CopyPlan> plans = planCopies(copies, progress);
    qint64 total = 0;
    for (const CopyPlan &plan : plans)
        total += plan.files.size();
    progress.addTotal(total);

    FileCopier copier(progress);
    for (const CopyPlan &plan : std::as_const(plans)) {
        progress.checkCancelled();
        copier.createFolderFor(plan.target);
        for (const auto &[source, target] : plan.files) {
            progress.checkCancelled();
            progress.setStatus(QStringLiteral("Copying: ") + QDir::toNativeSeparators(source));
            copier.copy(source, target);
            progress.addDone();
        }
    }
}
