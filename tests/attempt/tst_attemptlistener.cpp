// What the attempt engine tells a listener (the answer history's seam), and
// the attempts over a set of questions the history chooses.
#include "examattempt.h"
#include "programrandom.h"
#include "question.h"
#include "questiondatabase.h"
#include "statrecord.h"
#include "syntheticdatabase.h"

#include <QBuffer>
#include <QDir>
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

QTEST_MAIN(AttemptListenerTest)
#include "tst_attemptlistener.moc"
