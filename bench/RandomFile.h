#pragma once

#include <QByteArray>
#include <QFile>
#include <QRandomGenerator>
#include <QString>

#include <algorithm>

// A file of `size` random bytes, which no compression along the way can shrink; returns its path.
inline QString makeRandomFile(const QString &path, qint64 size)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot create %s", qPrintable(path));
    QByteArray block(1 << 20, Qt::Uninitialized);
    for (qint64 left = size; left > 0; left -= block.size()) {
        QRandomGenerator::global()->fillRange(reinterpret_cast<quint32 *>(block.data()), block.size() / 4);
        file.write(block.constData(), std::min<qint64>(left, block.size()));
    }
    return path;
}
