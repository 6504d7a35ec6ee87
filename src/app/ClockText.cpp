#include "app/ClockText.h"

#include <QRegularExpression>

QString clockText(const QDateTime &now, const QLocale &locale)
{
    // The short time format is the long one without seconds, and keeps AM/PM where the locale
    // uses it.
    QString format = locale.timeFormat(QLocale::ShortFormat);
    static const QRegularExpression zone(QStringLiteral("\\s*t+\\s*"));
    format = format.replace(zone, QStringLiteral(" ")).trimmed();
    return locale.toString(now.time(), format) + QStringLiteral(" --- ")
           + locale.toString(now.date(), QLocale::ShortFormat);
}
