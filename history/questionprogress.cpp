#include "questionprogress.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {
constexpr double MsPerDay = 86'400'000.0;

// Days from `fromMs` to `toMs`. In doubles: the times come from a file, and
// the difference of two far-off ones does not fit a qint64.
double daysBetween(qint64 fromMs, qint64 toMs)
{
    return (double(toMs) - double(fromMs)) / MsPerDay;
}
} // namespace

QuestionProgressTable QuestionProgressTable::fromAnswers(const QList<AnswerOutcome> &answers,
                                                         const Fsrs::Weights &weights)
{
    QuestionProgressTable table(weights);
    for (const AnswerOutcome &answer : answers)
        table.apply(answer);
    return table;
}

void QuestionProgressTable::apply(const AnswerOutcome &answer)
{
    // A correction is not recall: what the learner knew shows in the first
    // answer to the question in the attempt.
    if (answer.question < 1 || answer.question > QuestionCount || answer.correction)
        return;
    QuestionProgress &p = m_questions[answer.question - 1];
    const Fsrs::Grade grade = answer.right ? Fsrs::Grade::Good : Fsrs::Grade::Again;
    if (p.answers == 0) {
        p.memory = Fsrs::initialState(grade, m_weights);
        p.firstRight = answer.right;
    } else {
        const double elapsedDays = daysBetween(p.lastAnsweredMs, answer.answeredAtMs);
        p.memory = Fsrs::nextState(p.memory, elapsedDays, grade, m_weights);
    }
    ++p.answers;
    p.lastAnsweredMs = answer.answeredAtMs;
    p.lastRight = answer.right;
    if (answer.right) {
        ++p.rightSinceLastWrong;
    } else {
        p.everWrong = true;
        p.lastWrongMs = answer.answeredAtMs;
        p.rightSinceLastWrong = 0;
    }
}

int QuestionProgressTable::answeredCount() const
{
    return int(std::count_if(m_questions.begin(), m_questions.end(),
                             [](const QuestionProgress &p) { return p.isAnswered(); }));
}

qint64 QuestionProgressTable::dueMs(const QuestionProgress &progress)
{
    const double days = std::max(1.0, std::round(Fsrs::intervalDays(progress.memory.stability)));
    // Saturates rather than overflows for an interval or a last answer far
    // in the future (a tampered history).
    const double due = double(progress.lastAnsweredMs) + days * MsPerDay;
    constexpr double Latest = double(std::numeric_limits<qint64>::max() / 2);
    if (std::isnan(due))
        return progress.lastAnsweredMs;
    return qint64(std::clamp(due, -Latest, Latest));
}

double QuestionProgressTable::recallProbability(int absoluteNumber, qint64 nowMs,
                                                double prior) const
{
    const QuestionProgress &p = question(absoluteNumber);
    if (!p.isAnswered())
        return prior;
    return Fsrs::retrievability(daysBetween(p.lastAnsweredMs, nowMs), p.memory.stability);
}
