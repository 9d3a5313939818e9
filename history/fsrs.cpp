#include "fsrs.h"

#include <algorithm>
#include <cmath>

namespace {

double clampDifficulty(double d)
{
    return std::clamp(d, Fsrs::MinDifficulty, Fsrs::MaxDifficulty);
}

int g(Fsrs::Grade grade)
{
    return static_cast<int>(grade);
}

} // namespace

double Fsrs::retrievability(double elapsedDays, double stability)
{
    return std::pow(1.0 + Factor * std::max(0.0, elapsedDays) / stability, Decay);
}

double Fsrs::intervalDays(double stability, double retention)
{
    return stability / Factor * (std::pow(retention, 1.0 / Decay) - 1.0);
}

double Fsrs::initialStability(Grade grade, const Weights &w)
{
    return std::max(w[g(grade) - 1], MinStability);
}

double Fsrs::initialDifficulty(Grade grade, const Weights &w)
{
    return clampDifficulty(w[4] - std::exp(w[5] * (g(grade) - 1)) + 1.0);
}

double Fsrs::nextDifficulty(double difficulty, Grade grade, const Weights &w)
{
    const double stepped = difficulty - w[6] * (g(grade) - 3);
    const double target = w[4] - std::exp(w[5] * (g(Grade::Easy) - 1)) + 1.0; // D0(Easy), unclamped
    return clampDifficulty(w[7] * target + (1.0 - w[7]) * stepped);
}

double Fsrs::stabilityAfterRecall(double difficulty, double stability, double retrievability,
                                  Grade grade, const Weights &w)
{
    const double hardPenalty = grade == Grade::Hard ? w[15] : 1.0;
    const double easyBonus = grade == Grade::Easy ? w[16] : 1.0;
    return stability *
           (std::exp(w[8]) * (11.0 - difficulty) * std::pow(stability, -w[9]) *
                (std::exp(w[10] * (1.0 - retrievability)) - 1.0) * hardPenalty * easyBonus +
            1.0);
}

double Fsrs::stabilityAfterForgetting(double difficulty, double stability, double retrievability,
                                      const Weights &w)
{
    const double s = w[11] * std::pow(difficulty, -w[12]) *
                     (std::pow(stability + 1.0, w[13]) - 1.0) *
                     std::exp(w[14] * (1.0 - retrievability));
    return std::max(MinStability, std::min(s, stability));
}

double Fsrs::shortTermStability(double stability, Grade grade, const Weights &w)
{
    return std::max(MinStability, stability * std::exp(w[17] * (g(grade) - 3 + w[18])));
}

Fsrs::MemoryState Fsrs::initialState(Grade grade, const Weights &w)
{
    return {initialStability(grade, w), initialDifficulty(grade, w)};
}

Fsrs::MemoryState Fsrs::nextState(const MemoryState &state, double elapsedDays, Grade grade,
                                  const Weights &w)
{
    MemoryState next;
    next.difficulty = nextDifficulty(state.difficulty, grade, w);
    if (elapsedDays < 1.0) {
        next.stability = shortTermStability(state.stability, grade, w);
    } else {
        const double r = retrievability(elapsedDays, state.stability);
        next.stability =
            grade == Grade::Again
                ? stabilityAfterForgetting(state.difficulty, state.stability, r, w)
                : std::max(MinStability,
                           stabilityAfterRecall(state.difficulty, state.stability, r, grade, w));
    }
    return next;
}
