#include "questionprogress.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double MsPerDay = 86'400'000.0;
}

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
    if (answer.question < 1 || answer.question > QuestionCount)
        return;
    QuestionProgress &p = m_questions[answer.question - 1];
    const Fsrs::Grade grade = answer.right ? Fsrs::Grade::Good : Fsrs::Grade::Again;
    if (p.answers == 0) {
        p.memory = Fsrs::initialState(grade, m_weights);
        p.firstRight = answer.right;
    } else {
        const double elapsedDays = (answer.answeredAtMs - p.lastAnsweredMs) / MsPerDay;
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
    return progress.lastAnsweredMs + qint64(days * MsPerDay);
}

double QuestionProgressTable::recallProbability(int absoluteNumber, qint64 nowMs,
                                                double prior) const
{
    const QuestionProgress &p = question(absoluteNumber);
    if (!p.isAnswered())
        return prior;
    return Fsrs::retrievability((nowMs - p.lastAnsweredMs) / MsPerDay, p.memory.stability);
}
