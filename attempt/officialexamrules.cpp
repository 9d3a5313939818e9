#include "officialexamrules.h"

#include <array>

namespace OfficialExamRules {

int blockOf(int position)
{
    return QuestionBankLayout::blockOf(position);
}

MainPartCheck checkMainPart(const QList<int> &errorPositions)
{
    MainPartCheck check;
    std::array<int, BlockCount> perBlock{};
    for (int position : errorPositions) {
        if (position >= 1 && position <= MainQuestionCount)
            ++perBlock[size_t(blockOf(position))];
    }
    // Two errors in one block fail the exam whatever the count, so that rule
    // names the reason first; three errors are then in three blocks.
    int errors = 0;
    for (int block = 0; block < BlockCount; ++block) {
        if (perBlock[size_t(block)] >= 2) {
            check.failure = Failure::TwoErrorsInOneBlock;
            check.failedBlock = block;
            return check;
        }
        errors += perBlock[size_t(block)];
    }
    if (errors >= 3) {
        check.failure = Failure::ThreeErrors;
        return check;
    }
    for (int block = 0; block < BlockCount; ++block) {
        if (perBlock[size_t(block)] > 0)
            check.additionalBlocks.append(block);
    }
    return check;
}

QString failureText(Failure failure)
{
    switch (failure) {
    case Failure::None:
        return {};
    case Failure::TwoErrorsInOneBlock:
        return QStringLiteral("Две ошибки в одном тематическом блоке");
    case Failure::ThreeErrors:
        return QStringLiteral("Три ошибки в основной части");
    case Failure::AdditionalError:
        return QStringLiteral("Ошибка в дополнительном блоке");
    case Failure::AdditionalTimeUp:
        return QStringLiteral("Время на дополнительные вопросы истекло");
    case Failure::Stopped:
        return QStringLiteral("Экзамен прерван до конца");
    }
    return {};
}

} // namespace OfficialExamRules
