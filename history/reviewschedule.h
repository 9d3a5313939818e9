#pragma once

#include "questionprogress.h"

#include <QList>

// Spaced review: which answered questions the memory model says are due.
namespace ReviewSchedule {
inline constexpr int BatchSize = 20;

// Questions answered at least once whose next review time (see
// QuestionProgressTable::dueMs) is at or before `dayEndMs`, the end of the
// learner's today; the most overdue (earliest due) first, ties by number;
// at most `limit`.
QList<int> dueQuestions(const QuestionProgressTable &table, qint64 dayEndMs, int limit = BatchSize);
int dueCount(const QuestionProgressTable &table, qint64 dayEndMs);
} // namespace ReviewSchedule
