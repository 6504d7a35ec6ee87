#pragma once

#include "project/ProjectFile.h"

#include <QDateTime>
#include <QDirIterator>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QtTest>

// What one run of the real trovas-cli gave.
struct CliResult
{
    int status = -1;
    QByteArray out;
    QByteArray err;
};

// Runs the built trovas-cli with the test's environment, in `workingFolder` when one is given;
// standard output and error are pipes, not terminals.
inline CliResult runCli(const QStringList &arguments, const QString &workingFolder = {})
{
    QProcess process;
    process.setWorkingDirectory(workingFolder);
    process.start(QStringLiteral(TROVAS_CLI), arguments);
    if (!process.waitForFinished(120000))
        qFatal("trovas-cli did not end");
    if (process.exitStatus() != QProcess::NormalExit)
        qFatal("trovas-cli crashed");
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

// Writes a project file through the program's own writer; returns its path.
inline QString writeProject(const QString &path, const ProjectData &data)
{
    ProjectFile::write(path, data);
    return path;
}

// Every file and folder below `root` with its size and modification time, to show that a run
// changed nothing.
inline QMap<QString, QString> treeState(const QString &root)
{
    QMap<QString, QString> state;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        state.insert(info.filePath(), QStringLiteral("%1 %2").arg(info.size()).arg(
                                          info.lastModified().toMSecsSinceEpoch()));
    }
    return state;
}
