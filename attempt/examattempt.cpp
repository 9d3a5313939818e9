#include "examattempt.h"

#include "programrandom.h"
#include "questionbankerror.h"
#include "questiondatabase.h"
#include "statisticsfile.h"

#include <algorithm>

using namespace QuestionBankLayout;

ExamAttempt::ExamAttempt(const AttemptSetup &setup, QuestionDatabase &database, StatRecord &record,
                         QObject *parent)
    : QObject(parent), m_setup(setup), m_database(database), m_record(record),
      m_ticket(setup.ticket)
{
}

bool ExamAttempt::isPreparation() const
{
    return m_setup.mode == AttemptMode::Learning && m_setup.preparation;
}

bool ExamAttempt::usesTicket() const
{
    return !isPreparation() && m_setup.questions.isEmpty();
}

void ExamAttempt::start()
{
    if (m_listener && m_phase == Phase::Running)
        m_listener->attemptEnded(countsSoFar(), false);
    ++m_generation;
    m_phase = Phase::Running;
    ProgramRandom::randomize();
    m_shufflePlaces.fill(0);
    chooseQuestions();
    m_threeErrorsAsked = false;
    m_correctCount = 0;
    m_wrongCount = 0;
    m_correctItemCount = 0;
    m_states.fill(QuestionState::NotAnswered);
    m_secondsOnQuestion = 0;
    if (m_setup.mode == AttemptMode::Exam)
        m_remainingSeconds = m_setup.timeLimitSeconds;
    if (m_listener)
        m_listener->attemptStarted();
    emit started();
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
    if (isPreparation()) {
        m_questions = drawn;
        return;
    }
    if (!m_setup.questions.isEmpty()) {
        // A set chosen from the history; positions past its end repeat it
        // from the start, so the twenty places always hold a question.
        for (int position = 1; position <= QuestionsPerTicket; ++position) {
            m_questions[size_t(position)] =
                m_setup.questions[(position - 1) % m_setup.questions.size()];
        }
        return;
    }
    for (int position = 1; position <= QuestionsPerTicket; ++position)
        m_questions[size_t(position)] = absoluteNumber(m_ticket, position);
}

bool ExamAttempt::selectPosition(int position, QString *error)
{
    if (position < 1 || position > QuestionsPerTicket)
        return false;
    m_position = position;
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
    return m_position % QuestionsPerTicket + 1;
}

int ExamAttempt::storedVariant(int shownPlace) const
{
    // The inverse of the exchange in variantTexts().
    const int stored = m_question.correctVariant;
    const int shown = m_correctVariant;
    if (shownPlace == shown)
        return stored;
    if (shownPlace == stored)
        return shown;
    return shownPlace;
}

QStringList ExamAttempt::variantTexts() const
{
    // With the shuffle the correct variant and the one at its drawn place
    // change places; the others stay.
    const int stored = m_question.correctVariant;
    const int shown = m_correctVariant;
    QStringList texts;
    for (int n = 1; n <= m_question.answerCount && n <= MaxVariants; ++n) {
        int source = n;
        if (n == shown)
            source = stored;
        else if (n == stored)
            source = shown;
        texts << m_question.answerTexts[size_t(source)];
    }
    return texts;
}

QuestionStats ExamAttempt::questionStats() const
{
    return m_record.questionStats(m_ticket, m_questionNumber);
}

ExamAttempt::QuestionState ExamAttempt::questionState(int position) const
{
    if (position < 1 || position > QuestionsPerTicket)
        return QuestionState::NotAnswered;
    return m_states[size_t(position)];
}

bool ExamAttempt::answersOpen() const
{
    // Learning never locks a question; the other modes take one answer.
    return isRunning() && m_questionReadable &&
           (m_setup.mode == AttemptMode::Learning ||
            questionState(m_position) == QuestionState::NotAnswered);
}

bool ExamAttempt::commentVisible() const
{
    return m_setup.mode != AttemptMode::Exam &&
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
    if (m_listener) {
        m_listener->answerGiven(m_questions[size_t(m_position)], storedVariant(variant),
                                variant == m_correctVariant, m_secondsOnQuestion);
    }
    m_secondsOnQuestion = 0;
    if (variant == m_correctVariant) {
        outcome.correct = true;
        outcome.moveOn = true;
        ++m_correctCount;
        setQuestionState(m_position, QuestionState::AnsweredCorrectly);
        m_record.addCorrect(m_ticket, m_questionNumber, statMode());
        if (m_setup.mode == AttemptMode::Learning) {
            m_correctItemCount = int(
                std::count(m_states.begin() + 1, m_states.end(), QuestionState::AnsweredCorrectly));
        }
        return outcome;
    }
    ++m_wrongCount;
    setQuestionState(m_position, QuestionState::AnsweredWrongly);
    m_record.addWrong(m_ticket, m_questionNumber, statMode());
    switch (m_setup.mode) {
    case AttemptMode::Learning:
        outcome.showComment = true;
        // A wrong answer takes a correct mark back.
        m_correctItemCount =
            int(std::count(m_states.begin() + 1, m_states.end(), QuestionState::AnsweredCorrectly));
        break;
    case AttemptMode::Training:
        outcome.showComment = true;
        outcome.lockAnswers = true;
        break;
    case AttemptMode::Exam:
        outcome.moveOn = true;
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
        if (m_correctItemCount != QuestionsPerTicket)
            return FollowUp::None;
        // A set from the history has no next ticket to go on with.
        return m_setup.questions.isEmpty() ? FollowUp::AskCompletion : FollowUp::Finish;
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
    if (!isRunning() || m_setup.mode != AttemptMode::Exam)
        return;
    // Whole seconds: the end falls exactly on the tick numbered by the limit.
    --m_remainingSeconds;
    emit remainingTimeChanged(m_remainingSeconds);
    if (m_remainingSeconds <= 0)
        emit timeUp();
}

AttemptResult ExamAttempt::countsSoFar() const
{
    AttemptResult result;
    result.mode = m_setup.mode;
    result.ticket = m_ticket;
    result.correctCount = m_correctCount;
    result.errorCount = QuestionsPerTicket - m_correctCount;
    return result;
}

AttemptResult ExamAttempt::finish()
{
    AttemptResult result = countsSoFar();
    if (!isRunning())
        return result;
    m_phase = Phase::EndedUnsaved;

    const int status = m_record.ticketStatus(m_ticket);
    switch (m_setup.mode) {
    case AttemptMode::Learning:
        // Exactly twenty: a question answered correctly twice does not count
        // as learning the ticket.
        result.passed = m_correctCount == QuestionsPerTicket;
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
    }
    if (m_listener)
        m_listener->attemptEnded(result, true);
    return result;
}

void ExamAttempt::saveProgress()
{
    if (m_phase != Phase::EndedUnsaved)
        return;
    saveStatistics(m_record, m_setup.progressPath);
    m_phase = Phase::Saved;
}
