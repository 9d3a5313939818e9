#include "reviewschedule.h"

#include <algorithm>
#include <utility>
#include <vector>

QList<int> ReviewSchedule::dueQuestions(const QuestionProgressTable &table, qint64 dayEndMs,
                                        int limit)
{
    std::vector<std::pair<qint64, int>> due; // (due time, question)
    for (int q = 1; q <= QuestionProgressTable::QuestionCount; ++q) {
        const QuestionProgress &p = table.question(q);
        if (!p.isAnswered())
            continue;
        const qint64 at = QuestionProgressTable::dueMs(p);
        if (at <= dayEndMs)
            due.emplace_back(at, q);
    }
    const auto count = std::min<std::size_t>(due.size(), std::max(0, limit));
    std::partial_sort(due.begin(), due.begin() + count, due.end());
    QList<int> result;
    result.reserve(count);
    for (std::size_t i = 0; i < count; ++i)
        result.append(due[i].second);
    return result;
}

int ReviewSchedule::dueCount(const QuestionProgressTable &table, qint64 dayEndMs)
{
    int count = 0;
    for (int q = 1; q <= QuestionProgressTable::QuestionCount; ++q) {
        const QuestionProgress &p = table.question(q);
        if (p.isAnswered() && QuestionProgressTable::dueMs(p) <= dayEndMs)
            ++count;
    }
    return count;
}
