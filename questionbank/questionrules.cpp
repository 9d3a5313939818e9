#include "questionrules.h"

#include "questionindexentry.h"

QStringList QuestionRuleProblems(const Question &question)
{
    using QuestionBankLayout::MaxVariants;
    QStringList problems;
    if (question.AnswerCount < 2 || question.AnswerCount > MaxVariants) {
        problems << QStringLiteral("%1 answer variant%2; 2 to %3 are needed")
                        .arg(question.AnswerCount)
                        .arg(question.AnswerCount == 1 ? "" : "s")
                        .arg(MaxVariants);
    } else if (question.CorrectVariant < 1 || question.CorrectVariant > question.AnswerCount) {
        problems << QStringLiteral("correct answer %1 is not one of the %2 variants")
                        .arg(question.CorrectVariant)
                        .arg(question.AnswerCount);
    }
    return problems;
}
