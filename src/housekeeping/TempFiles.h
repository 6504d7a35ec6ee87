#pragma once

#include <QObject>
#include <QStringList>

class Project;
class ProjectCommands;
class Prompts;

// The temporary files of the project folder: the files whose extension is one of the
// project's temporary-file extensions, as found by the last scan, and the commands that
// edit the extensions and delete what was found. Every change of the project folder or of
// "include subfolders", every load and every command here scans again.
class TempFiles : public QObject
{
    Q_OBJECT

public:
    TempFiles(Project &project, ProjectCommands &commands, Prompts &prompts, QObject *parent = nullptr);

    // Full paths found by the last scan, ascending ignoring case.
    const QStringList &found() const { return m_found; }
    // "Contains N files with M temp. files", for the status bar.
    QString countText() const;

    void scan();
    // Asks for an extension and adds it as typed; scans in any case.
    void newExtension();
    void deleteExtensions(const QList<int> &rows);
    // Deletes every found file, passing over the ones that cannot go, then scans and says
    // "Finished".
    void deleteTemporaryFiles();
    // Deletes the found files at `rows` of found().
    void deleteFound(const QList<int> &rows);

    // The temporary files among `files`, ascending ignoring case.
    static QStringList temporaryAmong(const QStringList &files, const QStringList &extensions);
    // Throws Error for a folder whose temporary files must never be deleted wholesale: none
    // set, the file-system root or the home folder itself.
    static void checkDeletableFolder(const QString &folder);

    // From the last "." of the last path component to the end; empty without a dot there.
    static QStringView extensionOf(QStringView path);
    // Whether the extension of `path` is one of `extensions`, ignoring case.
    static bool isTemporary(QStringView path, const QStringList &extensions);

Q_SIGNALS:
    void scanned();

private:
    Project &m_project;
    Prompts &m_prompts;
    QStringList m_found;
    qsizetype m_listed = 0;
};
