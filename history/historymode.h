#pragma once

#include <QString>

#include <optional>

// The mode an answer or an attempt was given in. The history stores each mode
// as the short text code below; those codes are a stored format and never
// change (a new mode gets a new code). The enum's numeric values are not
// stored anywhere. A new code is also a new schema step (historyschema.h), so
// an older program refuses a file that may hold codes it does not know.
//
//   learning      "learning"       one ticket, the comment after each answer
//   preparation   "preparation"    twenty questions drawn from all tickets
//   training      "training"       one ticket, results at the end
//   exam          "exam"           a ticket against the clock
//   mistakes      "mistakes"       work on the questions last answered wrong
//   review        "review"         spaced review of the questions due
//   officialExam  "official_exam"  the exam by the official rules
//   marathon      "marathon"       all 800 questions in a kept random order
//   topic         "topic"          the questions of one topic
enum class HistoryMode
{
    Learning,
    Preparation,
    Training,
    Exam,
    Mistakes,
    Review,
    OfficialExam,
    Marathon,
    Topic,
};

namespace HistoryModes {
QString code(HistoryMode mode);
std::optional<HistoryMode> fromCode(const QString &code);
} // namespace HistoryModes
