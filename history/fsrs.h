#pragma once

#include <array>

// The FSRS-5 memory model (Free Spaced Repetition Scheduler), written out
// once here. Source of the formulas: the open-spaced-repetition "fsrs4anki"
// wiki, page "The Algorithm", sections FSRS-5 and FSRS-4.5 (the forgetting
// curve). Default parameters: the published FSRS-5 defaults, as shipped in
// the FSRS4Anki 5.x scheduler.
//
// It is written by hand rather than taken from a library because no
// implementation is packaged for Debian and the model is a dozen closed-form
// formulas; the tests check them against values worked out from the
// published formulas.
//
// A memory state is (S, D): stability S in days (the time after which the
// chance of recall has fallen to 90 %) and difficulty D in [1, 10].
namespace Fsrs {

// w0..w18, the published FSRS-5 defaults.
inline constexpr std::array<double, 19> DefaultWeights{
    0.40255, 1.18385, 3.173, 15.69105, 7.1949, 0.5345, 1.4604, 0.0046,  1.54575, 0.1192,
    1.01925, 1.9395,  0.11,  0.29605,  2.2698, 0.2315, 2.9898, 0.51655, 0.6621,
};
using Weights = std::array<double, 19>;

// The forgetting curve R(t, S) = (1 + Factor * t / S) ^ Decay, with R(S, S) = 0.9.
inline constexpr double Decay = -0.5;
inline constexpr double Factor = 19.0 / 81.0;
inline constexpr double DesiredRetention = 0.9;
inline constexpr double MinStability = 0.01;
inline constexpr double MinDifficulty = 1.0;
inline constexpr double MaxDifficulty = 10.0;

// The learner's rating of a review. The trainer only knows right or wrong:
// a right answer is Good, a wrong one Again.
enum class Grade
{
    Again = 1,
    Hard = 2,
    Good = 3,
    Easy = 4,
};

struct MemoryState
{
    double stability = 0;
    double difficulty = 0;
};

// R(t, S): the chance of recall t days after the last review.
double retrievability(double elapsedDays, double stability);
// I(r, S) = S / Factor * (r ^ (1 / Decay) - 1): days until R falls to r.
double intervalDays(double stability, double retention = DesiredRetention);

// S0(G) = w[G-1].
double initialStability(Grade grade, const Weights &w = DefaultWeights);
// D0(G) = w4 - e^(w5 * (G - 1)) + 1, clamped to [1, 10].
double initialDifficulty(Grade grade, const Weights &w = DefaultWeights);
// D' = w7 * D0(Easy) + (1 - w7) * (D - w6 * (G - 3)), clamped to [1, 10]:
// the step by grade, pulled slightly back towards D0(Easy) (mean reversion).
double nextDifficulty(double difficulty, Grade grade, const Weights &w = DefaultWeights);
// S'r = S * (e^w8 * (11 - D) * S^-w9 * (e^(w10 * (1 - R)) - 1) * [w15 if Hard]
//       * [w16 if Easy] + 1)
double stabilityAfterRecall(double difficulty, double stability, double retrievability, Grade grade,
                            const Weights &w = DefaultWeights);
// S'f = min(w11 * D^-w12 * ((S + 1)^w13 - 1) * e^(w14 * (1 - R)), S): never
// more stable after a lapse than before it.
double stabilityAfterForgetting(double difficulty, double stability, double retrievability,
                                const Weights &w = DefaultWeights);
// A review on the same day as the previous one: S' = S * e^(w17 * (G - 3 + w18)).
double shortTermStability(double stability, Grade grade, const Weights &w = DefaultWeights);

// The state after the first review.
MemoryState initialState(Grade grade, const Weights &w = DefaultWeights);
// The state after a review `elapsedDays` after the previous one. A review
// less than a day after the previous one is a same-day review (short-term
// stability); otherwise recall or forgetting by grade. Difficulty is updated
// either way.
MemoryState nextState(const MemoryState &state, double elapsedDays, Grade grade,
                      const Weights &w = DefaultWeights);

} // namespace Fsrs
