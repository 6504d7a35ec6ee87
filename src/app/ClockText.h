#pragma once

#include <QDateTime>
#include <QLocale>

// The status bar clock: the long time format without its time zone and its last three
// characters (the seconds), " --- ", and the short date.
QString clockText(const QDateTime &now, const QLocale &locale);
