#include "project/ProjectCommands.h"

#include "platform/Prompts.h"
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
    m_project.replaceLoaded(std::move(data));
    Q_EMIT documentReplaced();
    Q_EMIT loaded();
}

void ProjectCommands::save()
{
    if (m_project.data().path.isEmpty()) {
        const std::optional<QString> chosen = m_prompts.saveFile(QStringLiteral("Project (*.dev)"));
        if (!chosen || chosen->isEmpty())
            return;
        QString path = *chosen;
        if (!QFileInfo(path).fileName().contains(QLatin1Char('.')))
            path += QStringLiteral(".dev");
        m_project.setPath(path);
    }
    ProjectFile::write(m_project.data().path, m_project.data());
}

void ProjectCommands::saveAs()
{
    m_project.setPath(QString());
    save();
}
