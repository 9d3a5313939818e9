// What the attempt engine tells a listener (the answer history's seam), and
// the attempts over a set of questions the history chooses.
#include "databasewriter.h"
#include "examattempt.h"
#include "programrandom.h"
#include "question.h"
#include "questiondatabase.h"
#include "statrecord.h"
#include "syntheticdatabase.h"

#include <QBuffer>
#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

// Keeps every call as one line of text, in order.
class RecordingListener : public AttemptListener
{
public:
    QStringList events;
    void attemptStarted() override { events << QStringLiteral("start"); }
    void answerGiven(int question, int storedVariant, bool correct, int seconds) override
    {
        events << QStringLiteral("answer %1 v%2 %3 %4s")
                      .arg(question)
                      .arg(storedVariant)
                      .arg(correct ? "right" : "wrong")
                      .arg(seconds);
    }
    void sequenceAdvanced(int answered, int right, int wrong) override
    {
        events << QStringLiteral("at %1 %2/%3").arg(answered).arg(right).arg(wrong);
    }
    void attemptEnded(const AttemptResult &result, bool finished) override
    {
        events << QStringLiteral("end %1/%2 %3")
                      .arg(result.correctCount)
                      .arg(result.errorCount)
                      .arg(finished ? (result.passed ? "passed" : "failed") : "left");
    }
};

QList<int> firstTwenty()
{
    QList<int> values;
    for (int i = 0; i < 20; ++i)
        values << i;
    return values;
}

} // namespace

class AttemptListenerTest : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void answer_withShuffle_reportsStoredVariantAndSecondsSinceShown();
    void learningCompletion_endsOneAttemptAndStartsTheNext();
    void questionSet_learnsTheGivenQuestionsAndLeavesTicketStatusesAlone();
    void longSet_turnsAPageWhenEveryQuestionOnItIsRight();
    void marathon_goesOnFromItsPlaceInOrderAndReportsEveryStep();
    void marathon_passesOverAQuestionThatCannotBeRead();

private:
    std::unique_ptr<ExamAttempt> makeAttempt(AttemptSetup setup);
    int storedCorrectVariant(int absolute);

    QuestionDatabase m_database;
    StatRecord m_record;
    QTemporaryDir m_dir;
    RecordingListener m_listener;
};

void AttemptListenerTest::init()
{
    auto buffer = std::make_unique<QBuffer>();
    buffer->setData(SyntheticDatabase::bytes());
    m_database.openDevice(std::move(buffer));
    m_record = StatRecord();
    m_listener.events.clear();
    ProgramRandom::clearScript();
}

void AttemptListenerTest::cleanup()
{
    m_database.closeDatabase();
    ProgramRandom::clearScript();
}

std::unique_ptr<ExamAttempt> AttemptListenerTest::makeAttempt(AttemptSetup setup)
{
    setup.progressPath = QDir(m_dir.path()).filePath(QStringLiteral("stat.dat"));
    auto attempt = std::make_unique<ExamAttempt>(setup, m_database, m_record);
    attempt->setListener(&m_listener);
    return attempt;
}

int AttemptListenerTest::storedCorrectVariant(int absolute)
{
    Question question;
    m_database.readQuestion(absolute, question);
    return question.correctVariant;
}

void AttemptListenerTest::answer_withShuffle_reportsStoredVariantAndSecondsSinceShown()
{
    // The correct variant of question 1 is drawn to place 3 (draw 2).
    ProgramRandom::setScript(firstTwenty() << 2 << 0);
    AttemptSetup setup;
    setup.mode = AttemptMode::Learning;
    setup.ticket = 1;
    setup.shuffleVariants = true;
    auto attempt = makeAttempt(setup);
    attempt->start();
    QVERIFY(attempt->selectPosition(1));
    QCOMPARE(attempt->correctVariant(), 3);
    const int stored = storedCorrectVariant(1);
    QVERIFY(stored != 3);

    attempt->countSecond();
    attempt->countSecond();
    // The stored correct number now shows the variant moved away from place 3.
    QVERIFY(!attempt->answer(stored).correct);
    attempt->countSecond();
    QVERIFY(attempt->answer(3).correct);
    // An untouched place keeps its number; the seconds start again when a
    // question is shown.
    attempt->countSecond();
    QVERIFY(attempt->selectPosition(2));
    attempt->answer(attempt->correctVariant());

    QCOMPARE(m_listener.events,
             (QStringList{"start", QStringLiteral("answer 1 v3 wrong 2s"),
                          QStringLiteral("answer 1 v%1 right 1s").arg(stored),
                          QStringLiteral("answer 2 v%1 right 0s").arg(storedCorrectVariant(2))}));
}

void AttemptListenerTest::learningCompletion_endsOneAttemptAndStartsTheNext()
{
    AttemptSetup setup;
    setup.mode = AttemptMode::Learning;
    setup.ticket = 40;
    auto attempt = makeAttempt(setup);
    attempt->start();
    for (int position = 1; position <= 20; ++position) {
        QVERIFY(attempt->selectPosition(position));
        attempt->answer(attempt->correctVariant());
    }
    QCOMPARE(attempt->followUp(), ExamAttempt::FollowUp::AskCompletion);
    attempt->continueWithNextTicket();
    QCOMPARE(attempt->ticket(), 1);
    // Starting again before the end leaves the running attempt.
    attempt->start();
    attempt->finish();

    const QStringList events = m_listener.events;
    QCOMPARE(events.size(), 1 + 20 + 1 + 1 + 1 + 1 + 1);
    QCOMPARE(events.mid(21), (QStringList{"end 20/0 passed", "start", "end 0/20 left", "start",
                                          "end 0/20 failed"}));
}

void AttemptListenerTest::questionSet_learnsTheGivenQuestionsAndLeavesTicketStatusesAlone()
{
    AttemptSetup setup;
    setup.mode = AttemptMode::Learning;
    setup.ticket = 0;
    setup.questions = {45, 3, 799};
    auto attempt = makeAttempt(setup);
    attempt->start();
    QVERIFY(attempt->usesTicket() == false);
    // A set of fewer than twenty shows just its questions.
    QCOMPARE(attempt->positionCount(), 3);
    QList<int> shown;
    for (int position = 1; position <= 3; ++position) {
        QVERIFY(attempt->selectPosition(position));
        shown << (attempt->ticket() - 1) * 20 + attempt->questionNumber();
        // A wrong answer first shows the comment, as learning does.
        if (position == 1) {
            const ExamAttempt::AnswerOutcome wrong =
                attempt->answer(attempt->correctVariant() == 1 ? 2 : 1);
            QVERIFY(wrong.showComment);
            QVERIFY(attempt->commentVisible());
        }
        attempt->answer(attempt->correctVariant());
    }
    QCOMPARE(shown, (QList<int>{45, 3, 799}));
    QVERIFY(!attempt->selectPosition(4));
    // Every place right: the set ends, there is no next ticket to go on with.
    QCOMPARE(attempt->followUp(), ExamAttempt::FollowUp::Finish);
    attempt->finish();

    // Learning counters; no ticket's status changes.
    QCOMPARE(m_record.questionStats(3, 5).correct[0], 1);
    QCOMPARE(m_record.questionStats(3, 5).wrong[0], 1);
    QCOMPARE(m_record.questionStats(40, 19).correct[0], 1);
    for (int ticket = 1; ticket <= 40; ++ticket)
        QCOMPARE(m_record.ticketStatus(ticket), 0);
    QCOMPARE(m_listener.events.constLast(), QStringLiteral("end 3/1 passed"));
}

void AttemptListenerTest::longSet_turnsAPageWhenEveryQuestionOnItIsRight()
{
    // A topic of 45 questions: pages of 20, 20 and 5.
    AttemptSetup setup;
    setup.mode = AttemptMode::Learning;
    for (int q = 1; q <= 45; ++q)
        setup.questions << 800 - q;
    setup.topicName = QStringLiteral("Тема");
    auto attempt = makeAttempt(setup);
    attempt->start();
    QSignalSpy pages(attempt.get(), &ExamAttempt::pageChanged);
    for (int page = 0; page < 3; ++page) {
        const int count = page < 2 ? 20 : 5;
        QCOMPARE(attempt->positionCount(), count);
        QCOMPARE(attempt->displayNumber(1), page * 20 + 1);
        for (int position = 1; position <= count; ++position) {
            QVERIFY(attempt->selectPosition(position));
            QCOMPARE((attempt->ticket() - 1) * 20 + attempt->questionNumber(),
                     setup.questions[page * 20 + position - 1]);
            // A wrong answer first: the page is not done until it is right.
            if (position == count) {
                attempt->answer(attempt->correctVariant() == 1 ? 2 : 1);
                QCOMPARE(attempt->followUp(), ExamAttempt::FollowUp::None);
            }
            attempt->answer(attempt->correctVariant());
        }
        if (page < 2) {
            QCOMPARE(attempt->followUp(), ExamAttempt::FollowUp::AskNextPage);
            attempt->turnPage();
            QCOMPARE(pages.size(), page + 1);
            QCOMPARE(attempt->questionState(1), ExamAttempt::QuestionState::NotAnswered);
        }
    }
    QCOMPARE(attempt->followUp(), ExamAttempt::FollowUp::Finish);
    QVERIFY(attempt->finish().passed);
    for (int ticket = 1; ticket <= 40; ++ticket)
        QCOMPARE(m_record.ticketStatus(ticket), 0);
}

void AttemptListenerTest::marathon_goesOnFromItsPlaceInOrderAndReportsEveryStep()
{
    // Seven questions left of an order of 800; 790 answered, 700 right.
    AttemptSetup setup;
    setup.mode = AttemptMode::Marathon;
    for (int q = 800; q >= 1; --q)
        setup.questions << q;
    setup.startIndex = 793;
    setup.rightSoFar = 700;
    setup.wrongSoFar = 93;
    auto attempt = makeAttempt(setup);
    attempt->start();
    QCOMPARE(attempt->positionCount(), 7);
    QCOMPARE(attempt->displayNumber(1), 794);
    QVERIFY(attempt->positionReachable(1));
    QVERIFY(!attempt->positionReachable(2));
    // A later question waits its turn even when shown.
    QVERIFY(attempt->selectPosition(3));
    QVERIFY(!attempt->answersOpen());
    QVERIFY(attempt->selectPosition(1));
    QCOMPARE(attempt->questionNumber(), 7); // question 7 of ticket 1
    const ExamAttempt::AnswerOutcome wrong =
        attempt->answer(attempt->correctVariant() == 1 ? 2 : 1);
    QVERIFY(wrong.showComment && wrong.lockAnswers && !wrong.moveOn);
    QVERIFY(!attempt->answersOpen());
    QVERIFY(attempt->positionReachable(2));
    for (int position = 2; position <= 7; ++position) {
        QVERIFY(attempt->selectPosition(position));
        QVERIFY(attempt->answer(attempt->correctVariant()).moveOn);
    }
    QVERIFY(attempt->sequenceComplete());
    QCOMPARE(attempt->followUp(), ExamAttempt::FollowUp::Finish);
    QCOMPARE(attempt->sequenceRight(), 706);
    QCOMPARE(attempt->sequenceWrong(), 94);
    QVERIFY(attempt->finish().passed);
    QCOMPARE(m_listener.events.filter(QStringLiteral("at ")),
             (QStringList{"at 794 700/94", "at 795 701/94", "at 796 702/94", "at 797 703/94",
                          "at 798 704/94", "at 799 705/94", "at 800 706/94"}));
    // Learning counters.
    QCOMPARE(m_record.questionStats(1, 7).wrong[0], 1);
}

void AttemptListenerTest::marathon_passesOverAQuestionThatCannotBeRead()
{
    // Question 2 is damaged; the marathon's last questions are 3, 2, 1.
    DatabaseWriter writer;
    SyntheticDatabase::fill(writer);
    writer.setQuestion(2, DatabaseWriter::textBlock({"x", "?", "*a", "*b", "", "c"}));
    const QString path = QDir(m_dir.path()).filePath(QStringLiteral("damaged.dbv"));
    QVERIFY(writer.writeFile(path));
    m_database.openDatabase(path);

    AttemptSetup setup;
    setup.mode = AttemptMode::Marathon;
    for (int q = 800; q >= 1; --q)
        setup.questions << q;
    setup.startIndex = 797;
    auto attempt = makeAttempt(setup);
    attempt->start();
    QVERIFY(!attempt->skipUnreadable()); // nothing shown yet that could not be read
    QVERIFY(attempt->selectPosition(1));
    QVERIFY(!attempt->skipUnreadable()); // readable: it must be answered
    attempt->answer(attempt->correctVariant());
    QVERIFY(!attempt->selectPosition(2));
    QVERIFY(!attempt->answersOpen());
    QVERIFY(!attempt->positionReachable(3));
    QVERIFY(attempt->skipUnreadable());
    QVERIFY(!attempt->skipUnreadable()); // once
    QVERIFY(attempt->positionDone(2));
    QVERIFY(attempt->positionReachable(3));
    QVERIFY(attempt->selectPosition(3));
    attempt->answer(attempt->correctVariant());
    QVERIFY(attempt->sequenceComplete());
    QVERIFY(attempt->pageComplete());
    QCOMPARE(m_listener.events.filter(QStringLiteral("at ")),
             (QStringList{"at 798 1/0", "at 799 1/0", "at 800 2/0"}));
    QCOMPARE(m_record.questionStats(1, 2), QuestionStats());
}

QTEST_MAIN(AttemptListenerTest)
#include "tst_attemptlistener.moc"
