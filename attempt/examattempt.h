#pragma once

#include "attemptlistener.h"
#include "attemptsetup.h"
#include "question.h"
#include "statrecord.h"

#include <QImage>
#include <QObject>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

class QuestionDatabase;

// How one attempt ended, as the result dialog reports it.
struct AttemptResult
{
    AttemptMode mode = AttemptMode::Learning;
    bool passed = false;
    int ticket = 0;
    int correctCount = 0;
    int errorCount = 0;     // questions not answered correctly
    int elapsedSeconds = 0; // exam: the time limit minus the time left
};

// One run through twenty questions in learning, preparation, training or exam:
// the order and state of the questions, the variant shuffle, the answers and
// their counts, the completion and three-errors rules, the countdown, the
// seconds spent per question and the ticket's status at the end. It changes
// the progress record as the learner goes and saves it when asked.
//
// The engine knows no widgets. A window shows what it says and forwards the
// learner's input: selectPosition() for a chosen question, answer() for a
// variant, countSecond() and countDown() for the two one-second clocks. After
// an answer the window shows the question the outcome points to, then asks
// followUp() whether the learner must be asked something or the attempt ends.
// Questions the learner must answer (completion, three errors, time up) are
// the window's to ask; the engine only says when.
//
// Positions, variants and tickets are numbered from 1.
class ExamAttempt : public QObject
{
    Q_OBJECT

public:
    enum class QuestionState
    {
        NotAnswered = 0,
        AnsweredWrongly = 1,
        AnsweredCorrectly = 2,
    };
    Q_ENUM(QuestionState)

    // What follows an answer once the question it leads to is shown.
    enum class FollowUp
    {
        None,
        // Learning: all twenty answered correctly. Yes goes on with the next
        // ticket (continueWithNextTicket), No ends the attempt.
        AskCompletion,
        // Training and exam: all twenty answered.
        Finish,
        // Exam: the third error, asked once. Anything but Yes ends the attempt.
        AskThreeErrors,
    };

    struct AnswerOutcome
    {
        bool accepted = false; // false: nothing was recorded
        bool correct = false;
        bool moveOn = false;      // show nextPosition()
        bool showComment = false; // stay and show the comment
        bool lockAnswers = false; // stay, and the question takes no more answers
    };

    ExamAttempt(const AttemptSetup &setup, QuestionDatabase &database, StatRecord &record,
                QObject *parent = nullptr);

    const AttemptSetup &setup() const { return m_setup; }
    // Someone to tell about starts, answers and ends; not owned, may be null.
    void setListener(AttemptListener *listener) { m_listener = listener; }
    AttemptMode mode() const { return m_setup.mode; }
    // Learning over a drawn set of questions from all tickets.
    bool isPreparation() const;
    // Works through one ticket's questions, whose status it may change: not
    // preparation, not a set of questions from the setup.
    bool usesTicket() const;

    // Starts (or starts again): reseeds the random numbers, chooses the
    // questions (always drawing a preparation set first, whatever the mode,
    // so the draws that follow do not depend on it), clears answers, counts
    // and shuffle places, and sets the countdown to the limit. Emits
    // started(). The window then selects position 1.
    void start();
    bool isRunning() const { return m_phase == Phase::Running; }
    // Ended, but the progress is not saved yet.
    bool awaitsSave() const { return m_phase == Phase::EndedUnsaved; }
    // Counts starts, so that an answer to a question asked of an attempt that
    // has ended or started again meanwhile is recognised.
    int generation() const { return m_generation; }

    // Makes `position` the shown question and reads it. Returns false when
    // the question cannot be read (`error` says why); the attempt goes on,
    // but that question cannot be answered.
    bool selectPosition(int position, QString *error = nullptr);
    int position() const { return m_position; }
    int nextPosition() const;
    int ticket() const { return m_ticket; }
    int questionNumber() const { return m_questionNumber; }
    bool questionReadable() const { return m_questionReadable; }

    // The shown question; the variants in the order shown (shuffled if set).
    QString questionText() const { return m_question.questionText; }
    const std::optional<QImage> &picture() const { return m_question.picture; }
    int answerCount() const { return m_question.answerCount; }
    QStringList variantTexts() const;
    int correctVariant() const { return m_correctVariant; }
    QString commentText() const { return m_question.commentText; }
    // All counters of the shown question, over every mode.
    QuestionStats questionStats() const;

    QuestionState questionState(int position) const;
    // Whether the shown question takes an answer now.
    bool answersOpen() const;
    // Whether the shown question's comment belongs on screen.
    bool commentVisible() const;

    // The learner chose `variant` (1..5) of the shown question.
    AnswerOutcome answer(int variant);
    FollowUp followUp() const;
    // Yes to the completion question: the ticket is learnt (unless this was
    // preparation), and a new attempt starts on the next ticket.
    void continueWithNextTicket();
    void markThreeErrorsAsked() { m_threeErrorsAsked = true; }

    int correctCount() const { return m_correctCount; }
    int wrongCount() const { return m_wrongCount; }

    // One second on the shown question, counted for this mode.
    void countSecond();
    // One second off the exam's countdown; emits timeUp() when it reaches 0.
    void countDown();
    int remainingSeconds() const { return m_remainingSeconds; }

    // Ends a running attempt: sets the ticket's status and says how it went.
    // The progress still has to be saved.
    AttemptResult finish();
    // Writes the progress record to the progress file. Throws StatisticsError
    // and stays unsaved when that fails, so that it can be tried again.
    void saveProgress();

signals:
    void started();
    void questionStateChanged(int position, ExamAttempt::QuestionState state);
    void secondCounted();
    void remainingTimeChanged(int seconds);
    void timeUp();

private:
    enum class Phase
    {
        NotStarted,
        Running,
        EndedUnsaved,
        Saved,
    };

    void setQuestionState(int position, QuestionState state);
    // Fills the question at every position: the ticket's twenty in order, or
    // the drawn preparation set. A new kind of attempt that works through
    // other questions sets them here.
    void chooseQuestions();
    void placeCorrectVariant();
    // The stored number of the variant shown at `shownPlace`.
    int storedVariant(int shownPlace) const;
    AttemptResult countsSoFar() const;
    int statMode() const { return int(m_setup.mode); }

    AttemptSetup m_setup;
    QuestionDatabase &m_database;
    StatRecord &m_record;

    Phase m_phase = Phase::NotStarted;
    int m_generation = 0;
    int m_ticket = 1;
    int m_position = 1;
    int m_questionNumber = 1;

    // The question is read into the same object every time, so that variant
    // slots above a question's count keep what an earlier one left there.
    Question m_question;
    bool m_questionReadable = false;
    int m_correctVariant = 0; // in shown order

    // Indexed 1..20; slot 0 is unused.
    std::array<QuestionState, 21> m_states{};
    std::array<int, 21> m_questions{};     // absolute question numbers 1..800
    std::array<int, 21> m_shufflePlaces{}; // 0: not drawn yet

    int m_correctCount = 0;
    int m_wrongCount = 0;
    int m_correctItemCount = 0;
    bool m_threeErrorsAsked = false;
    int m_remainingSeconds = 0;
    int m_secondsOnQuestion = 0;
    AttemptListener *m_listener = nullptr;
};
