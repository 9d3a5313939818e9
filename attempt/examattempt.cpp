#include "examattempt.h"

#include "programrandom.h"
#include "questionbankerror.h"
#include "questiondatabase.h"
#include "statisticsfile.h"
#include "variantshuffle.h"

#include <algorithm>
#include <utility>

using namespace QuestionBankLayout;
using OfficialExamRules::Failure;

ExamAttempt::ExamAttempt(const AttemptSetup &setup, QuestionDatabase &database, StatRecord &record,
                         QObject *parent)
    : QObject(parent), m_setup(setup), m_database(database), m_record(record),
      m_ticket(setup.ticket)
{
    // A marathon that cannot go on from where it says begins at its start.
    if (m_setup.startIndex < 0 || m_setup.startIndex >= m_setup.questions.size()) {
        m_setup.startIndex = 0;
        m_setup.rightSoFar = 0;
        m_setup.wrongSoFar = 0;
    }
}

int ExamAttempt::statMode() const
{
    switch (m_setup.mode) {
    case AttemptMode::Learning:
    case AttemptMode::Marathon:
        return StatMode::Learning;
    case AttemptMode::Training:
        return StatMode::Training;
    case AttemptMode::Exam:
    case AttemptMode::OfficialExam:
        return StatMode::Exam;
    }
    return StatMode::Learning;
}

bool ExamAttempt::isPreparation() const
{
    return m_setup.mode == AttemptMode::Learning && m_setup.preparation;
}

bool ExamAttempt::usesTicket() const
{
    const bool ticketMode = m_setup.mode == AttemptMode::Learning ||
                            m_setup.mode == AttemptMode::Training ||
                            m_setup.mode == AttemptMode::Exam;
    return ticketMode && !isPreparation() && m_setup.questions.isEmpty();
}

void ExamAttempt::start()
{
    if (m_listener && m_phase == Phase::Running)
        m_listener->attemptEnded(countsSoFar(), false);
    ++m_generation;
    m_phase = Phase::Running;
    ProgramRandom::randomize();
    m_threeErrorsAsked = false;
    m_correctCount = 0;
    m_wrongCount = 0;
    m_sequenceAnsweredThisRun = 0;
    m_officialPart = OfficialPart::Main;
    m_officialFailure = Failure::None;
    m_officialFailedBlock = -1;
    m_additionalBlocks.clear();
    m_mainMistakes.clear();
    m_secondsUsed = 0;
    clearPositions();
    chooseQuestions();
    m_secondsOnQuestion = 0;
    if (m_setup.mode == AttemptMode::Exam)
        m_remainingSeconds = m_setup.timeLimitSeconds;
    else if (m_setup.mode == AttemptMode::OfficialExam)
        m_remainingSeconds = OfficialExamRules::MainSeconds;
    if (m_listener)
        m_listener->attemptStarted();
    emit started();
}

void ExamAttempt::clearPositions()
{
    m_states.fill(QuestionState::NotAnswered);
    m_shufflePlaces.fill(0);
    m_chosenVariants.fill(0);
    m_skipped.fill(false);
    m_positionRead = false;
    m_correctItemCount = 0;
}

void ExamAttempt::chooseQuestions()
{
    // The preparation set is drawn at every start, whatever the mode, so that
    // the draws after it (the shuffle places) do not depend on the mode:
    // twenty distinct questions of the whole database, a repeated draw drawn
    // again.
    std::array<int, 21> drawn{};
    for (int j = 1; j <= QuestionsPerTicket; ++j) {
        int number = 0;
        do {
            number = ProgramRandom::random(QuestionCount) + 1;
        } while (std::find(drawn.begin() + 1, drawn.begin() + j, number) != drawn.begin() + j);
        drawn[size_t(j)] = number;
    }
    m_positionCount = QuestionsPerTicket;
    if (isPreparation()) {
        m_questions = drawn;
        return;
    }
    if (!m_setup.questions.isEmpty()) {
        // A set chosen outside the engine, a page at a time; the marathon
        // goes on where its last run stopped.
        setPage(m_setup.mode == AttemptMode::Marathon ? m_setup.startIndex : 0);
        return;
    }
    if (m_setup.mode == AttemptMode::OfficialExam) {
        m_mainTicket = ProgramRandom::random(TicketCount) + 1;
        m_ticket = m_mainTicket;
    }
    for (int position = 1; position <= QuestionsPerTicket; ++position)
        m_questions[size_t(position)] = absoluteNumber(m_ticket, position);
}

void ExamAttempt::setPage(int start)
{
    m_pageStart = start;
    m_positionCount = std::min<int>(QuestionsPerTicket, int(m_setup.questions.size()) - start);
    for (int position = 1; position <= m_positionCount; ++position)
        m_questions[size_t(position)] = m_setup.questions[start + position - 1];
}

int ExamAttempt::displayNumber(int position) const
{
    if (!m_setup.questions.isEmpty())
        return m_pageStart + position;
    if (m_setup.mode == AttemptMode::OfficialExam && !m_additionalBlocks.isEmpty() &&
        m_officialPart != OfficialPart::Main && m_officialPart != OfficialPart::BetweenParts)
        return OfficialExamRules::MainQuestionCount + position;
    return position;
}

bool ExamAttempt::positionReachable(int position) const
{
    if (position < 1 || position > m_positionCount)
        return false;
    if (m_setup.mode != AttemptMode::Marathon)
        return true;
    for (int earlier = 1; earlier < position; ++earlier) {
        if (!positionDone(earlier))
            return false;
    }
    return true;
}

bool ExamAttempt::positionDone(int position) const
{
    return questionState(position) != QuestionState::NotAnswered ||
           (position >= 1 && position <= m_positionCount && m_skipped[size_t(position)]);
}

bool ExamAttempt::skipUnreadable()
{
    if (!isRunning() || m_setup.mode != AttemptMode::Marathon || !m_positionRead ||
        m_questionReadable || positionDone(m_position) || !positionReachable(m_position))
        return false;
    // Nothing is recorded for a question that could not be shown; the
    // marathon just goes past it.
    m_skipped[size_t(m_position)] = true;
    ++m_sequenceAnsweredThisRun;
    if (m_listener)
        m_listener->sequenceAdvanced(sequenceAnswered(), sequenceRight(), sequenceWrong());
    return true;
}

bool ExamAttempt::selectPosition(int position, QString *error)
{
    if (position < 1 || position > m_positionCount)
        return false;
    m_position = position;
    m_positionRead = true;
    m_secondsOnQuestion = 0;
    const int absolute = m_questions[size_t(position)];
    // In preparation the ticket follows the question shown.
    m_ticket = ticketOf(absolute);
    m_questionNumber = questionOf(absolute);

    Question question;
    question.answerTexts = m_question.answerTexts;
    try {
        m_database.readQuestion(absolute, question);
    } catch (const QuestionBankError &e) {
        m_questionReadable = false;
        if (error)
            *error = e.message();
        return false;
    }
    m_question = std::move(question);
    m_questionReadable = true;
    m_correctVariant = m_question.correctVariant;
    if (m_setup.shuffleVariants)
        placeCorrectVariant();
    return true;
}

void ExamAttempt::placeCorrectVariant()
{
    // The place is drawn on the first showing and kept for the attempt; the
    // variant shown there changes places with the correct one.
    int &place = m_shufflePlaces[size_t(m_position)];
    if (place == 0)
        place = ProgramRandom::random(m_question.answerCount) + 1;
    m_correctVariant = place;
}

int ExamAttempt::nextPosition() const
{
    return m_position % std::max(m_positionCount, 1) + 1;
}

int ExamAttempt::storedVariant(int shownPlace) const
{
    return VariantShuffle::exchanged(shownPlace, m_question.correctVariant, m_correctVariant);
}

QStringList ExamAttempt::variantTexts() const
{
    QStringList texts;
    for (int n = 1; n <= m_question.answerCount && n <= MaxVariants; ++n)
        texts << m_question.answerTexts[size_t(storedVariant(n))];
    return texts;
}

QuestionStats ExamAttempt::questionStats() const
{
    return m_record.questionStats(m_ticket, m_questionNumber);
}

ExamAttempt::QuestionState ExamAttempt::questionState(int position) const
{
    if (position < 1 || position > m_positionCount)
        return QuestionState::NotAnswered;
    return m_states[size_t(position)];
}

bool ExamAttempt::answersOpen() const
{
    if (!isRunning() || !m_questionReadable)
        return false;
    // Learning never locks a question; the other modes take one answer.
    if (m_setup.mode == AttemptMode::Learning)
        return true;
    if (questionState(m_position) != QuestionState::NotAnswered)
        return false;
    switch (m_setup.mode) {
    case AttemptMode::OfficialExam:
        // Between the parts and once decided nothing is asked.
        return m_officialPart == OfficialPart::Main || m_officialPart == OfficialPart::Additional;
    case AttemptMode::Marathon:
        return positionReachable(m_position);
    default:
        return true;
    }
}

bool ExamAttempt::commentVisible() const
{
    return m_setup.mode != AttemptMode::Exam && m_setup.mode != AttemptMode::OfficialExam &&
           questionState(m_position) == QuestionState::AnsweredWrongly;
}

void ExamAttempt::setQuestionState(int position, QuestionState state)
{
    m_states[size_t(position)] = state;
    emit questionStateChanged(position, state);
}

ExamAttempt::AnswerOutcome ExamAttempt::answer(int variant)
{
    AnswerOutcome outcome;
    if (!answersOpen() || variant < 1 || variant > MaxVariants)
        return outcome;
    outcome.accepted = true;
    const int chosen = storedVariant(variant);
    if (m_listener) {
        m_listener->answerGiven(m_questions[size_t(m_position)], chosen,
                                variant == m_correctVariant, m_secondsOnQuestion);
    }
    m_secondsOnQuestion = 0;
    m_chosenVariants[size_t(m_position)] = chosen;
    outcome.correct = variant == m_correctVariant;
    if (outcome.correct) {
        ++m_correctCount;
        setQuestionState(m_position, QuestionState::AnsweredCorrectly);
        m_record.addCorrect(m_ticket, m_questionNumber, statMode());
    } else {
        ++m_wrongCount;
        setQuestionState(m_position, QuestionState::AnsweredWrongly);
        m_record.addWrong(m_ticket, m_questionNumber, statMode());
    }
    // A wrong answer in learning takes a correct mark back.
    m_correctItemCount =
        int(std::count(m_states.begin() + 1, m_states.begin() + 1 + m_positionCount,
                       QuestionState::AnsweredCorrectly));

    switch (m_setup.mode) {
    case AttemptMode::Learning:
        outcome.moveOn = outcome.correct;
        outcome.showComment = !outcome.correct;
        break;
    case AttemptMode::Training:
        outcome.moveOn = outcome.correct;
        outcome.showComment = outcome.lockAnswers = !outcome.correct;
        break;
    case AttemptMode::Exam:
        outcome.moveOn = true;
        break;
    case AttemptMode::OfficialExam:
        outcome.moveOn = true;
        if (m_officialPart == OfficialPart::Main)
            checkOfficialMainPart(false);
        else
            checkOfficialAdditionalPart(false);
        break;
    case AttemptMode::Marathon:
        outcome.moveOn = outcome.correct;
        outcome.showComment = outcome.lockAnswers = !outcome.correct;
        ++m_sequenceAnsweredThisRun;
        if (m_listener)
            m_listener->sequenceAdvanced(sequenceAnswered(), sequenceRight(), sequenceWrong());
        break;
    }
    return outcome;
}

ExamAttempt::FollowUp ExamAttempt::followUp() const
{
    if (!isRunning())
        return FollowUp::None;
    switch (m_setup.mode) {
    case AttemptMode::Learning:
        if (m_correctItemCount != m_positionCount)
            return FollowUp::None;
        if (m_setup.questions.isEmpty() || isPreparation())
            return FollowUp::AskCompletion;
        // A set has no next ticket to go on with; a long one has pages.
        return hasNextPage() ? FollowUp::AskNextPage : FollowUp::Finish;
    case AttemptMode::OfficialExam:
        if (m_officialPart == OfficialPart::Decided)
            return FollowUp::Finish;
        if (m_officialPart == OfficialPart::BetweenParts)
            return FollowUp::AnnounceAdditionalPart;
        return FollowUp::None;
    case AttemptMode::Marathon:
        // After a wrong last answer the learner reads its comment first and
        // ends the marathon themselves.
        return sequenceComplete() && questionState(m_position) == QuestionState::AnsweredCorrectly
                   ? FollowUp::Finish
                   : FollowUp::None;
    case AttemptMode::Training:
    case AttemptMode::Exam:
        if (m_correctCount + m_wrongCount == QuestionsPerTicket)
            return FollowUp::Finish;
        if (m_setup.mode == AttemptMode::Exam && !m_threeErrorsAsked && m_wrongCount == 3)
            return FollowUp::AskThreeErrors;
        return FollowUp::None;
    }
    return FollowUp::None;
}

void ExamAttempt::continueWithNextTicket()
{
    if (!isRunning())
        return;
    if (usesTicket())
        m_record.setTicketStatus(m_ticket, TicketStatus::LearningCompleted);
    if (m_listener) {
        AttemptResult result = countsSoFar();
        result.passed = true;
        m_listener->attemptEnded(result, true);
        // Ended and reported: the start below must not report it again.
        m_phase = Phase::EndedUnsaved;
    }
    m_ticket = m_ticket % TicketCount + 1;
    start();
}

void ExamAttempt::countSecond()
{
    if (!isRunning())
        return;
    ++m_secondsOnQuestion;
    m_record.addSecond(m_ticket, m_questionNumber, statMode());
    emit secondCounted();
}

void ExamAttempt::countDown()
{
    if (!isRunning())
        return;
    const bool official = m_setup.mode == AttemptMode::OfficialExam;
    if (m_setup.mode != AttemptMode::Exam && !official)
        return;
    // Between the official exam's parts and once it is decided no clock runs.
    if (official && m_officialPart != OfficialPart::Main &&
        m_officialPart != OfficialPart::Additional)
        return;
    // Whole seconds: the end falls exactly on the tick numbered by the limit.
    --m_remainingSeconds;
    emit remainingTimeChanged(m_remainingSeconds);
    if (m_remainingSeconds > 0)
        return;
    if (official) {
        if (m_officialPart == OfficialPart::Main)
            checkOfficialMainPart(true);
        else
            checkOfficialAdditionalPart(true);
    }
    emit timeUp();
}

// --- Pages --------------------------------------------------------------------

bool ExamAttempt::hasNextPage() const
{
    return !m_setup.questions.isEmpty() && m_pageStart + m_positionCount < m_setup.questions.size();
}

bool ExamAttempt::pageComplete() const
{
    const auto first = m_states.begin() + 1;
    const auto last = first + m_positionCount;
    if (m_setup.mode == AttemptMode::Learning)
        return std::all_of(first, last,
                           [](QuestionState s) { return s == QuestionState::AnsweredCorrectly; });
    for (int position = 1; position <= m_positionCount; ++position) {
        if (!positionDone(position))
            return false;
    }
    return true;
}

void ExamAttempt::turnPage()
{
    if (!isRunning() || !hasNextPage())
        return;
    clearPositions();
    setPage(m_pageStart + m_positionCount);
    m_position = 1;
    emit pageChanged();
}

bool ExamAttempt::sequenceComplete() const
{
    return !m_setup.questions.isEmpty() && sequenceAnswered() >= sequenceLength();
}

AttemptResult ExamAttempt::countsSoFar() const
{
    AttemptResult result;
    result.mode = m_setup.mode;
    result.ticket = m_ticket;
    result.correctCount = m_correctCount;
    result.errorCount = QuestionsPerTicket - m_correctCount;
    if (!m_setup.questions.isEmpty())
        result.errorCount = m_wrongCount;
    if (m_setup.mode == AttemptMode::OfficialExam) {
        result.ticket = m_mainTicket;
        result.official = officialReport();
        result.errorCount = int(result.official->mistakes.size());
    }
    return result;
}

AttemptResult ExamAttempt::finish()
{
    if (isRunning() && m_setup.mode == AttemptMode::OfficialExam &&
        m_officialPart != OfficialPart::Decided)
        decideOfficial(Failure::Stopped);
    AttemptResult result = countsSoFar();
    if (!isRunning())
        return result;
    m_phase = Phase::EndedUnsaved;

    const int status = m_record.ticketStatus(m_ticket);
    switch (m_setup.mode) {
    case AttemptMode::Learning:
        // Exactly twenty: a question answered correctly twice does not count
        // as learning the ticket. A set is learnt when its last page is.
        result.passed = m_setup.questions.isEmpty() ? m_correctCount == QuestionsPerTicket
                                                    : pageComplete() && !hasNextPage();
        if (usesTicket() && result.passed && status == TicketStatus::NotPassed)
            m_record.setTicketStatus(m_ticket, TicketStatus::LearningCompleted);
        break;
    case AttemptMode::Training:
        result.passed = m_correctCount == QuestionsPerTicket;
        if (!result.passed)
            m_record.setTicketStatus(m_ticket, TicketStatus::Failed);
        else if (status != TicketStatus::ExamPassed)
            m_record.setTicketStatus(m_ticket, TicketStatus::TrainingPassed);
        break;
    case AttemptMode::Exam:
        // Two errors are allowed.
        result.passed = m_correctCount >= QuestionsPerTicket - 2;
        result.elapsedSeconds = m_setup.timeLimitSeconds - m_remainingSeconds;
        m_record.setTicketStatus(m_ticket,
                                 result.passed ? TicketStatus::ExamPassed : TicketStatus::Failed);
        break;
    case AttemptMode::OfficialExam:
        // Ticket statuses stay: the ticket was drawn, not chosen.
        result.passed = m_officialFailure == Failure::None;
        result.elapsedSeconds = m_secondsUsed;
        break;
    case AttemptMode::Marathon:
        result.passed = sequenceComplete();
        break;
    }
    if (m_listener)
        m_listener->attemptEnded(result, true);
    return result;
}

void ExamAttempt::leaveUnsaved()
{
    if (m_phase == Phase::EndedUnsaved)
        m_phase = Phase::Saved;
}

void ExamAttempt::saveProgress()
{
    if (m_phase != Phase::EndedUnsaved)
        return;
    saveStatistics(m_record, m_setup.progressPath);
    m_phase = Phase::Saved;
}
