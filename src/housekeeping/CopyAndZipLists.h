#pragma once

#include <QList>

class Project;
class Prompts;

// The commands that edit the copy pairs and the folders to zip. Rows are positions in the
// project's lists.
class CopyAndZipLists
{
public:
    CopyAndZipLists(Project &project, Prompts &prompts);

    // Asks for the file to copy and then for its copy's name; cancelling either adds nothing.
    void newFilePair();
    // Asks for the folder to copy from and the one to copy to, each kept with a trailing
    // separator. The folder browser has no Cancel, so a pair is always added.
    void newFolderPair();
    void deleteCopies(const QList<int> &rows);
    // Asks for a folder and adds it, with a trailing separator, at its sorted place.
    void newZipFolder();
    void deleteZipFolders(const QList<int> &rows);

    // Files and folders dropped on the lists, added as the "New" commands add what the user
    // picked. A copy asks where it goes, a file by name and a folder by the folder browser;
    // one left without a target is not added. Only folders are zipped; files are passed over.
    void addCopiesOf(const QStringList &paths);
    void addZipFolders(const QStringList &paths);

private:
    Project &m_project;
    Prompts &m_prompts;
};
