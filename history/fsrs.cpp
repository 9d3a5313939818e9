#include "fsrs.h"

#include "fsrsformulas.h"

#include <cmath>

namespace F = Fsrs::Formulas;

namespace {

int g(Fsrs::Grade grade)
{
    return static_cast<int>(grade);
}

} // namespace

double Fsrs::retrievability(double elapsedDays, double stability)
{
    return F::retrievability(elapsedDays, stability);
}

double Fsrs::intervalDays(double stability, double retention)
{
    return stability / Factor * (std::pow(retention, 1.0 / Decay) - 1.0);
}

double Fsrs::initialStability(Grade grade, const Weights &w)
{
    return F::initialStability(g(grade), w);
}

double Fsrs::initialDifficulty(Grade grade, const Weights &w)
{
    return F::initialDifficulty(g(grade), w);
}

double Fsrs::nextDifficulty(double difficulty, Grade grade, const Weights &w)
{
    return F::nextDifficulty(difficulty, g(grade), w);
}

double Fsrs::stabilityAfterRecall(double difficulty, double stability, double retrievability,
                                  Grade grade, const Weights &w)
{
    return F::stabilityAfterRecall(difficulty, stability, retrievability, g(grade), w);
}

double Fsrs::stabilityAfterForgetting(double difficulty, double stability, double retrievability,
                                      const Weights &w)
{
    return F::stabilityAfterForgetting(difficulty, stability, retrievability, w);
}

double Fsrs::shortTermStability(double stability, Grade grade, const Weights &w)
{
    return F::shortTermStability(stability, g(grade), w);
}

Fsrs::MemoryState Fsrs::initialState(Grade grade, const Weights &w)
{
    return {initialStability(grade, w), initialDifficulty(grade, w)};
}

Fsrs::MemoryState Fsrs::nextState(const MemoryState &state, double elapsedDays, Grade grade,
                                  const Weights &w)
{
    const auto next =
        F::nextState<double>({state.stability, state.difficulty}, elapsedDays, g(grade), w);
    return {next.stability, next.difficulty};
}
