#include "chores/ChoreEndMessage.h"

#include "chores/ChoreRunner.h"
#include "platform/Prompts.h"

#include <QDir>

#include <algorithm>

namespace {

QString counted(qsizetype count, const char *one, const char *many)
{
    return QStringLiteral("%1 %2").arg(count).arg(QLatin1StringView(count == 1 ? one : many));
}

// "2 files and 1 folder could not be copied"; folders are reported with a trailing separator.
QString notHandled(const QList<ChoreFailure> &failures, const QString &handled)
{
    const qsizetype folders = std::count_if(failures.begin(), failures.end(), [](const ChoreFailure &failure) {
        return failure.item.endsWith(QDir::separator());
    });
    const qsizetype files = failures.size() - folders;
    QStringList counts;
    if (files > 0)
        counts.append(counted(files, "file", "files"));
    if (folders > 0)
        counts.append(counted(folders, "folder", "folders"));
    return QStringLiteral("%1 could not be %2").arg(counts.join(QLatin1String(" and ")), handled);
}

QString failuresHeadline(const ChoreReport &report, const ChoreEndWording &wording)
{
    if (!wording.failedHeadline.isEmpty())
        return wording.failedHeadline;
    const QString what = notHandled(report.failures, wording.handled);
    if (report.cancelled)
        return QStringLiteral("Before that, %1:").arg(what);
    return QStringLiteral("Finished, but %1:").arg(what);
}

} // namespace

QString failedOfHeadline(qsizetype failed, qsizetype total, const QString &items)
{
    return QStringLiteral("Finished, but %1 of %2 %3 failed:").arg(failed).arg(total).arg(items);
}

ChoreEnd choreEnd(const ChoreReport &report, const ChoreEndWording &wording)
{
    const bool warning = report.cancelled || !report.failures.isEmpty() || !report.problems.isEmpty();
    QStringList paragraphs;
    if (report.cancelled)
        paragraphs.append(QStringLiteral("Cancelled"));
    if (!report.failures.isEmpty())
        paragraphs.append(failuresHeadline(report, wording) + QLatin1Char('\n') + failureLines(report.failures));
    if (!warning)
        paragraphs.append(wording.finished);
    paragraphs += report.problems;
    paragraphs += report.notes;
    return {paragraphs.join(QStringLiteral("\n\n")), warning};
}

void tellChoreEnd(Prompts &prompts, const ChoreReport &report, const ChoreEndWording &wording, bool sayFinished)
{
    const ChoreEnd end = choreEnd(report, wording);
    if (end.warning)
        prompts.warning(end.text);
    else if (sayFinished || !report.notes.isEmpty())
        prompts.message(end.text);
}
