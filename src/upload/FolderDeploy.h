#pragma once

#include "upload/LocalTree.h"
#include "upload/MirrorPlan.h"
#include "upload/UploadRun.h"
#include "upload/UploadTransport.h"

#include <QSet>
#include <QString>

#include <functional>

class ChoreProgress;

// How a folder entry is deployed.
struct DeployOptions
{
    // Remove files that earlier deploys put on the server and that are gone here.
    bool removeStale = false;
    // Connections to the server at once, each carrying many files; 1 sends them in order.
    int jobs = 1;
};

// What a deploy found before anything moved.
struct DeploySurvey
{
    QList<LocalFile> local;
    std::optional<QList<MirrorFile>> state; // nothing: none on the server, or not to be trusted
    MirrorPlan plan;
};

// Mirrors a local folder into the target folder of its entry: missing folders are made, new
// and changed files uploaded (over up to `jobs` connections), stale ones removed when asked,
// and the record of what the server holds written last, under a temporary name first. A run
// that fails or is cancelled part-way still writes down what did arrive. Failures of single
// files are the progress's failures; a server that cannot be reached throws Error; a cancel
// ends with UploadCancelled after the record was written.
class FolderDeploy
{
public:
    // Makes a transport with these services and logs it in as the entry's user.
    using Opener = std::function<std::unique_ptr<UploadTransport>(const UploadServices &services)>;

    FolderDeploy(const QString &folder, const UploadDestination &destination, Opener open, const DeployOptions &options,
                 ChoreProgress &progress, const UploadServices &services);
    ~FolderDeploy();
    Q_DISABLE_COPY_MOVE(FolderDeploy)

    // Connects, scans the local folder, reads the server's record (or without one, lists the
    // server's files) and decides what to do; moves nothing.
    const DeploySurvey &survey();
    // Carries the survey's plan out.
    void run();

private:
    struct Shared;

    void openMain();
    std::optional<QList<MirrorFile>> readState();
    QList<RemoteFile> listTree(QList<QString> &folders);
    void makeFolders(const QList<MirrorStep> &uploads);
    void uploadAll(const QList<MirrorStep> &uploads);
    void helpSend(Shared &shared);
    QSet<QString> removeStale(const QList<MirrorStep> &removals);
    void writeState(const QSet<QString> &arrived, const QSet<QString> &removed, bool cancelled);

    QString m_folder;
    UploadDestination m_destination;
    Opener m_open;
    DeployOptions m_options;
    ChoreProgress &m_progress;
    UploadServices m_services; // passive FTP, for the many connections
    std::unique_ptr<UploadTransport> m_main;
    DeploySurvey m_survey;
    std::unique_ptr<Shared> m_shared;
    QSet<QString> m_remoteFolders; // folders known to be on the server, below the target
    bool m_surveyed = false;
};

// The lines a preview shows: "upload  docs/index.html  12,345 bytes", then a summary line.
QStringList describeMirrorPlan(const MirrorPlan &plan);
