#include "timetext.h"

#include <QTime>

#include <cstdlib>

namespace {

// The locale's long time format as a duration format: without the time zone
// ("t"), without AM/PM ("AP", "ap", "A", "a"), and with the hours on the
// 24-hour clock without a leading zero ("0:19:59"), which also keeps the
// exam clock within its label. Quoted literals are kept as they are.
QString durationFormat(const QString &format)
{
    QString out;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format.at(i);
        if (c == QLatin1Char('\'')) {
            const qsizetype end = format.indexOf(QLatin1Char('\''), i + 1);
            const qsizetype last = end < 0 ? format.size() - 1 : end;
            out += format.mid(i, last - i + 1);
            i = last;
        } else if (c == QLatin1Char('t')) {
            continue;
        } else if (c == QLatin1Char('a') || c == QLatin1Char('A')) {
            if (i + 1 < format.size() && format.at(i + 1).toLower() == QLatin1Char('p'))
                ++i;
        } else if (c == QLatin1Char('h') || c == QLatin1Char('H')) {
            while (i + 1 < format.size() && format.at(i + 1).toLower() == QLatin1Char('h'))
                ++i;
            out += QLatin1Char('H');
        } else {
            out += c;
        }
    }
    out = out.trimmed();
    return out.isEmpty() ? QStringLiteral("H:mm:ss") : out;
}

} // namespace

QString longTimeText(int seconds, const QLocale &locale)
{
    const int magnitude = std::abs(seconds) % (24 * 3600);
    return locale.toString(QTime(0, 0).addSecs(magnitude),
                           durationFormat(locale.timeFormat(QLocale::LongFormat)));
}
