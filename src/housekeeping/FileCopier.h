#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

class ChoreProgress;

// Copies files for the chores, one after the other. A copy goes to a temporary name beside
// its target and is renamed over the target only when it is whole, so a failed or cancelled
// copy never leaves a half file under the target's name. The copy keeps the source's
// modification time and permissions.
class FileCopier
{
public:
    // Beside the target while its copy is being written; a stale one goes with the next copy.
    static constexpr QLatin1StringView partSuffix{".trovas-part"};

    explicit FileCopier(ChoreProgress &progress);

    // Copies `source` to `target`, replacing it. A failure is reported to the progress with the
    // path that failed and the system's reason, and the chore goes on. Once the progress is
    // cancelled, a large copy stops between two pieces (ChoreCancelled).
    void copy(const QString &source, const QString &target);

    // Creates the folder part of `target` (up to its last separator) with every missing
    // parent. A folder part under 3 characters, or one that exists, needs nothing. Throws
    // Error naming the folder and the reason.
    void createFolderFor(const QString &target);

private:
    struct CopyFailure
    {
        bool inSource; // reading the source failed, not writing the copy
        QString reason;
    };

    // Writes the copy to `part`, which the caller removes when this fails.
    std::optional<CopyFailure> copyToPart(const QString &source, const QString &part);

    ChoreProgress &m_progress;
    QByteArray m_buffer;
    QString m_lastFolder; // made or found already
};

// Renames `from` to `to`, replacing `to` in one step; throws Error naming `to` and the reason.
void replaceFile(const QString &from, const QString &to);

// Whether `path` is a full path, which a copy target or backup folder has to be: a relative one
// would write below whatever the working folder happens to be.
bool isFullPath(const QString &path);
