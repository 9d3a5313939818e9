#pragma once

#include "fsrs.h"
#include "questionindexentry.h"

#include <array>

// What the readiness forecast needs beyond the answers: how many variants
// each question of the open database has (the chance of a lucky guess) and
// the memory model's weights in use — the published defaults, or the
// learner's own once a fit beats them.
struct LearnerModel
{
    // Questions 1..800 in order; 0 where the database could not say.
    std::array<quint8, QuestionBankLayout::QuestionCount> variants{};
    Fsrs::Weights weights = Fsrs::DefaultWeights;
};
