#pragma once

#include "questionindexentry.h"

#include <QList>
#include <QString>

// The theory exam as the traffic police hold it: a ticket of twenty questions
// in four thematic blocks of five, twenty minutes. One error in the main part
// (or one question left unanswered when its time runs out) adds a block of
// five questions on the same subject, from another ticket, with five more
// minutes; errors in two different blocks add two. The exam is failed at once
// by two errors in one block, by a third error in the main part, or by any
// error among the additional questions.
//
// These are the rules alone, as functions of which questions went wrong;
// ExamAttempt runs them with its questions and clocks.
namespace OfficialExamRules {

inline constexpr int BlockSize = QuestionBankLayout::BlockSize;
inline constexpr int BlockCount = QuestionBankLayout::BlockCount;
inline constexpr int MainQuestionCount = BlockSize * BlockCount;
inline constexpr int MainSeconds = 20 * 60;
inline constexpr int SecondsPerAdditionalBlock = 5 * 60;

// Why an exam was failed; None while it is not.
enum class Failure
{
    None,
    TwoErrorsInOneBlock,
    ThreeErrors,
    AdditionalError,
    AdditionalTimeUp,
    Stopped,
};

// The thematic block (0..3) of a main-part position (1..20).
int blockOf(int position);

// Where the main part stands after its errors so far. `errorPositions` are
// the positions (1..20) answered wrongly or, once time is up, left
// unanswered; each at most once.
struct MainPartCheck
{
    Failure failure = Failure::None;
    // With TwoErrorsInOneBlock: that block (0..3); otherwise -1.
    int failedBlock = -1;
    // The blocks (0..3, ascending) that get an additional block of questions
    // once the main part is complete; empty when it has no error.
    QList<int> additionalBlocks;

    bool failed() const { return failure != Failure::None; }
};
MainPartCheck checkMainPart(const QList<int> &errorPositions);

// The learner's reason, in plain words: "Две ошибки в одном тематическом
// блоке" and so on; empty for None.
QString failureText(Failure failure);

} // namespace OfficialExamRules
