#pragma once

#include "guessingrate.h"
#include "learnermodel.h"
#include "officialexamforecast.h"
#include "questionprogress.h"

#include <QList>
#include <QString>

#include <array>
#include <span>

// Exam readiness: the chance of passing the exam by the official rules now,
// on a ticket drawn at random (OfficialExamForecast), with each question
// answered right with probability R + (1 - R) * g: R its chance of recall
// from the memory model now (0 for a question never answered) and g this
// learner's chance of guessing right among its variants (GuessingRate).
//
// The chance of passing the program's own "Экзамен" (a ticket with at most
// two errors of 20) is kept beside it. Only "0, 1, 2 or more errors"
// matters there, so a dynamic programme over the questions that keeps those
// four probabilities gives the exact P(errors <= 2) in 3 steps per question.
// It is written here because it is that one loop; a general
// Poisson-binomial library (FFT or full DP) would compute a distribution we
// throw away.
namespace Readiness {

inline constexpr int MaxErrors = 2;
inline constexpr int TicketCount = QuestionBankLayout::TicketCount;
inline constexpr int QuestionsPerTicket = QuestionBankLayout::QuestionsPerTicket;
inline constexpr int QuestionCount = QuestionBankLayout::QuestionCount;
inline constexpr int BlockCount = QuestionBankLayout::BlockCount;

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
    // The exam by the official rules on a random ticket: the readiness.
    double passProbability = 0;
    std::array<double, TicketCount> ticketPass{};
    // The program's own ticket exam: at most two errors of 20.
    double ticketExamPass = 0;
    // Mean errors per ticket in each thematic block.
    std::array<double, BlockCount> blockErrors{};
    // Tickets by ascending chance of passing (ties by number).
    QList<int> weakestTickets;
    int neverAnswered = 0;
    GuessingRate::Estimate guessing;
    // The fewest questions whose answered-right gain (StudyNext) makes up
    // half of the whole bank's: how concentrated the risk is.
    int riskQuestions = 0;
    // Each question's chance of a right answer now, 1..800 in order.
    std::array<double, QuestionCount> pRight{};
};

// From the chance of a right answer of every question, 1..800 in order.
ExamReadiness fromProbabilities(std::span<const double, QuestionCount> pRight, int neverAnswered,
                                const GuessingRate::Estimate &guessing = {});

// The learner's guessing rate from the first answer of every answered question.
GuessingRate::Estimate guessingOf(const QuestionProgressTable &table, const LearnerModel &model);
// Each question's chance of a right answer at `nowMs`.
std::array<double, QuestionCount> answerChances(const QuestionProgressTable &table, qint64 nowMs,
                                                const LearnerModel &model,
                                                const GuessingRate::Estimate &guessing);
// From the memory states at `nowMs`.
ExamReadiness compute(const QuestionProgressTable &table, qint64 nowMs,
                      const LearnerModel &model = {});

// A plain-Russian account of the readiness: what the percentage means, the
// weakest block, how concentrated the risk is, the guessing rate and the
// ticket exam's figure.
QString explanation(const ExamReadiness &readiness);

// "37 %"; below one percent "меньше 1 %" (see chanceText()).
QString percentText(double probability);

} // namespace Readiness
