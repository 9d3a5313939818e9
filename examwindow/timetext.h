#pragma once

#include <QLocale>
#include <QString>

// A span of whole seconds in the locale's long time format (hours, minutes,
// seconds, with the locale's separators), without the time-zone part:
// "0:19:59". The span is a duration, so the hours are counted, not a clock
// reading: no AM/PM and no leading zero. A negative span is shown by its
// magnitude.
QString longTimeText(int seconds, const QLocale &locale = QLocale());
