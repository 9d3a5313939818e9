#pragma once

#include "answerhistory.h"
#include "dailyseries.h"
#include "readiness.h"
#include "studynext.h"

#include <QDateTime>
#include <QList>
#include <QTimeZone>

// Everything the "Моя подготовка" window shows at a glance, computed in one
// pass from a database's whole history.
struct PreparationOverview
{
    static constexpr int ChartDays = 30;

    Readiness::ExamReadiness readiness;
    int answeredQuestions = 0;
    int mistakesCount = 0;
    QList<int> mistakesBatch; // the next "Работа над ошибками", up to 20
    int dueTodayCount = 0;
    QList<int> dueBatch;                      // the next "Повторение", up to 20
    StudyNext::Choice studyNext;              // the next "Что учить дальше"
    QList<DailySeries::DayActivity> lastDays; // ChartDays days, ending today

    // From `answers` (oldest first) as of `now`; "today" is now's date in `zone`.
    static PreparationOverview compute(const QList<AnswerOutcome> &answers, const QDateTime &now,
                                       const QTimeZone &zone, const LearnerModel &model = {});
    static PreparationOverview load(const AnswerHistory &history, const QString &fingerprint,
                                    const QDateTime &now, const QTimeZone &zone,
                                    const LearnerModel &model = {});
};
