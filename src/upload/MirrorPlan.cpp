#include "upload/MirrorPlan.h"

#include <QHash>
#include <QSet>

#include <algorithm>

QList<MirrorStep> MirrorPlan::stepsOf(MirrorAction action) const
{
    QList<MirrorStep> chosen;
    std::copy_if(steps.cbegin(), steps.cend(), std::back_inserter(chosen),
                 [action](const MirrorStep &step) { return step.action == action; });
    return chosen;
}

qint64 MirrorPlan::bytesOf(MirrorAction action) const
{
    qint64 bytes = 0;
    for (const MirrorStep &step : steps)
        bytes += step.action == action ? step.size : 0;
    return bytes;
}

namespace {

bool matchesState(const MirrorFile &file, const QHash<QString, MirrorFile> &state)
{
    const auto held = state.constFind(file.path);
    return held != state.cend() && held->size == file.size && held->sha256 == file.sha256;
}

bool matchesListing(const MirrorFile &file, const QHash<QString, qint64> &listing)
{
    const auto held = listing.constFind(file.path);
    return held != listing.cend() && *held == file.size;
}

} // namespace

MirrorPlan planMirror(const QList<MirrorFile> &local, const std::optional<QList<MirrorFile>> &state,
                      const QList<RemoteFile> &listing, bool removeStale)
{
    QHash<QString, MirrorFile> stateByPath;
    for (const MirrorFile &file : state.value_or(QList<MirrorFile>()))
        stateByPath.insert(file.path, file);
    QHash<QString, qint64> listingByPath;
    for (const RemoteFile &file : listing)
        listingByPath.insert(file.path, file.size);

    MirrorPlan plan;
    QSet<QString> localPaths;
    for (const MirrorFile &file : local) {
        localPaths.insert(file.path);
        const bool same = state ? matchesState(file, stateByPath) : matchesListing(file, listingByPath);
        plan.steps.append({same ? MirrorAction::Skip : MirrorAction::Upload, file.path, file.size});
    }
    if (removeStale) {
        for (const MirrorFile &file : stateByPath) {
            if (!localPaths.contains(file.path))
                plan.steps.append({MirrorAction::Remove, file.path, file.size});
        }
    }
    std::sort(plan.steps.begin(), plan.steps.end(), [](const MirrorStep &a, const MirrorStep &b) { return a.path < b.path; });
    return plan;
}
