#include "app/ClockText.h"

#include <QRegularExpression>

QString clockText(const QDateTime &now, const QLocale &locale)
{
    QString format = locale.timeFormat(QLocale::LongFormat);
    static const QRegularExpression zone(QStringLiteral("\\s*t+\\s*"));
    format = format.replace(zone, QStringLiteral(" ")).trimmed();
    const QString time = locale.toString(now.time(), format);
    return time.left(time.size() - 3) + QStringLiteral(" --- ")
           + locale.toString(now.date(), QLocale::ShortFormat);
}
