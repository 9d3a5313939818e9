#include "questionrules.h"

#include "questionindexentry.h"

QStringList questionRuleProblems(const Question &question)
{
    using QuestionBankLayout::MaxVariants;
    QStringList problems;
    if (question.answerCount < 2 || question.answerCount > MaxVariants) {
        problems << QStringLiteral("%1 answer variant%2; 2 to %3 are needed")
                        .arg(question.answerCount)
                        .arg(question.answerCount == 1 ? "" : "s")
                        .arg(MaxVariants);
    } else if (question.correctVariant < 1 || question.correctVariant > question.answerCount) {
        problems << QStringLiteral("correct answer %1 is not one of the %2 variants")
                        .arg(question.correctVariant)
                        .arg(question.answerCount);
    }
    return problems;
}
