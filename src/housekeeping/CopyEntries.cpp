#include "housekeeping/CopyEntries.h"

#include "chores/ChoreProgress.h"
#include "housekeeping/FileCopier.h"
#include "housekeeping/ListFiles.h"
#include "project/Error.h"

#include <QDir>
#include <QFileInfo>

namespace {

// One pair as found on disk when the chore starts: the files to copy, each with its target.
struct CopyPlan
{
    QString target;
    QList<std::pair<QString, QString>> files;
};

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

void copyEntries(const QList<CopyEntry> &copies, ChoreProgress &progress)
{
    for (const CopyEntry &pair : copies) {
        if (!isFullPath(pair.target))
            throw Error(QStringLiteral("The copy target \"%1\" is not a full path, so nothing was copied. "
                                       "Give it with its folders from the top.")
                            .arg(pair.target));
    }
    QList<CopyPlan> plans;
    qint64 total = 0;
    for (const CopyEntry &pair : copies) {
        plans.append(planOf(pair, progress));
        total += plans.last().files.size();
    }
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
