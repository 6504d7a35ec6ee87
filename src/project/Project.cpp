#include "project/Project.h"

#include "project/ColumnSort.h"

#include <QCollator>
#include <QFutureWatcher>
#include <QPromise>
#include <QScopedValueRollback>
#include <QThreadPool>

#include <memory>
#include <utility>

namespace {

// Lets go of `value` on a worker: freeing 100,000 records takes longer than the window may
// stand still.
template<typename T>
void releaseOnWorker(T value)
{
    auto held = std::make_shared<T>(std::move(value));
    QThreadPool::globalInstance()->start([held = std::move(held)]() mutable { held.reset(); });
}

} // namespace

void Project::sortIgnoringCase(QStringList &texts)
{
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(texts.begin(), texts.end(),
                     [&](const QString &a, const QString &b) { return collator.compare(a, b) < 0; });
}

template<typename Record>
void Project::assignUids(QList<Record> &records)
{
    for (Record &record : records)
        if (record.uid == 0)
            record.uid = m_nextUid++;
}

void Project::setModified(bool modified)
{
    if (m_modified == modified)
        return;
    m_modified = modified;
    Q_EMIT modifiedChanged(modified);
}

void Project::noteEdit()
{
    if (m_trackingEdits)
        setModified(true);
}

void Project::setText(QString ProjectData::*field, const QString &value)
{
    if (m_data.*field == value)
        return;
    m_data.*field = value;
    noteEdit();
    Q_EMIT settingsChanged();
}

void Project::setName(const QString &name)
{
    if (m_data.name == name)
        return;
    m_data.name = name;
    noteEdit();
    Q_EMIT settingsChanged();
    Q_EMIT nameChanged(name);
}

void Project::setProjectFolder(const QString &folder)
{
    if (m_data.projectFolder == folder)
        return;
    m_data.projectFolder = folder;
    noteEdit();
    Q_EMIT settingsChanged();
    Q_EMIT projectFolderChanged(folder);
}

void Project::setIncludeSubfolders(bool include)
{
    if (m_data.includeSubfolders == include)
        return;
    m_data.includeSubfolders = include;
    noteEdit();
    Q_EMIT settingsChanged();
    Q_EMIT includeSubfoldersChanged(include);
}

void Project::setZipWithFolderNames(bool include)
{
    if (m_data.zipWithFolderNames == include)
        return;
    m_data.zipWithFolderNames = include;
    noteEdit();
    Q_EMIT settingsChanged();
}

void Project::setVersion(const QString &version) { setText(&ProjectData::version, version); }
void Project::setBackupFolder(const QString &folder) { setText(&ProjectData::backupFolder, folder); }
void Project::setMainFile(const QString &file) { setText(&ProjectData::mainFile, file); }

void Project::setPath(const QString &path)
{
    if (m_data.path == path)
        return;
    m_data.path = path;
    Q_EMIT pathChanged(path);
}

template<typename Record>
void Project::setRecords(QList<Record> ProjectData::*list, QList<Record> records, ProjectList which)
{
    assignUids(records);
    if (m_trackingEdits && records != m_data.*list)
        noteEdit();
    m_data.*list = std::move(records);
    ++m_listVersions[static_cast<size_t>(which)];
    Q_EMIT listChanged(which);
}

void Project::setLines(QStringList ProjectData::*list, QStringList lines, ProjectList which, bool sorted)
{
    if (sorted)
        sortIgnoringCase(lines);
    if (m_trackingEdits && lines != m_data.*list)
        noteEdit();
    m_data.*list = std::move(lines);
    Q_EMIT listChanged(which);
}

void Project::setDevelopers(QList<DeveloperEntry> developers)
{
    setRecords(&ProjectData::developers, std::move(developers), ProjectList::Developers);
}

void Project::setCopies(QList<CopyEntry> copies)
{
    setRecords(&ProjectData::copies, std::move(copies), ProjectList::Copies);
}

void Project::setUploads(QList<UploadEntry> uploads)
{
    setRecords(&ProjectData::uploads, std::move(uploads), ProjectList::Uploads);
}

void Project::setTodos(QList<TodoItem> todos)
{
    setRecords(&ProjectData::todos, std::move(todos), ProjectList::Todos);
}

void Project::setTempExtensions(QStringList extensions)
{
    setLines(&ProjectData::tempExtensions, std::move(extensions), ProjectList::TempExtensions, true);
}

void Project::setZipFolders(QStringList folders)
{
    setLines(&ProjectData::zipFolders, std::move(folders), ProjectList::ZipFolders, true);
}

void Project::setTools(QStringList tools)
{
    setLines(&ProjectData::tools, std::move(tools), ProjectList::Tools, true);
}

void Project::setDescription(const QStringList &lines)
{
    setLines(&ProjectData::description, lines, ProjectList::Description, false);
}

void Project::setLicense(const QStringList &lines)
{
    setLines(&ProjectData::license, lines, ProjectList::License, false);
}

void Project::setNotes(const QStringList &lines)
{
    setLines(&ProjectData::notes, lines, ProjectList::Notes, false);
}

void Project::setFormatting(DocumentFormatting formatting)
{
    m_formatting = std::move(formatting);
    Q_EMIT formattingReplaced();
}

void Project::keepFormatting(ProjectList document, const QString &html)
{
    (document == ProjectList::License ? m_formatting.license : m_formatting.description) = html;
}

void Project::sortList(ProjectList list, int key)
{
    setSortKey(list, key);
    switch (list) {
    case ProjectList::Developers:
        sortRecords(&ProjectData::developers, list, Order<DeveloperEntry>(&ColumnSort::orderByFields<DeveloperEntry>));
        break;
    case ProjectList::Copies:
        sortRecords(&ProjectData::copies, list, Order<CopyEntry>(&ColumnSort::orderByFields<CopyEntry>));
        break;
    case ProjectList::Uploads:
        sortRecords(&ProjectData::uploads, list, Order<UploadEntry>(&ColumnSort::orderByFields<UploadEntry>));
        break;
    case ProjectList::Todos:
        if (m_todoOrder)
            sortRecords(&ProjectData::todos, list, m_todoOrder);
        break;
    default:
        break;
    }
}

template<typename Record>
void Project::sortRecords(QList<Record> ProjectData::*list, ProjectList which, const Order<Record> &order)
{
    if ((m_data.*list).size() >= kWorkerSortRows) {
        sortOnWorker(list, which, order);
        return;
    }
    // Sorted now, so no worker started before may change the order any more.
    setRunningSort(which, 0);
    const QScopedValueRollback<bool> untracked(m_trackingEdits, false);
    ColumnSort::reorder(m_data.*list, order(std::as_const(m_data.*list), sortKey(which)));
    ++m_listVersions[static_cast<size_t>(which)];
    Q_EMIT listChanged(which);
}

// The worker reads its own copy of the rows, which shares them with the window's list at no
// cost, and builds the sorted list; the window then only swaps it in.
template<typename Record>
void Project::sortOnWorker(QList<Record> ProjectData::*list, ProjectList which, const Order<Record> &order)
{
    const quint64 ticket = m_nextSortTicket++;
    const quint64 version = m_listVersions[static_cast<size_t>(which)];
    setRunningSort(which, ticket);
    auto promise = std::make_shared<QPromise<QList<Record>>>();
    auto *watcher = new QFutureWatcher<QList<Record>>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, ticket, version, list, which, order] {
        watcher->deleteLater();
        if (m_runningSorts[static_cast<size_t>(which)] != ticket)
            return;
        if (m_listVersions[static_cast<size_t>(which)] != version) {
            sortRecords(list, which, order);
            return;
        }
        setRunningSort(which, 0);
        const QScopedValueRollback<bool> untracked(m_trackingEdits, false);
        releaseOnWorker(std::exchange(m_data.*list, watcher->future().takeResult()));
        ++m_listVersions[static_cast<size_t>(which)];
        Q_EMIT listChanged(which);
    });
    watcher->setFuture(promise->future());
    promise->start();
    QThreadPool::globalInstance()->start([promise, rows = m_data.*list, key = sortKey(which), order] {
        QList<Record> sorted;
        sorted.reserve(rows.size());
        for (qsizetype row : order(rows, key))
            sorted.append(rows.at(row));
        promise->addResult(std::move(sorted));
        promise->finish();
    });
}

void Project::setRunningSort(ProjectList list, quint64 ticket)
{
    quint64 &running = m_runningSorts[static_cast<size_t>(list)];
    const bool wasSorting = running != 0;
    running = ticket;
    if (wasSorting != (ticket != 0))
        Q_EMIT sortingChanged(list, ticket != 0);
}

namespace {

// The keys a load leaves the report lists with; the to-do list is sorted by version and then,
// stably, by status, which leaves its key at status.
constexpr int kLoadedKey = 1;
constexpr int kLoadedTodoKeys[] = {5, 1};

} // namespace

void Project::arrangeAsLoaded(ProjectData &data) const
{
    ColumnSort::sortByFields(data.developers, kLoadedKey);
    ColumnSort::sortByFields(data.copies, kLoadedKey);
    ColumnSort::sortByFields(data.uploads, kLoadedKey);
    if (m_todoOrder)
        for (int key : kLoadedTodoKeys)
            ColumnSort::reorder(data.todos, m_todoOrder(std::as_const(data.todos), key));
}

void Project::replaceLoaded(ProjectData data)
{
    // Before the lists change, so the views show the keys with the rows.
    for (ProjectList list : {ProjectList::Developers, ProjectList::Copies, ProjectList::Uploads})
        setSortKey(list, kLoadedKey);
    setSortKey(ProjectList::Todos, kLoadedTodoKeys[1]);
    replace(std::move(data));
}

void Project::reset()
{
    const QScopedValueRollback<bool> untracked(m_trackingEdits, false);
    // What a worker is ordering belongs to the project that goes.
    for (ProjectList list : {ProjectList::Developers, ProjectList::Copies, ProjectList::Uploads, ProjectList::Todos})
        setRunningSort(list, 0);
    setPath({});
    setIncludeSubfolders(false);
    setZipWithFolderNames(false);
    setDevelopers({});
    setTempExtensions({});
    setCopies({});
    setZipFolders({});
    setUploads({});
    setTools({});
    setDescription({});
    setTodos({});
    setLicense({});
    setName({});
    setBackupFolder({});
    setProjectFolder({});
    setMainFile({});
    setVersion({});
    setNotes({});
    setFormatting({});
    setModified(false);
}

// The lists are emptied here at once and freed on a worker; reset() then tells every view.
void Project::releaseListsOnWorker()
{
    ProjectData lists;
    lists.developers = std::exchange(m_data.developers, {});
    lists.copies = std::exchange(m_data.copies, {});
    lists.uploads = std::exchange(m_data.uploads, {});
    lists.todos = std::exchange(m_data.todos, {});
    releaseOnWorker(std::move(lists));
}

void Project::replace(ProjectData data)
{
    // Emptied first, then filled in file order, so each change reaction sees the new project
    // only: the listing never walks the old folder with the new "include subfolders".
    const QScopedValueRollback<bool> untracked(m_trackingEdits, false);
    releaseListsOnWorker();
    reset();
    setPath(data.path);
    setBackupFolder(data.backupFolder);
    setProjectFolder(data.projectFolder);
    setName(data.name);
    setVersion(data.version);
    setMainFile(data.mainFile);
    setIncludeSubfolders(data.includeSubfolders);
    setZipWithFolderNames(data.zipWithFolderNames);
    setDevelopers(std::move(data.developers));
    setTempExtensions(std::move(data.tempExtensions));
    setCopies(std::move(data.copies));
    setZipFolders(std::move(data.zipFolders));
    setUploads(std::move(data.uploads));
    setTools(std::move(data.tools));
    setDescription(data.description);
    setTodos(std::move(data.todos));
    setLicense(data.license);
    setNotes(data.notes);
    setModified(false);
}
