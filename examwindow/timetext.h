#pragma once

#include <QLocale>
#include <QString>

// A span of whole seconds in the locale's long time format (hours, minutes,
// seconds), without the time-zone part: "0:19:59" or "00:19:59" by locale.
// The span is a duration, so a 12-hour format is shown on the 24-hour clock
// (no "AM"). A negative span is shown by its magnitude.
QString LongTimeText(int seconds, const QLocale &locale = QLocale());
