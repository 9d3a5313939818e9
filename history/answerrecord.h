#pragma once

#include "historymode.h"

#include <QDateTime>
#include <QList>
#include <QtGlobal>

#include <optional>

// The times the history accepts from its file: from the Unix epoch to the
// end of the year 9999. A stored time outside them (a tampered file, a
// clock gone wild) is read as the nearest end, so every difference of two
// times fits a qint64 many times over.
namespace HistoryTime {
inline constexpr qint64 EarliestMs = 0;
inline constexpr qint64 LatestMs = 253'402'300'799'999; // 9999-12-31 23:59:59.999 UTC
} // namespace HistoryTime

// What the scheduler, the mistakes list, readiness and the per-day series
// need of an answer. Reading only these columns makes loading a year of
// history about three times faster than reading whole records.
struct AnswerOutcome
{
    int question = 0; // absolute number, 1..800
    bool right = false;
    qint64 answeredAtMs = 0; // milliseconds since the Unix epoch (UTC)
    // Not the first answer to the question in its attempt: given after the
    // comment had shown the right variant, or on coming back to the
    // question. It is an answer, but not recall: the memory model, the
    // mistakes list and the share right leave it out.
    bool correction = false;
    friend bool operator==(const AnswerOutcome &, const AnswerOutcome &) = default;
};

// One answer as the history keeps it. Times are milliseconds since the Unix
// epoch (UTC): what the file stores, and cheap to compare and subtract when a
// year of answers is replayed.
struct AnswerRecord
{
    int question = 0; // absolute number, 1..800
    HistoryMode mode = HistoryMode::Learning;
    int variant = 0; // the variant's stored number (1..5), not its shown place
    bool right = false;
    int seconds = 0;
    qint64 answeredAtMs = 0;
    qint64 attemptId = 0;    // 0: recorded outside an attempt
    bool correction = false; // see AnswerOutcome::correction

    AnswerOutcome outcome() const { return {question, right, answeredAtMs, correction}; }
    QDateTime answeredAt() const { return QDateTime::fromMSecsSinceEpoch(answeredAtMs, Qt::UTC); }
    friend bool operator==(const AnswerRecord &, const AnswerRecord &) = default;
};

// How an attempt ended; `passed` is empty for modes without a pass mark.
struct AttemptSummary
{
    int correct = 0;
    int wrong = 0;
    std::optional<bool> passed;
};

struct AttemptRecord
{
    qint64 id = 0;
    HistoryMode mode = HistoryMode::Learning;
    qint64 startedAtMs = 0;
    std::optional<qint64> endedAtMs; // empty while running or when never ended
    std::optional<AttemptSummary> result;
};

// Where the marathon through all 800 questions stands: the order drawn at its
// start, how many of them have been answered, and how.
struct MarathonState
{
    QList<int> order; // a permutation of 1..800
    int position = 0; // 0..800: the next question is order[position]
    int right = 0;    // of the `position` answered
    int wrong = 0;
    friend bool operator==(const MarathonState &, const MarathonState &) = default;
};
