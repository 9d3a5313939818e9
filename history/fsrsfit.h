#pragma once

#include "answerrecord.h"
#include "fsrs.h"
#include "questionindexentry.h"

#include <QList>

#include <array>

// Fitting the memory model's weights to one learner: the weights that make
// their right and wrong answers most likely (least log-loss), each answer
// predicted right with R + (1 - R) * g from the memory state before it —
// the same chance the readiness uses. A question's first answer is
// predicted by guessing alone and only starts its state.
//
// The trainer knows right and wrong only (Good and Again), so the weights
// of Hard and Easy (w1, w3, w15, w16) never act and stay at the defaults;
// the other fifteen are fitted, each kept inside a plausible range by a
// smooth change of variable, and pulled gently towards its default so that
// a weight the answers say little about stays where it was.
//
// The latest HeldOutShare of the answers are held out: the fit sees the
// answers before them, and the learner's weights are used only when they
// predict the held-out answers better (lower log-loss) than the defaults.
namespace FsrsFit {

// Enough history for fifteen weights: MinAnswers answers leave 80 held out,
// enough to tell a real gain in log-loss from noise; MinQuestions distinct
// questions keep a few drilled questions from deciding everyone's weights;
// MinDays days give intervals of a day and more, without which the recall
// and forgetting weights are not seen at all.
inline constexpr int MinAnswers = 400;
inline constexpr int MinQuestions = 100;
inline constexpr int MinDays = 7;
inline constexpr double HeldOutShare = 0.2;

bool enoughHistory(const QList<AnswerOutcome> &answers);

// The chance of a lucky guess per question, 1..800 in order.
using GuessChances = std::array<double, QuestionBankLayout::QuestionCount>;

struct Result
{
    Fsrs::Weights weights = Fsrs::DefaultWeights; // fitted on the answers before the held-out
    double defaultLogLoss = 0;                    // mean per held-out answer, with the defaults
    double fittedLogLoss = 0;                     // the same with the fitted weights
    int trainingAnswers = 0;                      // answers before the held-out ones
    int heldOutAnswers = 0; // held-out answers that were predicted (not first answers)
    bool beatsDefaults() const { return heldOutAnswers > 0 && fittedLogLoss < defaultLogLoss; }
};

// `answers` oldest first.
Result fit(const QList<AnswerOutcome> &answers, const GuessChances &guess);

// The mean log-loss of the answers with index in [from, to), each predicted
// from all answers before it; first answers of a question are not counted.
// `counted` receives how many were.
double logLoss(const QList<AnswerOutcome> &answers, const Fsrs::Weights &weights,
               const GuessChances &guess, qsizetype from, qsizetype to, int *counted = nullptr);

} // namespace FsrsFit
