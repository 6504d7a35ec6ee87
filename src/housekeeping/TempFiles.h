#pragma once

#include <QObject>
#include <QStringList>

class ChoreProgress;
class ChoreRunner;
class Project;
struct ProjectData;
class ProjectCommands;
class Prompts;

// The temporary files of the project folder: the files whose extension is one of the
// project's temporary-file extensions, as found by the last listing, and the commands that
// edit the extensions and delete what was found. Every change of the project folder or of
// "include subfolders", every load and every command here lists the folder again, on a
// worker: a listing that is still running then gives way to the fresh one.
class TempFiles : public QObject
{
    Q_OBJECT

public:
    // Where deleted temporary files go: to the desktop's trash, where the user can get them
    // back, unless the user chose to delete them permanently.
    enum class Disposal { Trash, Delete };

    TempFiles(Project &project, ProjectCommands &commands, Prompts &prompts, QObject *parent = nullptr);

    // Full paths found by the last listing, ascending ignoring case; empty while listing.
    const QStringList &found() const { return m_found; }
    QStringList foundAt(const QList<int> &rows) const;
    // "Contains N files with M temp. files", for the status bar.
    QString countText() const;
    bool isListing() const;

    // Lists the project folder again; listingStarted() now, scanned() when the result is in.
    void scan();
    // Asks for an extension and adds it as typed; scans in any case.
    void newExtension();
    void deleteExtensions(const QList<int> &rows);
    // The extensions of dropped files that the list does not hold yet (ignoring case); folders
    // and files without one are passed over. Scans in any case, as "New file-extension".
    void addExtensionsOf(const QStringList &paths);

    Disposal disposal() const { return m_disposal; }
    void setDisposal(Disposal disposal) { m_disposal = disposal; }
    // The user's choice, kept in the settings folder (which ends with a separator); the trash
    // when it was never made. Throw Error naming the file and the reason.
    static Disposal loadDisposal(const QString &folder);
    static void saveDisposal(const QString &folder, Disposal disposal);

    // Asks once before `paths` of the found list are deleted: false when the user declines.
    // Nothing to delete needs no question. Throws Error while the folder is being listed, and
    // for a project folder that no chore may take (see ChoreReach), whose listing holds files
    // that belong to the system or to other projects.
    bool confirmDeletion(const QStringList &paths) const;
    // Moves to the trash or deletes the files that still exist as files, passing over the ones
    // that cannot go (each reported to the progress with the reason, and left in place); meant
    // for a worker, and stops between two files when cancelled.
    static void deleteFiles(const QStringList &paths, Disposal disposal, ChoreProgress &progress);
    // What the end report says could not be done to a file: "moved to the trash", "deleted".
    static QString handledWord(Disposal disposal);

    // The temporary files among `files`, ascending ignoring case.
    static QStringList temporaryAmong(const QStringList &files, const QStringList &extensions);
    // The project folder whose temporary files a chore lists and deletes: resolved against the
    // folder of the project file. Throws Error when no chore may take it (see ChoreReach).
    static QString projectFolderOf(const ProjectData &data);

    // From the last "." of the last path component to the end; empty without a dot there.
    static QStringView extensionOf(QStringView path);
    // Whether the extension of `path` is one of `extensions`, ignoring case.
    static bool isTemporary(QStringView path, const QStringList &extensions);

Q_SIGNALS:
    void listingStarted();
    void scanned();

private:
    Project &m_project;
    Prompts &m_prompts;
    ChoreRunner *m_listing;
    // The folder the found files come from, and why it was not listed.
    QString m_folder;
    QString m_refusal;
    QStringList m_found;
    qsizetype m_listed = 0;
    Disposal m_disposal = Disposal::Trash;
};
