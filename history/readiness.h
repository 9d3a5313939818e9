#pragma once

#include "questionprogress.h"

#include <QList>
#include <QString>

#include <array>
#include <span>

// Exam readiness: the chance of passing the exam on a random ticket, that is
// answering its 20 questions with at most two errors.
//
// Each question is answered right with probability p, its retrievability now
// from its memory state; the errors of a ticket are independent Bernoulli
// (1 - p) trials, so their count is Poisson-binomial. Only "0, 1, 2 or more"
// matters, so a dynamic programme over the questions that keeps those four
// probabilities gives the exact P(errors <= 2) in 3 steps per question. It
// is written here because it is that one loop; a general Poisson-binomial
// library (FFT or full DP) would compute a distribution we throw away.
namespace Readiness {

// A question never answered counts as right with this probability: as likely
// right as wrong. It lies between a blind guess among the 2 to 5 variants and
// what common sense gives a learner who has never seen the question, and it
// keeps the readiness near zero (about 0.02 % per ticket) until most of the
// bank has been practised, which is the honest answer.
inline constexpr double UnansweredPrior = 0.5;
inline constexpr int MaxErrors = 2;
inline constexpr int TicketCount = 40;
inline constexpr int QuestionsPerTicket = 20;

// P(errors = 0), P(= 1), P(= 2), P(> 2) for independent questions answered
// right with the probabilities `pRight`.
struct ErrorCounts
{
    std::array<double, MaxErrors + 2> probability{1.0, 0.0, 0.0, 0.0};
    double atMostMaxErrors() const { return probability[0] + probability[1] + probability[2]; }
};
ErrorCounts errorCounts(std::span<const double> pRight);

struct ExamReadiness
{
    double passProbability = 0; // the mean of ticketPass
    std::array<double, TicketCount> ticketPass{};
    // Tickets by ascending chance of passing (ties by number): what lowers the
    // readiness most comes first.
    QList<int> weakestTickets;
    int neverAnswered = 0;
};

// From the chance of a right answer of every question, 1..800 in order.
ExamReadiness fromProbabilities(std::span<const double> pRight, int neverAnswered);
// From the memory states at `nowMs`.
ExamReadiness compute(const QuestionProgressTable &table, qint64 nowMs);

// A plain-Russian account of the readiness: what the percentage means and
// what lowers it most.
QString explanation(const ExamReadiness &readiness);

} // namespace Readiness
