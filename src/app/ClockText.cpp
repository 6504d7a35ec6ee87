#include "app/ClockText.h"

#include <QRegularExpression>

QString clockText(const QDateTime &now, const QLocale &locale)
{
    // The short time format keeps AM/PM where the locale uses it; some locales show seconds
    // in it too, which go with their separator.
    QString format = locale.timeFormat(QLocale::ShortFormat);
    static const QRegularExpression zone(QStringLiteral("\\s*t+\\s*"));
    static const QRegularExpression seconds(QStringLiteral("[^\\w\\s']?s{1,2}"));
    format = format.replace(zone, QStringLiteral(" ")).remove(seconds).trimmed();
    return locale.toString(now.time(), format) + QStringLiteral(" --- ")
           + locale.toString(now.date(), QLocale::ShortFormat);
}
