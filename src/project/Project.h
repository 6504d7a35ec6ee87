#pragma once

#include "project/FormattingFile.h"
#include "project/ProjectData.h"

#include <QObject>

#include <array>
#include <functional>
#include <vector>

enum class ProjectList { Developers, TempExtensions, Copies, ZipFolders, Uploads, Tools, Description, Todos, License, Notes };

// The open project. Every change goes through a setter, which emits what the views and
// change reactions listen to. The three text lists shown in sorted list boxes
// (temporary extensions, zip folders, tools) are kept ascending, ignoring case.
class Project : public QObject
{
    Q_OBJECT

public:
    // The order of rows by a signed column key, as ColumnSort::order() gives it. It only reads
    // the rows, on a worker for a long list.
    template<typename Record>
    using Order = std::function<std::vector<qsizetype>(const QList<Record> &rows, int key)>;
    // The to-do rules live with the to-do list.
    using TodoOrder = Order<TodoItem>;

    // A list of this many rows or more is sorted on a worker.
    static constexpr qsizetype kWorkerSortRows = 5'000;

    // Without a to-do order, sorting the to-do list only remembers its key.
    explicit Project(TodoOrder todoOrder = {}, QObject *parent = nullptr)
        : QObject(parent), m_todoOrder(std::move(todoOrder))
    {
    }

    const ProjectData &data() const { return m_data; }

    void setName(const QString &name);
    void setVersion(const QString &version);
    void setProjectFolder(const QString &folder);
    void setBackupFolder(const QString &folder);
    void setMainFile(const QString &file);
    void setIncludeSubfolders(bool include);
    void setZipWithFolderNames(bool include);
    void setPath(const QString &path);

    void setDevelopers(QList<DeveloperEntry> developers);
    void setTempExtensions(QStringList extensions);
    void setCopies(QList<CopyEntry> copies);
    void setZipFolders(QStringList folders);
    void setUploads(QList<UploadEntry> uploads);
    void setTools(QStringList tools);
    void setDescription(const QStringList &lines);
    void setTodos(QList<TodoItem> todos);
    void setLicense(const QStringList &lines);
    void setNotes(const QStringList &lines);

    // The formatting of the description and the licence, as a loaded project brings it and as
    // the editors hand it over before a save.
    const DocumentFormatting &formatting() const { return m_formatting; }
    // A loaded project's formatting; the editors apply it where it still fits their text.
    void setFormatting(DocumentFormatting formatting);
    // The formatting one document's editor has now; changes nothing that shows.
    void keepFormatting(ProjectList document, const QString &html);
    // Asks the editors to hand over their formatting, before the project is written.
    void collectFormatting() { Q_EMIT formattingWanted(); }

    // Signed column sort keys of the report lists; 0 until first sorted, never saved.
    int sortKey(ProjectList list) const { return m_sortKeys[static_cast<size_t>(list)]; }
    // Sorts the list by `key` and remembers the key (developers, copies, uploads, todos). A
    // short list is sorted at once. A long one is ordered on a worker while the window goes on,
    // and takes its new order when the worker is done: from the clicks meanwhile, the last
    // one's key; an edit of the list meanwhile stays, and the list is then ordered again.
    void sortList(ProjectList list, int key);
    // Whether a worker is ordering the list.
    bool isSorting(ProjectList list) const { return m_runningSorts[static_cast<size_t>(list)] != 0; }
    // Puts loaded data in the order a freshly loaded project shows: the report lists by their
    // first column, the to-do list by status and, within a status, by version. Touches nothing
    // of the Project, so it may run on a worker while the window goes on.
    void arrangeAsLoaded(ProjectData &data) const;

    // Whether anything was edited since the project was loaded, saved or made new. Sorting a
    // list by a column is no edit.
    bool isModified() const { return m_modified; }
    void setModified(bool modified);
    // Marks an edit the project's data does not show (the formatting of a document).
    void markModified() { setModified(true); }

    // Empties everything but the sort keys, running the change reactions; unmodified.
    void reset();
    // Replaces the whole document with data that arrangeAsLoaded() ordered, and takes the sort
    // keys of that order: empties it, then sets every setting and list in file order, running
    // every change reaction; unmodified.
    void replaceLoaded(ProjectData data);

    static void sortIgnoringCase(QStringList &texts);

Q_SIGNALS:
    void nameChanged(const QString &name);
    void projectFolderChanged(const QString &folder);
    void includeSubfoldersChanged(bool include);
    // Any setting, for the fields of the Project page.
    void settingsChanged();
    void listChanged(ProjectList list);
    void sortingChanged(ProjectList list, bool sorting);
    void modifiedChanged(bool modified);
    // The project file changed: loaded, saved under a new name, or none.
    void pathChanged(const QString &path);
    void formattingReplaced();
    void formattingWanted();

private:
    void replace(ProjectData data);
    void releaseListsOnWorker();
    template<typename Record>
    void assignUids(QList<Record> &records);
    template<typename Record>
    void setRecords(QList<Record> ProjectData::*list, QList<Record> records, ProjectList which);
    // Orders the list by its sort key, on a worker when it is long.
    template<typename Record>
    void sortRecords(QList<Record> ProjectData::*list, ProjectList which, const Order<Record> &order);
    template<typename Record>
    void sortOnWorker(QList<Record> ProjectData::*list, ProjectList which, const Order<Record> &order);
    // The worker sort whose order the list takes when it is done; 0 for none.
    void setRunningSort(ProjectList list, quint64 ticket);
    void setSortKey(ProjectList list, int key) { m_sortKeys[static_cast<size_t>(list)] = key; }
    void setLines(QStringList ProjectData::*list, QStringList lines, ProjectList which, bool sorted);
    void setText(QString ProjectData::*field, const QString &value);
    // An edit, unless the document is being replaced or sorted.
    void noteEdit();

    TodoOrder m_todoOrder;
    ProjectData m_data;
    DocumentFormatting m_formatting;
    std::array<int, 10> m_sortKeys{};
    // Counts the changes of each list's rows, so a worker's order of rows since changed is
    // never applied.
    std::array<quint64, 10> m_listVersions{};
    // The ticket of the worker sort whose order each list is waiting for; 0 for none.
    std::array<quint64, 10> m_runningSorts{};
    quint64 m_nextSortTicket = 1;
    quint64 m_nextUid = 1;
    bool m_modified = false;
    bool m_trackingEdits = true;
};
