#include "housekeeping/ui/FunctionsCommands.h"

#include "workspace/Workspace.h"
#include "widgets/Frame.h"
#include "widgets/PageContext.h"
#include "housekeeping/BackupProject.h"
#include "housekeeping/BackupsToKeep.h"
#include "chores/ChoreEndMessage.h"
#include "housekeeping/CopyEntries.h"
#include "housekeeping/ZipFolder.h"
#include "platform/Prompts.h"

#include <QDate>
#include <QDir>
#include <QLocale>

FunctionsCommands::FunctionsCommands(const PageContext &context, QObject *parent)
    : QObject(parent), m_project(context.workspace.project), m_prompts(context.prompts), m_frame(context.frame),
      m_settingsFolder(context.workspace.appDataFolder)
{
    m_frame.bindCommand("Copyfiles1", [this] { copyFiles(); });
    m_frame.bindCommand("Zipfolders1", [this] { zipFolders(); });
    m_frame.bindCommand("FirstCopythenzip1", [this] { copyThenZip(); });
    m_frame.bindCommand("Backuptheproject1", [this] { backup(); });
}

void FunctionsCommands::copyFiles()
{
    m_frame.runChore(
        QStringLiteral("Copying files"),
        [copies = m_project.data().copies, reach = ChoreReach(m_project.data().path)](ChoreProgress &progress) {
            copyEntries(copies, progress, reach);
        },
        [this](const ChoreReport &done) { tellChoreEnd(m_prompts, done, {QStringLiteral("copied")}); });
}

void FunctionsCommands::zipFolders()
{
    m_frame.runChore(
        QStringLiteral("Zipping folders"),
        [folders = m_project.data().zipFolders, withNames = m_project.data().zipWithFolderNames,
         reach = ChoreReach(m_project.data().path)](ChoreProgress &progress) {
            ::zipFolders(folders, withNames, progress, reach);
        },
        [this](const ChoreReport &done) { tellChoreEnd(m_prompts, done, {QStringLiteral("zipped")}); });
}

void FunctionsCommands::copyThenZip()
{
    const ProjectData &data = m_project.data();
    m_frame.runChore(
        QStringLiteral("Copying files, then zipping folders"),
        [copies = data.copies, folders = data.zipFolders, withNames = data.zipWithFolderNames,
         reach = ChoreReach(data.path)](ChoreProgress &progress) {
            if (copyBeforeZip(copies, progress, reach))
                ::zipFolders(folders, withNames, progress, reach);
        },
        [this](const ChoreReport &done) { tellChoreEnd(m_prompts, done, {QStringLiteral("copied or zipped")}); });
}

void FunctionsCommands::backup()
{
    const ProjectData &data = m_project.data();
    const BackupSettings settings{data.name, data.projectFolder, data.backupFolder, data.includeSubfolders,
                                  BackupsToKeep::load(m_settingsFolder), data.path};
    const QString stamp = backupDateStamp(QDate::currentDate(), QLocale::system());
    const QString target = QDir::toNativeSeparators(backupTarget(settings, stamp));
    m_frame.runChore(
        QStringLiteral("Backing up the project"),
        [settings, stamp](ChoreProgress &progress) { backupProject(settings, stamp, progress); },
        [this, target](const ChoreReport &done) {
            tellChoreEnd(m_prompts, done,
                         {QStringLiteral("backed up"), {}, QStringLiteral("Finished: backed up to \"%1\".").arg(target)});
        });
}
