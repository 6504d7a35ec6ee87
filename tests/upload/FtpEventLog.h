#pragma once

#include "upload/FtpClient.h"

#include <QList>
#include <QStringList>
#include <QTimer>

// Records a client's status and work events in the order they came.
class FtpEventLog
{
public:
    explicit FtpEventLog(FtpClient &client)
    {
        QObject::connect(&client, &FtpClient::status, &m_context, [this](FtpClient::StatusKind kind, const QString &text) {
            kinds.append(kind);
            statuses.append(text);
        });
        QObject::connect(&client, &FtpClient::workBegin, &m_context, [this](FtpClient::WorkMode mode, qint64 total) {
            work.append(QStringLiteral("begin %1 %2").arg(int(mode)).arg(total));
        });
        QObject::connect(&client, &FtpClient::work, &m_context, [this](FtpClient::WorkMode mode, qint64 count) {
            work.append(QStringLiteral("work %1").arg(int(mode)));
            counts.append(count);
        });
        QObject::connect(&client, &FtpClient::workEnd, &m_context, [this](FtpClient::WorkMode mode) {
            work.append(QStringLiteral("end %1").arg(int(mode)));
        });
    }

    // The work events of one upload of `size` bytes: begin with the size, counts that grow
    // to the size, end.
    bool isUploadOf(qint64 size) const
    {
        const QString write = QString::number(int(FtpClient::WorkMode::Write));
        if (work.size() != counts.size() + 2 || work.first() != QStringLiteral("begin %1 %2").arg(write).arg(size)
            || work.last() != QStringLiteral("end ") + write)
            return false;
        for (qsizetype i = 0; i < counts.size(); ++i) {
            if (work.at(i + 1) != QStringLiteral("work ") + write || counts.at(i) <= (i > 0 ? counts.at(i - 1) : 0))
                return false;
        }
        return counts.value(counts.size() - 1, 0) == size;
    }

    QList<FtpClient::StatusKind> kinds;
    QStringList statuses;
    QStringList work;
    QList<qint64> counts;

private:
    QObject m_context;
};

// Counts the ticks of a fast timer: proof that the event loop ran while the client waited.
class TickCounter
{
public:
    TickCounter()
    {
        QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this] { ++ticks; });
        m_timer.start(20);
    }
    int ticks = 0;

private:
    QTimer m_timer;
};
