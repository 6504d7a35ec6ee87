#pragma once

#include <QList>

class Project;
class Prompts;

// The commands that edit the copy pairs and the folders to zip. Rows are positions in the
// project's lists. Neither list takes an entry it holds already: the error names it, and the
// new entries of the same command stay added.
class CopyAndZipLists
{
public:
    CopyAndZipLists(Project &project, Prompts &prompts);

    // Asks for the file to copy and then for its copy's name; cancelling either adds nothing.
    void newFilePair();
    // Asks for the folder to copy from and the one to copy to, each kept with a trailing
    // separator. Without a folder picked nothing is added; a folder that no chore may take
    // (see ChoreReach: a root, a system folder as the source) throws Error saying why.
    void newFolderPair();
    void deleteCopies(const QList<int> &rows);
    // Asks for a folder and adds it, with a trailing separator, at its sorted place; refuses as
    // newFolderPair does.
    void newZipFolder();
    void deleteZipFolders(const QList<int> &rows);

    // Files and folders dropped on the lists. The copies ask once for the folder they all go
    // into, naming them, and each keeps its name there; with no folder chosen nothing is added.
    // Only folders are zipped; files are passed over.
    void addCopiesOf(const QStringList &paths);
    void addZipFolders(const QStringList &paths);

private:
    Project &m_project;
    Prompts &m_prompts;
};
