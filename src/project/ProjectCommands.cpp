#include "project/ProjectCommands.h"

#include "platform/Prompts.h"
#include "project/FormattingFile.h"
#include "project/Project.h"
#include "project/ProjectFile.h"
#include "project/RecentProjects.h"

#include <QFileInfo>

ProjectCommands::ProjectCommands(Project &project, RecentProjects &recent, Prompts &prompts, QObject *parent)
    : QObject(parent), m_project(project), m_recent(recent), m_prompts(prompts)
{
}

void ProjectCommands::newProject()
{
    m_project.reset();
    Q_EMIT documentReplaced();
}

void ProjectCommands::load(const QString &path)
{
    beginLoad(path);
    finishLoad(readForLoad(path));
}

void ProjectCommands::beginLoad(const QString &path)
{
    m_recent.remember(path);
}

ProjectData ProjectCommands::readForLoad(const QString &path, ChoreProgress *progress) const
{
    ProjectData data = ProjectFile::read(path, progress);
    data.path = path;
    m_project.arrangeAsLoaded(data);
    return data;
}

void ProjectCommands::finishLoad(ProjectData data)
{
    DocumentFormatting formatting = FormattingFile::read(data.path);
    m_project.replaceLoaded(std::move(data));
    m_project.setFormatting(std::move(formatting));
    Q_EMIT documentReplaced();
    Q_EMIT loaded();
}

bool ProjectCommands::save()
{
    if (m_project.data().path.isEmpty()) {
        const std::optional<QString> chosen = m_prompts.saveFile(QStringLiteral("Project (*.dev)"));
        if (!chosen || chosen->isEmpty())
            return false;
        QString path = *chosen;
        if (!QFileInfo(path).fileName().contains(QLatin1Char('.')))
            path += QStringLiteral(".dev");
        m_project.setPath(path);
    }
    Q_EMIT aboutToSave();
    m_project.collectFormatting();
    ProjectFile::write(m_project.data().path, m_project.data());
    FormattingFile::write(m_project.data().path, m_project.formatting());
    m_project.setModified(false);
    Q_EMIT saved();
    return true;
}

bool ProjectCommands::saveAs()
{
    m_project.setPath(QString());
    return save();
}

bool ProjectCommands::settleUnsavedChanges()
{
    if (!m_project.isModified())
        return true;
    const ProjectData &data = m_project.data();
    QString name = data.name;
    if (name.isEmpty())
        name = data.path.isEmpty() ? QStringLiteral("Untitled") : QFileInfo(data.path).fileName();
    switch (m_prompts.saveChanges(QStringLiteral("Save changes to %1?").arg(name))) {
    case SaveChoice::Save:
        return save();
    case SaveChoice::Discard:
        return true;
    case SaveChoice::Cancel:
        break;
    }
    return false;
}
