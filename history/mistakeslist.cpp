#include "mistakeslist.h"

#include <algorithm>
#include <utility>
#include <vector>

bool MistakesList::contains(const QuestionProgress &progress)
{
    return progress.isAnswered() && progress.everWrong &&
           progress.rightSinceLastWrong < RightAnswersToLeave;
}

QList<int> MistakesList::questions(const QuestionProgressTable &table, int limit)
{
    std::vector<std::pair<qint64, int>> listed; // (-latest wrong time, question)
    for (int q = 1; q <= QuestionProgressTable::QuestionCount; ++q) {
        const QuestionProgress &p = table.question(q);
        if (contains(p))
            listed.emplace_back(-p.lastWrongMs, q);
    }
    const auto count = std::min<std::size_t>(listed.size(), std::max(0, limit));
    std::partial_sort(listed.begin(), listed.begin() + count, listed.end());
    QList<int> result;
    result.reserve(count);
    for (std::size_t i = 0; i < count; ++i)
        result.append(listed[i].second);
    return result;
}

int MistakesList::count(const QuestionProgressTable &table)
{
    int n = 0;
    for (int q = 1; q <= QuestionProgressTable::QuestionCount; ++q)
        n += contains(table.question(q)) ? 1 : 0;
    return n;
}
