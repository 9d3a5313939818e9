#include "statisticsmodel.h"

#include "statrecord.h"

bool filterIncludesMode(ModeFilter filter, int mode)
{
    switch (filter) {
    case ModeFilter::All:
        return true;
    case ModeFilter::Learning:
        return mode == StatMode::Learning;
    case ModeFilter::Training:
        return mode == StatMode::Training;
    case ModeFilter::Exam:
        return mode == StatMode::Exam;
    }
    return false;
}

AnswerTotals questionTotals(const StatRecord &record, int ticket, int question, ModeFilter filter)
{
    const QuestionStats stats = record.questionStats(ticket, question);
    AnswerTotals totals;
    for (int mode = 0; mode < StatMode::Count; ++mode) {
        if (!filterIncludesMode(filter, mode))
            continue;
        totals.seconds += stats.seconds[mode];
        totals.correct += stats.correct[mode];
        totals.wrong += stats.wrong[mode];
    }
    return totals;
}

TicketRatings computeTicketRatings(const StatRecord &record, ModeFilter filter)
{
    TicketRatings result;
    for (int ticket = 1; ticket <= 40; ++ticket) {
        AnswerTotals &totals = result.totals[ticket];
        for (int question = 1; question <= 20; ++question) {
            const AnswerTotals q = questionTotals(record, ticket, question, filter);
            totals.seconds += q.seconds;
            totals.correct += q.correct;
            totals.wrong += q.wrong;
        }
        double rating = 0.0;
        if (totals.seconds != 0)
            rating = double(totals.correct - totals.wrong) / double(totals.seconds);
        result.rating[ticket] = rating < 0.0 ? 0.0 : rating;
    }

    for (int ticket = 1; ticket <= 40; ++ticket) {
        const double rating = result.rating[ticket];
        if (rating > result.bestValue) {
            result.bestValue = rating;
            result.bestTicket = ticket;
        }
        if (rating != 0.0 && rating < result.worstValue) {
            result.worstValue = rating;
            result.worstTicket = ticket;
        }
    }
    return result;
}
