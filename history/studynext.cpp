#include "studynext.h"

#include "officialexamforecast.h"

#include <algorithm>
#include <numeric>
#include <vector>

using QuestionBankLayout::QuestionCount;

StudyNext::Choice StudyNext::choose(std::span<const double, QuestionCount> pRight, int count)
{
    const auto slope = OfficialExamForecast::sensitivity(pRight);
    std::array<double, QuestionCount> gain{};
    for (int q = 0; q < QuestionCount; ++q)
        gain[q] = slope[q] * (1.0 - std::clamp(pRight[q], 0.0, 1.0));

    std::vector<int> order(QuestionCount);
    std::iota(order.begin(), order.end(), 0);
    const auto end = order.begin() + std::min(count, QuestionCount);
    std::partial_sort(order.begin(), end, order.end(), [&gain](int a, int b) {
        return gain[a] != gain[b] ? gain[a] > gain[b] : a < b;
    });

    Choice choice;
    std::array<double, QuestionCount> improved{};
    std::copy(pRight.begin(), pRight.end(), improved.begin());
    for (auto it = order.begin(); it != end; ++it) {
        // A question already sure (or one no answer can help) is no study.
        if (gain[*it] <= 0)
            break;
        choice.questions.append(*it + 1);
        improved[*it] = 1.0;
    }
    choice.readinessNow = OfficialExamForecast::forecast(pRight).pass;
    choice.readinessIfRight = OfficialExamForecast::forecast(improved).pass;
    return choice;
}
