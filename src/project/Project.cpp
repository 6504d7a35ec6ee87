#include "project/Project.h"

#include "project/ColumnSort.h"
#include "todolist/Todos.h"

#include <QCollator>

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

void Project::setText(QString ProjectData::*field, const QString &value)
{
    if (m_data.*field == value)
        return;
    m_data.*field = value;
    Q_EMIT settingsChanged();
}

void Project::setName(const QString &name)
{
    if (m_data.name == name)
        return;
    m_data.name = name;
    Q_EMIT settingsChanged();
    Q_EMIT nameChanged(name);
}

void Project::setProjectFolder(const QString &folder)
{
    if (m_data.projectFolder == folder)
        return;
    m_data.projectFolder = folder;
    Q_EMIT settingsChanged();
    Q_EMIT projectFolderChanged(folder);
}

void Project::setIncludeSubfolders(bool include)
{
    if (m_data.includeSubfolders == include)
        return;
    m_data.includeSubfolders = include;
    Q_EMIT settingsChanged();
    Q_EMIT includeSubfoldersChanged(include);
}

void Project::setZipWithFolderNames(bool include)
{
    if (m_data.zipWithFolderNames == include)
        return;
    m_data.zipWithFolderNames = include;
    Q_EMIT settingsChanged();
}

void Project::setVersion(const QString &version) { setText(&ProjectData::version, version); }
void Project::setBackupFolder(const QString &folder) { setText(&ProjectData::backupFolder, folder); }
void Project::setMainFile(const QString &file) { setText(&ProjectData::mainFile, file); }
void Project::setPath(const QString &path) { m_data.path = path; }

void Project::setDevelopers(QList<DeveloperEntry> developers)
{
    assignUids(developers);
    m_data.developers = std::move(developers);
    Q_EMIT listChanged(ProjectList::Developers);
}

void Project::setTempExtensions(QStringList extensions)
{
    sortIgnoringCase(extensions);
    m_data.tempExtensions = std::move(extensions);
    Q_EMIT listChanged(ProjectList::TempExtensions);
}

void Project::setCopies(QList<CopyEntry> copies)
{
    assignUids(copies);
    m_data.copies = std::move(copies);
    Q_EMIT listChanged(ProjectList::Copies);
}

void Project::setZipFolders(QStringList folders)
{
    sortIgnoringCase(folders);
    m_data.zipFolders = std::move(folders);
    Q_EMIT listChanged(ProjectList::ZipFolders);
}

void Project::setUploads(QList<UploadEntry> uploads)
{
    assignUids(uploads);
    m_data.uploads = std::move(uploads);
    Q_EMIT listChanged(ProjectList::Uploads);
}

void Project::setTools(QStringList tools)
{
    sortIgnoringCase(tools);
    m_data.tools = std::move(tools);
    Q_EMIT listChanged(ProjectList::Tools);
}

void Project::setDescription(const QStringList &lines)
{
    m_data.description = lines;
    Q_EMIT listChanged(ProjectList::Description);
}

void Project::setTodos(QList<TodoItem> todos)
{
    assignUids(todos);
    m_data.todos = std::move(todos);
    Q_EMIT listChanged(ProjectList::Todos);
}

void Project::setLicense(const QStringList &lines)
{
    m_data.license = lines;
    Q_EMIT listChanged(ProjectList::License);
}

void Project::setNotes(const QStringList &lines)
{
    m_data.notes = lines;
    Q_EMIT listChanged(ProjectList::Notes);
}

void Project::sortList(ProjectList list, int key)
{
    m_sortKeys[static_cast<size_t>(list)] = key;
    switch (list) {
    case ProjectList::Developers: {
        auto rows = m_data.developers;
        ColumnSort::sortByFields(rows, key);
        setDevelopers(std::move(rows));
        break;
    }
    case ProjectList::Copies: {
        auto rows = m_data.copies;
        ColumnSort::sortByFields(rows, key);
        setCopies(std::move(rows));
        break;
    }
    case ProjectList::Uploads: {
        auto rows = m_data.uploads;
        ColumnSort::sortByFields(rows, key);
        setUploads(std::move(rows));
        break;
    }
    case ProjectList::Todos: {
        auto rows = m_data.todos;
        Todos::sort(rows, key);
        setTodos(std::move(rows));
        break;
    }
    default:
        break;
    }
}

void Project::reset()
{
    replace(ProjectData{});
}

void Project::replace(ProjectData data)
{
    m_data.path = data.path;
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
    setName(data.name);
    setBackupFolder(data.backupFolder);
    setProjectFolder(data.projectFolder);
    setMainFile(data.mainFile);
    setVersion(data.version);
    setNotes(data.notes);
}
