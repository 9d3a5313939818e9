#pragma once

#include <QList>

#include <array>

// How often this learner answers right a question they do not remember (or
// have never seen): the chance of a right answer is R + (1 - R) * g, with R
// the memory model's chance of recall.
//
// g depends on the number of variants k: g(k) = 1/k + (1 - 1/k) * lift. A
// blind guess has lift 0; common sense and the distractors' giveaways raise
// it, tempting distractors lower it. One lift for all k pools the evidence:
// per k there would be too few first answers for years.
//
// The lift is estimated from the learner's first answers to questions never
// answered before — the only answers memory cannot explain — once there are
// MinFirstAnswers of them; until then g(k) = 1/k. 30 first answers put the
// standard error of the lift near 0.1, about the spread of a few questions'
// worth of luck in a ticket. PriorAnswers pseudo-answers at lift 0 keep an
// early estimate from swinging on a lucky streak.
namespace GuessingRate {

inline constexpr int MinFirstAnswers = 30;
inline constexpr double PriorAnswers = 20.0;
inline constexpr double MinLift = -1.0; // g = 0: always drawn to a wrong variant
inline constexpr double MaxLift = 0.95;
// Variants assumed for a question whose count is not known (a question the
// database cannot read): the middle of 2..5.
inline constexpr int UnknownVariants = 3;

struct Estimate
{
    double lift = 0;
    int firstAnswers = 0; // first answers it was estimated from
    int firstRight = 0;   // of them right
    bool estimated() const { return firstAnswers >= MinFirstAnswers; }
    // g(k); k outside 2..5 counts as UnknownVariants.
    double forVariants(int variants) const;
};

// One first answer: how many variants its question has and whether it was right.
struct FirstAnswer
{
    int variants = UnknownVariants;
    bool right = false;
};

Estimate estimate(const QList<FirstAnswer> &firstAnswers);

} // namespace GuessingRate
