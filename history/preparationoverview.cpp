#include "preparationoverview.h"

#include "mistakeslist.h"
#include "questionprogress.h"
#include "reviewschedule.h"

PreparationOverview PreparationOverview::compute(const QList<AnswerOutcome> &answers,
                                                 const QDateTime &now, const QTimeZone &zone,
                                                 const LearnerModel &model)
{
    const QuestionProgressTable table = QuestionProgressTable::fromAnswers(answers, model.weights);
    const QDate today = now.toTimeZone(zone).date();
    const qint64 todayEnd = DailySeries::dayEndMs(today, zone);

    PreparationOverview o;
    o.readiness = Readiness::compute(table, now.toMSecsSinceEpoch(), model);
    o.studyNext = StudyNext::choose(o.readiness.pRight);
    o.answeredQuestions = table.answeredCount();
    o.mistakesCount = MistakesList::count(table);
    o.mistakesBatch = MistakesList::questions(table);
    o.dueTodayCount = ReviewSchedule::dueCount(table, todayEnd);
    o.dueBatch = ReviewSchedule::dueQuestions(table, todayEnd);
    o.lastDays = DailySeries::activity(answers, today.addDays(1 - ChartDays), today, zone);
    return o;
}

PreparationOverview PreparationOverview::load(const AnswerHistory &history,
                                              const QString &fingerprint, const QDateTime &now,
                                              const QTimeZone &zone, const LearnerModel &model)
{
    return compute(history.outcomes(fingerprint), now, zone, model);
}
