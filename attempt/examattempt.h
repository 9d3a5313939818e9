#pragma once

#include "attemptlistener.h"
#include "attemptsetup.h"
#include "officialexamrules.h"
#include "question.h"
#include "statrecord.h"

#include <QImage>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

class QuestionDatabase;

// A question the exam by the official rules counted as an error.
struct ExamMistake
{
    int number = 0;        // as the question list showed it: 1..20, additional 21..30
    int question = 0;      // absolute, 1..800
    int chosenVariant = 0; // the stored number of the variant chosen; 0: no answer
    // The place the correct variant was shown at when the variants were
    // shuffled; 0 when they were shown as stored.
    int correctPlace = 0;

    friend bool operator==(const ExamMistake &, const ExamMistake &) = default;
};

// How an exam by the official rules went, beyond the counts.
struct OfficialExamReport
{
    OfficialExamRules::Failure failure = OfficialExamRules::Failure::None;
    int failedBlock = -1;         // two errors in this block (0..3); -1 otherwise
    int additionalBlockCount = 0; // 0..2
    QList<ExamMistake> mistakes;  // in the order of their numbers
};

// How one attempt ended, as the result dialog reports it.
struct AttemptResult
{
    AttemptMode mode = AttemptMode::Learning;
    bool passed = false;
    int ticket = 0;
    int correctCount = 0;
    int errorCount = 0;     // questions not answered correctly
    int elapsedSeconds = 0; // exams: the time spent on them
    std::optional<OfficialExamReport> official;
};

// One attempt in any mode: learning, preparation, training and exam over a
// ticket's twenty questions; learning over a set of questions (mistakes,
// review, a topic); the exam by the official rules with its additional
// blocks; the marathon through all questions. It owns the order and state of
// the questions, the variant shuffle, the answers and their counts, the
// rules of each mode, the countdown, the seconds spent per question and the
// ticket's status at the end. It changes the progress record as the learner
// goes and saves it when asked.
//
// The questions are shown a page at a time: at most twenty positions, which
// the question list shows. A ticket is one page of twenty; a longer set or
// the marathon turns pages (turnPage()); the official exam's additional
// questions are a page of their own (startAdditionalPart()). pageChanged()
// says that the positions changed.
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
        // Official exam: the main part ended with one or two errors. The
        // window says so, then calls startAdditionalPart().
        AnnounceAdditionalPart,
        // Learning over a set longer than a page: every question of this
        // page answered correctly. Yes turns the page, No ends the attempt.
        AskNextPage,
    };

    // Where an exam by the official rules stands.
    enum class OfficialPart
    {
        Main,
        // The main part is over with one or two errors; the additional
        // questions have not started.
        BetweenParts,
        Additional,
        // Decided: passed or failed; the attempt only waits for finish().
        Decided,
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
    // The question database the attempt reads, for a review of its questions.
    QuestionDatabase &database() const { return m_database; }
    // Someone to tell about starts, answers and ends; not owned, may be null.
    void setListener(AttemptListener *listener) { m_listener = listener; }
    AttemptMode mode() const { return m_setup.mode; }
    // Learning over a drawn set of questions from all tickets.
    bool isPreparation() const;
    // Works through one ticket's questions, whose status it may change:
    // learning, training or exam over a ticket.
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
    // The learner gave up saving this attempt: it no longer awaits a save.
    // Its counters stay in the record and reach the file with the next
    // save that succeeds.
    void leaveUnsaved();
    // Counts starts, so that an answer to a question asked of an attempt that
    // has ended or started again meanwhile is recognised.
    int generation() const { return m_generation; }

    // Makes `position` the shown question and reads it. Returns false when
    // the question cannot be read (`error` says why); the attempt goes on,
    // but that question cannot be answered.
    bool selectPosition(int position, QString *error = nullptr);
    int position() const { return m_position; }
    int nextPosition() const;
    // How many positions this page has (at most twenty).
    int positionCount() const { return m_positionCount; }
    // The number the question list shows for a position: the place in a
    // longer set or the marathon (1..800), 21..30 for the official exam's
    // additional questions, otherwise the position.
    int displayNumber(int position) const;
    // Whether the learner may go to a position: the marathon is answered in
    // its order, so a question after the first unanswered one waits.
    bool positionReachable(int position) const;
    // Answered, or passed over by the marathon because it could not be read.
    bool positionDone(int position) const;
    // Marathon: goes past the shown question when it cannot be read, so that
    // a damaged question never stops the marathon. Records nothing; returns
    // false when there is nothing to pass over.
    bool skipUnreadable();
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

    // Pages of a longer set and of the marathon.
    bool hasNextPage() const;
    // Every position of this page is answered (marathon) or answered
    // correctly (learning).
    bool pageComplete() const;
    // Shows the next page; its questions start unanswered. Emits pageChanged().
    void turnPage();
    // The whole set: its length and how many of it were answered, over
    // every run of a marathon.
    int sequenceLength() const { return int(m_setup.questions.size()); }
    int sequenceAnswered() const { return m_setup.startIndex + m_sequenceAnsweredThisRun; }
    bool sequenceComplete() const;
    // Marathon: right and wrong answers since it began, over every run.
    int sequenceRight() const { return m_setup.rightSoFar + m_correctCount; }
    int sequenceWrong() const { return m_setup.wrongSoFar + m_wrongCount; }

    // The exam by the official rules.
    OfficialPart officialPart() const { return m_officialPart; }
    OfficialExamRules::Failure officialFailure() const { return m_officialFailure; }
    // One or two additional blocks: the blocks (0..3) of the main part that
    // had an error. Known from BetweenParts on.
    const QList<int> &additionalBlocks() const { return m_additionalBlocks; }
    // Which additional block (1 or 2) a position of the additional page is in.
    int additionalBlockOf(int position) const;
    // After AnnounceAdditionalPart: draws the additional questions and starts
    // their countdown (five minutes a block). Emits pageChanged().
    void startAdditionalPart();

    // One second on the shown question, counted for this mode.
    void countSecond();
    // One second off the exam's countdown; emits timeUp() when it reaches 0.
    // In the official exam the part whose time ran out ends at once: its
    // unanswered questions count as errors, and followUp() says what next.
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
    void pageChanged();
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
    // Fills the question at every position: the ticket's twenty in order, the
    // drawn preparation set, the first page of a set, or a drawn ticket for
    // the official exam. A new kind of attempt that works through other
    // questions sets them here.
    void chooseQuestions();
    // Shows the page of the set that starts at `start`.
    void setPage(int start);
    void clearPositions();
    // The official exam after an answer or when its time ran out.
    void checkOfficialMainPart(bool timeUp);
    void checkOfficialAdditionalPart(bool timeUp);
    void decideOfficial(OfficialExamRules::Failure failure, int failedBlock = -1);
    OfficialExamReport officialReport() const;
    void placeCorrectVariant();
    // The stored number of the variant shown at `shownPlace`.
    int storedVariant(int shownPlace) const;
    AttemptResult countsSoFar() const;
    int statMode() const;

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
    bool m_positionRead = false; // selectPosition() tried to read the position
    int m_correctVariant = 0;    // in shown order

    // Indexed 1..20; slot 0 is unused.
    std::array<QuestionState, 21> m_states{};
    std::array<int, 21> m_questions{};      // absolute question numbers 1..800
    std::array<int, 21> m_shufflePlaces{};  // 0: not drawn yet
    std::array<int, 21> m_chosenVariants{}; // stored numbers; 0: no answer
    std::array<bool, 21> m_skipped{};       // marathon: passed over, unreadable
    int m_positionCount = 0;
    int m_pageStart = 0; // the index in the set of position 1
    int m_sequenceAnsweredThisRun = 0;

    // The official exam.
    OfficialPart m_officialPart = OfficialPart::Main;
    OfficialExamRules::Failure m_officialFailure = OfficialExamRules::Failure::None;
    int m_officialFailedBlock = -1;
    int m_mainTicket = 0;
    QList<int> m_additionalBlocks;
    QList<ExamMistake> m_mainMistakes;
    int m_secondsUsed = 0; // on parts already over

    int m_correctCount = 0;
    int m_wrongCount = 0;
    int m_correctItemCount = 0;
    bool m_threeErrorsAsked = false;
    int m_remainingSeconds = 0;
    int m_secondsOnQuestion = 0;
    AttemptListener *m_listener = nullptr;
};
