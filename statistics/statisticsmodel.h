#pragma once

#include <QtGlobal>

#include <array>

class StatRecord;

// Which mode indices of the counters the statistics sum: all three, or one.
// Learning and preparation share index 0, so "Learning" covers both.
enum class ModeFilter
{
    All,
    Learning,
    Training,
    Exam
};

bool filterIncludesMode(ModeFilter filter, int mode);

// Seconds and answers summed over the filter's modes. Seconds are 64-bit:
// three signed 32-bit counters per question over 20 questions can exceed the
// 32-bit range.
struct AnswerTotals
{
    qint64 seconds = 0;
    int correct = 0;
    int wrong = 0;
    friend bool operator==(const AnswerTotals &, const AnswerTotals &) = default;
};

AnswerTotals questionTotals(const StatRecord &record, int ticket, int question, ModeFilter filter);

// Totals and ratings of all 40 tickets, indexed 1..40 (slot 0 unused).
//
// The rating of a ticket is (correct - wrong) / seconds, the difference taken
// in integers and divided in floating point; 0 when no second was spent, and
// never below 0. The best ticket has the largest rating; the worst the
// smallest rating that is not 0 and below 9999. Both comparisons are strict
// in ascending ticket order, so on a tie the lower number wins. A ticket
// number of 0 means none.
struct TicketRatings
{
    static constexpr double WorstStart = 9999.0;

    std::array<AnswerTotals, 41> totals{};
    std::array<double, 41> rating{};
    double bestValue = 0.0;
    double worstValue = WorstStart;
    int bestTicket = 0;
    int worstTicket = 0;

    // The rating in percent of the best one; only meaningful when
    // bestValue != 0.
    double percentOfBest(int ticket) const { return rating[ticket] / bestValue * 100.0; }
};

TicketRatings computeTicketRatings(const StatRecord &record, ModeFilter filter);
