#pragma once

#include "answerrecord.h"
#include "fsrs.h"

#include <QList>

#include <array>

// What the history says about one question, brought up to date answer by
// answer: its memory state for the scheduler and what the mistakes list needs.
struct QuestionProgress
{
    int answers = 0; // 0: never answered, the rest means nothing
    Fsrs::MemoryState memory;
    qint64 lastAnsweredMs = 0;
    bool lastRight = false;
    bool firstRight = false; // the first answer ever, before any memory of it
    bool everWrong = false;
    qint64 lastWrongMs = 0;      // only when everWrong
    int rightSinceLastWrong = 0; // consecutive right answers after the last wrong one

    bool isAnswered() const { return answers > 0; }
};

// The progress of all 800 questions of one database, built by replaying its
// answers in time order. Replaying is cheap (a year of answers in about a
// millisecond), so nothing derived is ever stored.
class QuestionProgressTable
{
public:
    static constexpr int QuestionCount = 800;

    // Memory states follow `weights`: the defaults or the learner's own.
    explicit QuestionProgressTable(const Fsrs::Weights &weights = Fsrs::DefaultWeights)
        : m_weights(weights)
    {
    }
    // `answers` oldest first, as AnswerHistory returns them.
    static QuestionProgressTable fromAnswers(const QList<AnswerOutcome> &answers,
                                             const Fsrs::Weights &weights = Fsrs::DefaultWeights);
    const Fsrs::Weights &weights() const { return m_weights; }

    // Takes one more answer, which must not be older than the question's last.
    // Answers to a question number outside 1..800 and corrections (see
    // AnswerOutcome) are ignored.
    void apply(const AnswerOutcome &answer);
    void apply(const AnswerRecord &answer) { apply(answer.outcome()); }

    const QuestionProgress &question(int absoluteNumber) const
    {
        return m_questions[absoluteNumber - 1];
    }
    int answeredCount() const;

    // The scheduler's time of the next review: last answer plus the interval
    // for the desired retention, rounded to whole days and at least one day.
    // Only for answered questions.
    static qint64 dueMs(const QuestionProgress &progress);
    // The chance of a right answer at `nowMs` from the memory state, or
    // `prior` for a question never answered.
    double recallProbability(int absoluteNumber, qint64 nowMs, double prior) const;

private:
    Fsrs::Weights m_weights;
    std::array<QuestionProgress, QuestionCount> m_questions{};
};
