#pragma once

#include <QDir>
#include <QFile>
#include <QString>

// The benchmarks' tree of 100,000 empty files in 5,000 folders: 50 top folders of 99
// subfolders each, 20 files in every folder, one in ten a ".tmp".
namespace FileTree {

constexpr int kTopFolders = 50;
constexpr int kSubfoldersEach = 99;
constexpr int kFilesPerFolder = 20;

inline void fillFolder(const QString &folder)
{
    QDir().mkpath(folder);
    for (int i = 0; i < kFilesPerFolder; ++i) {
        const QString suffix = i % 10 == 0 ? QStringLiteral(".tmp") : QStringLiteral(".cpp");
        QFile file(folder + QStringLiteral("/file%1").arg(i) + suffix);
        if (!file.open(QIODevice::WriteOnly))
            qFatal("cannot create %s", qPrintable(file.fileName()));
    }
}

inline void build(const QString &root)
{
    for (int top = 0; top < kTopFolders; ++top) {
        const QString folder = root + QStringLiteral("/top%1").arg(top);
        fillFolder(folder);
        for (int sub = 0; sub < kSubfoldersEach; ++sub)
            fillFolder(folder + QStringLiteral("/sub%1").arg(sub));
    }
}

} // namespace FileTree
