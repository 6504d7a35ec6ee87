#pragma once

#include <QList>
#include <QString>

// One entry of a remote folder's listing: a file with its size, or a folder.
struct RemoteEntry
{
    QString name;
    qint64 size = 0;
    bool folder = false;

    bool operator==(const RemoteEntry &) const = default;
};

// The entries of an MLSD reply (RFC 3659: "fact=value;...; name" a line). The folder itself,
// its parent and entries of other types (links the server reports as such) are left out.
QList<RemoteEntry> parseMachineListing(const QString &text);

// The entries of a LIST reply in the Unix form most servers give ("-rw-r--r-- 1 o g 1234 Jan 1
// 12:00 name"), for servers that know no MLSD. Lines of any other form, links and "." and ".."
// are left out.
QList<RemoteEntry> parseUnixListing(const QString &text);
