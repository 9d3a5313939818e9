#pragma once

#include <array>
#include <cmath>

// The FSRS-5 formulas of fsrs.h as templates over the number type, so that
// the scheduler evaluates them in double and the weight fitter in a number
// that carries its derivatives (DualNumber): one copy of the formulas for
// both. `T` needs + - * /, comparison by value, and exp, log, pow found by
// argument-dependent lookup (or std:: for double).
namespace Fsrs::Formulas {

using std::exp;
using std::pow;

inline constexpr double Decay = -0.5;
inline constexpr double Factor = 19.0 / 81.0;
inline constexpr double MinStability = 0.01;
inline constexpr double MinDifficulty = 1.0;
inline constexpr double MaxDifficulty = 10.0;

template <typename T> using WeightsOf = std::array<T, 19>;

template <typename T> T atLeast(const T &x, double low)
{
    return x < low ? T(low) : x;
}

template <typename T> T lesserOf(const T &a, const T &b)
{
    return b < a ? b : a;
}

template <typename T> T clampDifficulty(const T &d)
{
    if (d < MinDifficulty)
        return T(MinDifficulty);
    if (MaxDifficulty < d)
        return T(MaxDifficulty);
    return d;
}

// R(t, S) = (1 + Factor * t / S) ^ Decay
template <typename T> T retrievability(double elapsedDays, const T &stability)
{
    return pow(T(1.0) + Factor * (elapsedDays > 0 ? elapsedDays : 0.0) / stability, Decay);
}

// grade: 1 Again, 2 Hard, 3 Good, 4 Easy
template <typename T> T initialStability(int grade, const WeightsOf<T> &w)
{
    return atLeast(w[size_t(grade - 1)], MinStability);
}

template <typename T> T initialDifficulty(int grade, const WeightsOf<T> &w)
{
    return clampDifficulty(w[4] - exp(w[5] * double(grade - 1)) + 1.0);
}

template <typename T> T nextDifficulty(const T &difficulty, int grade, const WeightsOf<T> &w)
{
    const T stepped = difficulty - w[6] * double(grade - 3);
    const T target = w[4] - exp(w[5] * 3.0) + 1.0; // D0(Easy), unclamped
    return clampDifficulty(w[7] * target + (T(1.0) - w[7]) * stepped);
}

template <typename T>
T stabilityAfterRecall(const T &difficulty, const T &stability, const T &r, int grade,
                       const WeightsOf<T> &w)
{
    T factor = exp(w[8]) * (T(11.0) - difficulty) * pow(stability, T(0.0) - w[9]) *
               (exp(w[10] * (T(1.0) - r)) - 1.0);
    if (grade == 2)
        factor = factor * w[15];
    if (grade == 4)
        factor = factor * w[16];
    return stability * (factor + 1.0);
}

template <typename T>
T stabilityAfterForgetting(const T &difficulty, const T &stability, const T &r,
                           const WeightsOf<T> &w)
{
    const T s = w[11] * pow(difficulty, T(0.0) - w[12]) * (pow(stability + 1.0, w[13]) - 1.0) *
                exp(w[14] * (T(1.0) - r));
    return atLeast(lesserOf(s, stability), MinStability);
}

template <typename T> T shortTermStability(const T &stability, int grade, const WeightsOf<T> &w)
{
    return atLeast(stability * exp(w[17] * (w[18] + double(grade - 3))), MinStability);
}

template <typename T> struct StateOf
{
    T stability;
    T difficulty;
};

template <typename T> StateOf<T> initialState(int grade, const WeightsOf<T> &w)
{
    return {initialStability(grade, w), initialDifficulty(grade, w)};
}

// A review less than a day after the previous one is a same-day review.
template <typename T>
StateOf<T> nextState(const StateOf<T> &state, double elapsedDays, int grade, const WeightsOf<T> &w)
{
    StateOf<T> next{state.stability, nextDifficulty(state.difficulty, grade, w)};
    if (elapsedDays < 1.0) {
        next.stability = shortTermStability(state.stability, grade, w);
    } else {
        const T r = retrievability(elapsedDays, state.stability);
        next.stability =
            grade == 1
                ? stabilityAfterForgetting(state.difficulty, state.stability, r, w)
                : atLeast(stabilityAfterRecall(state.difficulty, state.stability, r, grade, w),
                          MinStability);
    }
    return next;
}

} // namespace Fsrs::Formulas
