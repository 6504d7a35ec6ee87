#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

// A file or folder the zip walk meets, as the file system tells it. Read with its name taken
// byte for byte (see FileNameBytes), which QFileInfo cannot do for names that are not UTF-8,
// so such files are zipped like any other.
struct ZipSourceFile
{
    QString path;
    bool exists = false;
    bool isLink = false; // the entry itself is a link
    // What the entry is, or leads to when it is a link.
    bool isFolder = false;
    bool isFile = false;
    qint64 size = 0;
    QDateTime modified; // local time
    bool writableByOwner = true;
    // For a link or a folder, the path with every link resolved; empty when it leads nowhere
    // or round in a loop, and for anything else (see realPathOf).
    QString realPath;
    // What a link names, as it stands.
    QString linkTarget;
    // For what is neither file nor folder: "a named pipe", "a socket", "a device"; empty else.
    QString otherKind;

    static ZipSourceFile of(const QString &path);
    // The path with every link resolved; empty when it leads nowhere.
    static QString realPathOf(const QString &path);
    QString fileName() const;
    // Hidden as the platform has it: on Linux a name that begins with ".".
    bool isHidden() const;

    // The names in a folder ("." and ".." left out), in the order the file system lists them;
    // `unreadable` gets the system's reason when the folder cannot be read.
    static QStringList namesIn(const QString &folder, QString &unreadable);
};
