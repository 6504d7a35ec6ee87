#pragma once

#include <QDateTime>
#include <QLocale>

// The status bar clock: the time in the locale's short format (hours and minutes, with AM/PM
// where the locale uses it) without a time zone, " --- ", and the short date.
QString clockText(const QDateTime &now, const QLocale &locale);
