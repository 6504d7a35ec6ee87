#pragma once

// Large files for the zip tests, made quickly.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QString>

#include <algorithm>

// A file of random bytes, which compresses slowly and not at all, written a MiB at a time;
// false when it could not be written.
inline bool writeRandomFile(const QString &path, qint64 size, quint32 seed = 7)
{
    QFile file(path);
    if (!QDir().mkpath(QFileInfo(path).path()) || !file.open(QIODevice::WriteOnly))
        return false;
    QByteArray block(1 << 20, Qt::Uninitialized);
    QRandomGenerator random(seed);
    for (qint64 left = size; left > 0; left -= block.size()) {
        random.fillRange(reinterpret_cast<quint32 *>(block.data()), block.size() / 4);
        const qint64 count = std::min<qint64>(left, block.size());
        if (file.write(block.constData(), count) != count)
            return false;
    }
    return file.flush();
}
