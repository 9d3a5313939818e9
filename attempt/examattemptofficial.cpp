// The exam by the official rules inside the attempt engine: deciding the main
// part and the additional part after each answer or when their time runs
// out, drawing the additional blocks, and the report of the mistakes. The
// rules themselves are in officialexamrules.
#include "examattempt.h"

#include "programrandom.h"
#include "questionindexentry.h"

#include <algorithm>
#include <utility>

using namespace QuestionBankLayout;
using OfficialExamRules::Failure;

void ExamAttempt::checkOfficialMainPart(bool timeUp)
{
    QList<int> errors;
    bool complete = true;
    for (int position = 1; position <= m_positionCount; ++position) {
        const QuestionState state = m_states[size_t(position)];
        if (state == QuestionState::NotAnswered)
            complete = false;
        if (state == QuestionState::AnsweredWrongly ||
            (timeUp && state == QuestionState::NotAnswered))
            errors << position;
    }
    const OfficialExamRules::MainPartCheck check = OfficialExamRules::checkMainPart(errors);
    if (check.failed()) {
        decideOfficial(check.failure, check.failedBlock);
        return;
    }
    if (!complete && !timeUp)
        return;
    if (check.additionalBlocks.isEmpty()) {
        decideOfficial(Failure::None);
        return;
    }
    m_additionalBlocks = check.additionalBlocks;
    m_mainMistakes = officialReport().mistakes;
    m_secondsUsed += OfficialExamRules::MainSeconds - m_remainingSeconds;
    m_officialPart = OfficialPart::BetweenParts;
}

void ExamAttempt::checkOfficialAdditionalPart(bool timeUp)
{
    bool complete = true;
    for (int position = 1; position <= m_positionCount; ++position) {
        const QuestionState state = m_states[size_t(position)];
        if (state == QuestionState::AnsweredWrongly) {
            decideOfficial(Failure::AdditionalError);
            return;
        }
        if (state == QuestionState::NotAnswered)
            complete = false;
    }
    if (complete)
        decideOfficial(Failure::None);
    else if (timeUp)
        decideOfficial(Failure::AdditionalTimeUp);
}

void ExamAttempt::decideOfficial(Failure failure, int failedBlock)
{
    // The mistakes of the part on screen are taken while its positions are
    // there; between the parts the main part's are kept already.
    if (m_officialPart == OfficialPart::Main || m_officialPart == OfficialPart::Additional) {
        const QList<ExamMistake> partMistakes = officialReport().mistakes;
        const bool main = m_officialPart == OfficialPart::Main;
        m_mainMistakes = main ? partMistakes : m_mainMistakes + partMistakes;
        const int partSeconds = main ? OfficialExamRules::MainSeconds
                                     : OfficialExamRules::SecondsPerAdditionalBlock *
                                           int(m_additionalBlocks.size());
        m_secondsUsed += partSeconds - std::max(m_remainingSeconds, 0);
    }
    m_officialFailure = failure;
    m_officialFailedBlock = failedBlock;
    m_officialPart = OfficialPart::Decided;
}

OfficialExamReport ExamAttempt::officialReport() const
{
    OfficialExamReport report;
    report.failure = m_officialFailure;
    report.failedBlock = m_officialFailedBlock;
    report.additionalBlockCount = int(m_additionalBlocks.size());
    if (m_officialPart == OfficialPart::Decided || m_officialPart == OfficialPart::BetweenParts) {
        report.mistakes = m_mainMistakes;
        return report;
    }
    // The part on screen: its wrong answers and, as the rules count them
    // once its time is over, its unanswered questions.
    const bool timeOver = m_remainingSeconds <= 0;
    for (int position = 1; position <= m_positionCount; ++position) {
        const QuestionState state = m_states[size_t(position)];
        if (state == QuestionState::AnsweredWrongly ||
            (timeOver && state == QuestionState::NotAnswered)) {
            report.mistakes << ExamMistake{displayNumber(position), m_questions[size_t(position)],
                                           m_chosenVariants[size_t(position)],
                                           m_shufflePlaces[size_t(position)]};
        }
    }
    return report;
}

int ExamAttempt::additionalBlockOf(int position) const
{
    return (position - 1) / OfficialExamRules::BlockSize + 1;
}

void ExamAttempt::startAdditionalPart()
{
    if (!isRunning() || m_setup.mode != AttemptMode::OfficialExam ||
        m_officialPart != OfficialPart::BetweenParts)
        return;
    // Each block comes from a ticket drawn among the other thirty-nine, at
    // the same positions as the block it stands for.
    clearPositions();
    int position = 1;
    for (int block : std::as_const(m_additionalBlocks)) {
        int other = ProgramRandom::random(TicketCount - 1) + 1;
        if (other >= m_mainTicket)
            ++other;
        for (int i = 1; i <= OfficialExamRules::BlockSize; ++i) {
            m_questions[size_t(position++)] =
                absoluteNumber(other, block * OfficialExamRules::BlockSize + i);
        }
    }
    m_positionCount = position - 1;
    m_position = 1;
    m_remainingSeconds =
        OfficialExamRules::SecondsPerAdditionalBlock * int(m_additionalBlocks.size());
    m_officialPart = OfficialPart::Additional;
    emit pageChanged();
    emit remainingTimeChanged(m_remainingSeconds);
}
