#pragma once

#include "answerrecord.h"
#include "learnermodel.h"

#include <QDate>
#include <QList>
#include <QTimeZone>

// Per-day series over the history, by the learner's calendar days in `zone`.
namespace DailySeries {

struct DayActivity
{
    QDate date;
    int answers = 0;     // every answer of the day, corrections included
    int right = 0;       // first answers (not corrections) that were right
    int corrections = 0; // see AnswerOutcome::correction
    // Of the first answers, the share right: a correction after the comment
    // says nothing of what the learner knew. 0 on a day without first
    // answers (the chart shows no point there).
    double shareRight() const
    {
        const int first = answers - corrections;
        return first > 0 ? double(right) / first : 0.0;
    }
    friend bool operator==(const DayActivity &, const DayActivity &) = default;
};

struct DayReadiness
{
    QDate date;
    double passProbability = 0;
};

// The first and the last millisecond of `date` in `zone`.
qint64 dayStartMs(const QDate &date, const QTimeZone &zone);
qint64 dayEndMs(const QDate &date, const QTimeZone &zone);

// Answers and right answers on each day from `from` to `to` inclusive (one
// entry per day, also for days without answers). `answers` in any order.
QList<DayActivity> activity(const QList<AnswerOutcome> &answers, const QDate &from, const QDate &to,
                            const QTimeZone &zone);

// The exam readiness as of the end of each day from `from` to `to`,
// recomputed from the answers up to then. `answers` oldest first. Costs one
// replay of the history plus one readiness per day.
QList<DayReadiness> readiness(const QList<AnswerOutcome> &answers, const QDate &from,
                              const QDate &to, const QTimeZone &zone,
                              const LearnerModel &model = {});

} // namespace DailySeries
