#pragma once

#include "questionprogress.h"

#include <QList>

// "Работа над ошибками": the questions to work on.
//
// A question is in the list when it has been answered wrong at least once and
// has fewer than two consecutive right answers since its latest wrong one. So
// a wrong answer (in any mode) puts a question in, or back in, and two right
// answers in a row take it out; one right answer keeps it in, and a wrong one
// after it starts the count again. The list is ordered by the latest wrong
// answer, most recent first (ties by question number).
namespace MistakesList {
inline constexpr int BatchSize = 20;
inline constexpr int RightAnswersToLeave = 2;

bool contains(const QuestionProgress &progress);
QList<int> questions(const QuestionProgressTable &table, int limit = BatchSize);
int count(const QuestionProgressTable &table);
} // namespace MistakesList
