#include "housekeeping/ChoreEndMessage.h"

#include "chores/ChoreRunner.h"
#include "platform/Prompts.h"

#include <QDir>

#include <algorithm>

namespace {

QString counted(qsizetype count, const char *one, const char *many)
{
    return QStringLiteral("%1 %2").arg(count).arg(QLatin1StringView(count == 1 ? one : many));
}

} // namespace

QString choreEndMessage(const QList<ChoreFailure> &failures, const QString &handled)
{
    if (failures.isEmpty())
        return QStringLiteral("Finished");
    // Folders are reported with a trailing separator.
    const qsizetype folders = std::count_if(failures.begin(), failures.end(), [](const ChoreFailure &failure) {
        return failure.item.endsWith(QDir::separator());
    });
    const qsizetype files = failures.size() - folders;
    QStringList counts;
    if (files > 0)
        counts.append(counted(files, "file", "files"));
    if (folders > 0)
        counts.append(counted(folders, "folder", "folders"));
    QString message = QStringLiteral("Finished, but %1 could not be %2:\n")
                          .arg(counts.join(QLatin1String(" and ")), handled);
    return message + failureLines(failures);
}

void tellChoreEnd(Prompts &prompts, const ChoreReport &report, const QString &handled, bool sayFinished)
{
    if (report.cancelled)
        return;
    if (!report.failures.isEmpty())
        prompts.error(choreEndMessage(report.failures, handled));
    else if (sayFinished)
        prompts.message(choreEndMessage(report.failures, handled));
}
