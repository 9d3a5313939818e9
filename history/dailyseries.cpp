#include "dailyseries.h"

#include "questionprogress.h"
#include "readiness.h"

#include <algorithm>
#include <vector>

qint64 DailySeries::dayStartMs(const QDate &date, const QTimeZone &zone)
{
    return date.startOfDay(zone).toMSecsSinceEpoch();
}

qint64 DailySeries::dayEndMs(const QDate &date, const QTimeZone &zone)
{
    return date.addDays(1).startOfDay(zone).toMSecsSinceEpoch() - 1;
}

QList<DailySeries::DayActivity> DailySeries::activity(const QList<AnswerOutcome> &answers,
                                                      const QDate &from, const QDate &to,
                                                      const QTimeZone &zone)
{
    QList<DayActivity> days;
    if (!from.isValid() || !to.isValid() || to < from)
        return days;
    // starts[i]: the first millisecond of day i; starts.back(): just after `to`.
    std::vector<qint64> starts;
    for (QDate d = from; d <= to; d = d.addDays(1)) {
        days.append(DayActivity{d});
        starts.push_back(dayStartMs(d, zone));
    }
    starts.push_back(dayEndMs(to, zone) + 1);
    for (const AnswerOutcome &a : answers) {
        const auto after = std::upper_bound(starts.begin(), starts.end(), a.answeredAtMs);
        if (after == starts.begin() || after == starts.end())
            continue;
        DayActivity &day = days[std::distance(starts.begin(), after) - 1];
        ++day.answers;
        day.corrections += a.correction ? 1 : 0;
        day.right += a.right && !a.correction ? 1 : 0;
    }
    return days;
}

QList<DailySeries::DayReadiness> DailySeries::readiness(const QList<AnswerOutcome> &answers,
                                                        const QDate &from, const QDate &to,
                                                        const QTimeZone &zone,
                                                        const LearnerModel &model)
{
    QList<DayReadiness> days;
    if (!from.isValid() || !to.isValid() || to < from)
        return days;
    QuestionProgressTable table(model.weights);
    auto next = answers.cbegin();
    for (QDate d = from; d <= to; d = d.addDays(1)) {
        const qint64 end = dayEndMs(d, zone);
        for (; next != answers.cend() && next->answeredAtMs <= end; ++next)
            table.apply(*next);
        days.append(DayReadiness{d, Readiness::compute(table, end, model).passProbability});
    }
    return days;
}
