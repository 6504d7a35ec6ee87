#pragma once

#include "project/Records.h"

#include <QTemporaryDir>

// Copy pairs of `file` into `dir`/out: a first and a last good pair around one spoiled the way
// `spoil` names ("missing source", "blocked folder" where the file "plain" stands in the way,
// "relative target", "empty target"), or none for any other word.
inline QList<CopyEntry> spoiledCopies(const QTemporaryDir &dir, const QString &file, const QString &spoil)
{
    QList<CopyEntry> copies{{file, dir.filePath(QStringLiteral("out/first.txt"))}};
    if (spoil == QLatin1String("missing source"))
        copies.append({dir.filePath(QStringLiteral("proj/gone.txt")), dir.filePath(QStringLiteral("out/gone/gone.txt"))});
    if (spoil == QLatin1String("blocked folder"))
        copies.append({file, dir.filePath(QStringLiteral("plain/sub/a.txt"))});
    if (spoil == QLatin1String("relative target"))
        copies.append({file, QStringLiteral("out/a.txt")});
    if (spoil == QLatin1String("empty target"))
        copies.append({file, QString()});
    copies.append({file, dir.filePath(QStringLiteral("out/last.txt"))});
    return copies;
}
