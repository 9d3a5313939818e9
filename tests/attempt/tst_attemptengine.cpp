// The attempt engine on its own: a database read from memory, a progress
// record of the test's own, scripted random numbers and no window.
#include "databasewriter.h"
#include "examattempt.h"
#include "programrandom.h"
#include "questiondatabase.h"
#include "statisticsfile.h"
#include "statrecord.h"
#include "syntheticdatabase.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using State = ExamAttempt::QuestionState;
using FollowUp = ExamAttempt::FollowUp;

namespace {

std::unique_ptr<QBuffer> memoryDevice(const QByteArray &bytes)
{
    auto buffer = std::make_unique<QBuffer>();
    buffer->setData(bytes);
    return buffer;
}

// Draws for the preparation set that give questions 1..20 in order.
QList<int> firstTwenty()
{
    QList<int> values;
    for (int i = 0; i < 20; ++i)
        values << i;
    return values;
}

int wrongVariant(const ExamAttempt &attempt)
{
    return attempt.correctVariant() == 1 ? 2 : 1;
}

} // namespace

class AttemptEngineTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void start_drawsTwentyDistinctQuestionsInEveryMode_data();
    void start_drawsTwentyDistinctQuestionsInEveryMode();
    void preparation_takesTicketAndQuestionFromTheDrawnSet();
    void shuffle_drawsAPlaceOncePerQuestion_data();
    void shuffle_drawsAPlaceOncePerQuestion();

    void answer_byModeAndCorrectness_movesOnOrStays_data();
    void answer_byModeAndCorrectness_movesOnOrStays();
    void answer_lockedUnreadableOrEnded_isIgnored();

    void learning_twentyCorrect_asksCompletionAndGoesOnWithTheNextTicket_data();
    void learning_twentyCorrect_asksCompletionAndGoesOnWithTheNextTicket();
    void exam_thirdError_isAskedOnceAndTwentyAnswersFinish();

    void countDown_reachesZeroOnTheLimitsTick_data();
    void countDown_reachesZeroOnTheLimitsTick();
    void countSecond_goesToTheModesCounterWhileRunning();

    void finish_setsTicketStatusAndResult_data();
    void finish_setsTicketStatusAndResult();
    void saveProgress_failure_staysUnsavedUntilASaveSucceeds();

private:
    std::unique_ptr<ExamAttempt> makeAttempt(AttemptMode mode, int ticket = 1,
                                             bool preparation = false, int limit = 1200,
                                             bool shuffle = false);
    // Answers by a pattern, 'c' correct and 'w' wrong, going on as the
    // outcome says.
    void answerPattern(ExamAttempt &attempt, const QString &pattern);

    QuestionDatabase m_database;
    StatRecord m_record;
    QTemporaryDir m_dir;
};

void AttemptEngineTest::init()
{
    QVERIFY(m_dir.isValid());
    m_database.openDevice(memoryDevice(SyntheticDatabase::bytes()));
    m_record = StatRecord();
    ProgramRandom::clearScript();
}

void AttemptEngineTest::cleanup()
{
    m_database.closeDatabase();
    ProgramRandom::clearScript();
}

std::unique_ptr<ExamAttempt> AttemptEngineTest::makeAttempt(AttemptMode mode, int ticket,
                                                            bool preparation, int limit,
                                                            bool shuffle)
{
    AttemptSetup setup;
    setup.mode = mode;
    setup.ticket = ticket;
    setup.preparation = preparation;
    setup.timeLimitSeconds = limit;
    setup.shuffleVariants = shuffle;
    setup.progressPath = QDir(m_dir.path()).filePath(QStringLiteral("stat.dat"));
    return std::make_unique<ExamAttempt>(setup, m_database, m_record);
}

void AttemptEngineTest::answerPattern(ExamAttempt &attempt, const QString &pattern)
{
    for (const QChar c : pattern) {
        const ExamAttempt::AnswerOutcome outcome = attempt.answer(
            c == QLatin1Char('c') ? attempt.correctVariant() : wrongVariant(attempt));
        QVERIFY(outcome.accepted);
        // A locked question is left for the next one, as the learner would.
        const bool leave = outcome.moveOn || outcome.lockAnswers;
        attempt.selectPosition(leave ? attempt.nextPosition() : attempt.position());
    }
}

void AttemptEngineTest::start_drawsTwentyDistinctQuestionsInEveryMode_data()
{
    QTest::addColumn<int>("mode");
    QTest::newRow("learning") << int(AttemptMode::Learning);
    QTest::newRow("training") << int(AttemptMode::Training);
    QTest::newRow("exam") << int(AttemptMode::Exam);
}

void AttemptEngineTest::start_drawsTwentyDistinctQuestionsInEveryMode()
{
    QFETCH(int, mode);
    // Twenty-one values: one repeat that is drawn again. The value after
    // them must still be there for the next draw.
    QList<int> draws{5, 5};
    for (int i = 1; i < 20; ++i)
        draws << 5 + i;
    ProgramRandom::setScript(draws << 2);
    auto attempt = makeAttempt(AttemptMode(mode), 3, false, 300);
    QSignalSpy started(attempt.get(), &ExamAttempt::started);
    attempt->start();

    QCOMPARE(started.size(), 1);
    QVERIFY(attempt->isRunning());
    QCOMPARE(ProgramRandom::random(10), 2);
    QCOMPARE(attempt->correctCount() + attempt->wrongCount(), 0);
    QCOMPARE(attempt->remainingSeconds(), AttemptMode(mode) == AttemptMode::Exam ? 300 : 0);
    QVERIFY(attempt->selectPosition(2));
    QCOMPARE(attempt->ticket(), 3);
    QCOMPARE(attempt->questionNumber(), 2);
    QCOMPARE(attempt->questionText(), QStringLiteral("Вопрос 42: билет 3, вопрос 2?"));
}

void AttemptEngineTest::preparation_takesTicketAndQuestionFromTheDrawnSet()
{
    QList<int> draws;
    for (int i = 0; i < 20; ++i)
        draws << 99 + 20 * i; // questions 100, 120, …: ticket 5.. question 20
    ProgramRandom::setScript(draws);
    auto attempt = makeAttempt(AttemptMode::Learning, 0, true);
    attempt->start();
    QVERIFY(attempt->isPreparation());

    QVERIFY(attempt->selectPosition(1));
    QCOMPARE(attempt->ticket(), 5);
    QCOMPARE(attempt->questionNumber(), 20);
    QVERIFY(attempt->selectPosition(3));
    QCOMPARE(attempt->ticket(), 7);
    QVERIFY(attempt->answer(attempt->correctVariant()).correct);
    QCOMPARE(m_record.questionStats(7, 20).correct[0], quint8(1));
    // Preparation is learning: training and exam ignore the flag.
    QVERIFY(!makeAttempt(AttemptMode::Training, 1, true)->isPreparation());
}

void AttemptEngineTest::shuffle_drawsAPlaceOncePerQuestion_data()
{
    QTest::addColumn<bool>("shuffle");
    QTest::addColumn<int>("draw");
    QTest::addColumn<QStringList>("variants");
    QTest::addColumn<int>("correct");
    // Question 2: four variants, the third correct.
    const QString v1 = QStringLiteral("*Ответ 2.1"), v2 = QStringLiteral("*Ответ 2.2"),
                  v3 = QStringLiteral("*Ответ 2.3"), v4 = QStringLiteral("*Ответ 2.4");
    QTest::newRow("off") << false << 0 << QStringList{v1, v2, v3, v4} << 3;
    QTest::newRow("place 1") << true << 0 << QStringList{v3, v2, v1, v4} << 1;
    QTest::newRow("place 4") << true << 3 << QStringList{v1, v2, v4, v3} << 4;
    QTest::newRow("its own place") << true << 2 << QStringList{v1, v2, v3, v4} << 3;
}

void AttemptEngineTest::shuffle_drawsAPlaceOncePerQuestion()
{
    QFETCH(bool, shuffle);
    QFETCH(int, draw);
    QFETCH(QStringList, variants);
    QFETCH(int, correct);
    ProgramRandom::setScript(firstTwenty() << draw << 1 << 1);
    auto attempt = makeAttempt(AttemptMode::Training, 1, false, 0, shuffle);
    attempt->start();
    for (int round = 0; round < 2; ++round) {
        QVERIFY(attempt->selectPosition(2));
        QCOMPARE(attempt->variantTexts(), variants);
        QCOMPARE(attempt->correctVariant(), correct);
        QVERIFY(attempt->selectPosition(3));
    }
    QVERIFY(attempt->selectPosition(2));
    QVERIFY(attempt->answer(correct).correct);
}

void AttemptEngineTest::answer_byModeAndCorrectness_movesOnOrStays_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("correct");
    QTest::addColumn<bool>("moveOn");
    QTest::addColumn<bool>("showComment");
    QTest::addColumn<bool>("lock");
    QTest::addColumn<bool>("openAfterwards");
    const int learning = int(AttemptMode::Learning);
    const int training = int(AttemptMode::Training);
    const int exam = int(AttemptMode::Exam);
    QTest::newRow("learning, correct") << learning << true << true << false << false << true;
    QTest::newRow("learning, wrong") << learning << false << false << true << false << true;
    QTest::newRow("training, correct") << training << true << true << false << false << false;
    QTest::newRow("training, wrong") << training << false << false << true << true << false;
    QTest::newRow("exam, correct") << exam << true << true << false << false << false;
    QTest::newRow("exam, wrong") << exam << false << true << false << false << false;
}

void AttemptEngineTest::answer_byModeAndCorrectness_movesOnOrStays()
{
    QFETCH(int, mode);
    QFETCH(bool, correct);
    QFETCH(bool, moveOn);
    QFETCH(bool, showComment);
    QFETCH(bool, lock);
    QFETCH(bool, openAfterwards);
    QuestionStats nearWrap;
    nearWrap.correct[size_t(mode)] = 255;
    nearWrap.wrong[size_t(mode)] = 255;
    m_record.setQuestionStats(4, 1, nearWrap);
    auto attempt = makeAttempt(AttemptMode(mode), 4);
    QSignalSpy states(attempt.get(), &ExamAttempt::questionStateChanged);
    attempt->start();
    QVERIFY(attempt->selectPosition(1));

    const ExamAttempt::AnswerOutcome outcome =
        attempt->answer(correct ? attempt->correctVariant() : wrongVariant(*attempt));
    QVERIFY(outcome.accepted);
    QCOMPARE(outcome.correct, correct);
    QCOMPARE(outcome.moveOn, moveOn);
    QCOMPARE(outcome.showComment, showComment);
    QCOMPARE(outcome.lockAnswers, lock);
    QCOMPARE(attempt->answersOpen(), openAfterwards);
    QCOMPARE(attempt->commentVisible(), !correct && AttemptMode(mode) != AttemptMode::Exam);
    const State state = correct ? State::AnsweredCorrectly : State::AnsweredWrongly;
    QCOMPARE(attempt->questionState(1), state);
    QCOMPARE(states.size(), 1);
    QCOMPARE(states.first().at(1).value<State>(), state);
    QCOMPARE(attempt->correctCount(), correct ? 1 : 0);
    QCOMPARE(attempt->wrongCount(), correct ? 0 : 1);
    // The counters are 8-bit and wrap; only the mode's own one moves.
    const QuestionStats stats = m_record.questionStats(4, 1);
    QCOMPARE(stats.correct[size_t(mode)], quint8(correct ? 0 : 255));
    QCOMPARE(stats.wrong[size_t(mode)], quint8(correct ? 255 : 0));
    QCOMPARE(stats.correctTotal() + stats.wrongTotal(), 255);
    QCOMPARE(attempt->nextPosition(), 2);
}

void AttemptEngineTest::answer_lockedUnreadableOrEnded_isIgnored()
{
    // Question 5 of ticket 1 cannot be read.
    DatabaseWriter writer;
    SyntheticDatabase::fill(writer);
    writer.setQuestion(5, DatabaseWriter::textBlock({"x", "?", "*a", "*b", "", "c"}));
    m_database.openDevice(memoryDevice(writer.toBytes()));
    auto attempt = makeAttempt(AttemptMode::Exam, 1);
    attempt->start();

    QVERIFY(attempt->selectPosition(1));
    QVERIFY(attempt->answer(attempt->correctVariant()).accepted);
    QVERIFY(!attempt->answer(attempt->correctVariant()).accepted); // one answer per question
    QVERIFY(!attempt->answer(0).accepted);
    QVERIFY(!attempt->answer(6).accepted);

    QString error;
    QVERIFY(!attempt->selectPosition(5, &error));
    QVERIFY(error.contains(QLatin1Char('5')));
    QCOMPARE(attempt->ticket(), 1);
    QCOMPARE(attempt->questionNumber(), 5);
    QVERIFY(!attempt->answersOpen());
    for (int variant = 1; variant <= 5; ++variant)
        QVERIFY(!attempt->answer(variant).accepted);
    QCOMPARE(m_record.questionStats(1, 5), QuestionStats());

    QVERIFY(attempt->selectPosition(6));
    attempt->finish();
    QVERIFY(!attempt->answer(attempt->correctVariant()).accepted);
    QCOMPARE(attempt->correctCount() + attempt->wrongCount(), 1);
    QCOMPARE(attempt->followUp(), FollowUp::None);
}

void AttemptEngineTest::learning_twentyCorrect_asksCompletionAndGoesOnWithTheNextTicket_data()
{
    QTest::addColumn<bool>("preparation");
    QTest::addColumn<int>("ticket");
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("newStatus");
    QTest::addColumn<int>("nextTicket");
    QTest::newRow("ticket 40 goes on with ticket 1") << false << 40 << 1 << 4 << 1;
    QTest::newRow("ticket 7") << false << 7 << 0 << 4 << 8;
    // In preparation the ticket is that of the last question (ticket 20 of
    // the drawn set 381..400), and no status changes.
    QTest::newRow("preparation") << true << 0 << 3 << 3 << 21;
}

void AttemptEngineTest::learning_twentyCorrect_asksCompletionAndGoesOnWithTheNextTicket()
{
    QFETCH(bool, preparation);
    QFETCH(int, ticket);
    QFETCH(int, status);
    QFETCH(int, newStatus);
    QFETCH(int, nextTicket);
    QList<int> draws;
    for (int i = 380; i < 400; ++i)
        draws << i;
    ProgramRandom::setScript(draws);
    const int statusTicket = preparation ? 20 : ticket;
    m_record.setTicketStatus(statusTicket, status);
    auto attempt = makeAttempt(AttemptMode::Learning, ticket, preparation);
    attempt->start();
    QVERIFY(attempt->selectPosition(1));

    // A wrong answer first: the question stays until it is answered right.
    answerPattern(*attempt, QStringLiteral("w"));
    QCOMPARE(attempt->position(), 1);
    QCOMPARE(attempt->followUp(), FollowUp::None);
    answerPattern(*attempt, QString(19, QLatin1Char('c')));
    QCOMPARE(attempt->followUp(), FollowUp::None);
    answerPattern(*attempt, QStringLiteral("c"));
    QCOMPARE(attempt->followUp(), FollowUp::AskCompletion);
    QCOMPARE(m_record.ticketStatus(statusTicket), status);

    const int generation = attempt->generation();
    attempt->continueWithNextTicket();
    QCOMPARE(m_record.ticketStatus(statusTicket), newStatus);
    QVERIFY(attempt->isRunning());
    QCOMPARE(attempt->generation(), generation + 1);
    QCOMPARE(attempt->correctCount(), 0);
    QCOMPARE(attempt->questionState(20), State::NotAnswered);
    QCOMPARE(attempt->followUp(), FollowUp::None);
    if (!preparation) {
        QVERIFY(attempt->selectPosition(1));
        QCOMPARE(attempt->ticket(), nextTicket);
    }
}

void AttemptEngineTest::exam_thirdError_isAskedOnceAndTwentyAnswersFinish()
{
    auto attempt = makeAttempt(AttemptMode::Exam, 2);
    attempt->start();
    QVERIFY(attempt->selectPosition(1));
    answerPattern(*attempt, QStringLiteral("cww"));
    QCOMPARE(attempt->followUp(), FollowUp::None);
    answerPattern(*attempt, QStringLiteral("w"));
    QCOMPARE(attempt->followUp(), FollowUp::AskThreeErrors);
    attempt->markThreeErrorsAsked();
    QCOMPARE(attempt->followUp(), FollowUp::None);
    answerPattern(*attempt, QStringLiteral("wcccccccccccccc"));
    QCOMPARE(attempt->followUp(), FollowUp::None);
    answerPattern(*attempt, QStringLiteral("c"));
    QCOMPARE(attempt->correctCount(), 16);
    QCOMPARE(attempt->followUp(), FollowUp::Finish);

    // The twentieth answer being the third error finishes without asking.
    auto other = makeAttempt(AttemptMode::Exam, 3);
    other->start();
    QVERIFY(other->selectPosition(1));
    answerPattern(*other, QStringLiteral("wwcccccccccccccccccw"));
    QCOMPARE(other->followUp(), FollowUp::Finish);
}

void AttemptEngineTest::countDown_reachesZeroOnTheLimitsTick_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("limit");
    QTest::addColumn<int>("ticksToEnd"); // 0: never
    QTest::newRow("exam, 3 seconds") << int(AttemptMode::Exam) << 3 << 3;
    QTest::newRow("exam, no limit chosen") << int(AttemptMode::Exam) << 0 << 1;
    QTest::newRow("training has no countdown") << int(AttemptMode::Training) << 3 << 0;
}

void AttemptEngineTest::countDown_reachesZeroOnTheLimitsTick()
{
    QFETCH(int, mode);
    QFETCH(int, limit);
    QFETCH(int, ticksToEnd);
    auto attempt = makeAttempt(AttemptMode(mode), 1, false, limit);
    QSignalSpy remaining(attempt.get(), &ExamAttempt::remainingTimeChanged);
    QSignalSpy timeUp(attempt.get(), &ExamAttempt::timeUp);
    attempt->start();
    for (int tick = 1; tick <= 4; ++tick) {
        attempt->countDown();
        QCOMPARE(timeUp.size(), ticksToEnd != 0 && tick >= ticksToEnd ? 1 : 0);
        if (ticksToEnd != 0 && tick == ticksToEnd)
            attempt->finish(); // the window ends the attempt on time-up
    }
    if (ticksToEnd == 0) {
        QVERIFY(remaining.isEmpty());
        return;
    }
    QCOMPARE(remaining.size(), ticksToEnd);
    QCOMPARE(remaining.last().at(0).toInt(), limit - ticksToEnd);
    const AttemptResult result = attempt->finish(); // already ended: no change
    QCOMPARE(result.correctCount, 0);
    QCOMPARE(m_record.ticketStatus(1), TicketStatus::Failed);
}

void AttemptEngineTest::countSecond_goesToTheModesCounterWhileRunning()
{
    auto attempt = makeAttempt(AttemptMode::Training, 6);
    QSignalSpy counted(attempt.get(), &ExamAttempt::secondCounted);
    attempt->countSecond(); // not started yet
    attempt->start();
    QVERIFY(attempt->selectPosition(3));
    attempt->countSecond();
    attempt->countSecond();
    QVERIFY(attempt->selectPosition(4));
    attempt->countSecond();
    attempt->finish();
    attempt->countSecond();

    QCOMPARE(counted.size(), 3);
    QCOMPARE(m_record.questionStats(6, 3).seconds, (std::array<qint32, 3>{0, 2, 0}));
    QCOMPARE(m_record.questionStats(6, 4).seconds, (std::array<qint32, 3>{0, 1, 0}));
    QCOMPARE(attempt->questionStats().secondsTotal(), 1);
}

void AttemptEngineTest::finish_setsTicketStatusAndResult_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("preparation");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<int>("newStatus");
    QTest::addColumn<bool>("passed");
    const int learning = int(AttemptMode::Learning);
    const int training = int(AttemptMode::Training);
    const int exam = int(AttemptMode::Exam);
    const QString all = QString(20, QLatin1Char('c'));
    QTest::newRow("learning, twenty correct") << learning << false << 0 << all << 4 << true;
    QTest::newRow("learning keeps a training pass") << learning << false << 3 << all << 3 << true;
    QTest::newRow("learning, nineteen") << learning << false << 0 << all.left(19) << 0 << false;
    QTest::newRow("preparation never sets a status") << learning << true << 0 << all << 0 << true;
    QTest::newRow("training, pass") << training << false << 0 << all << 3 << true;
    QTest::newRow("training pass keeps an exam pass") << training << false << 1 << all << 1 << true;
    QTest::newRow("training, one wrong")
        << training << false << 1 << "cw" + all.left(18) << 2 << false;
    QTest::newRow("exam, two errors pass")
        << exam << false << 0 << "ww" + all.left(18) << 1 << true;
    QTest::newRow("exam, eighteen answered") << exam << false << 0 << all.left(18) << 1 << true;
    QTest::newRow("exam, three errors") << exam << false << 1 << "www" << 2 << false;
}

void AttemptEngineTest::finish_setsTicketStatusAndResult()
{
    QFETCH(int, mode);
    QFETCH(bool, preparation);
    QFETCH(int, status);
    QFETCH(QString, pattern);
    QFETCH(int, newStatus);
    QFETCH(bool, passed);
    ProgramRandom::setScript(firstTwenty()); // preparation: ticket 1 in order
    m_record.setTicketStatus(1, status);
    auto attempt = makeAttempt(AttemptMode(mode), 1, preparation, 600);
    attempt->start();
    QVERIFY(attempt->selectPosition(1));
    answerPattern(*attempt, pattern);
    attempt->countDown();
    attempt->countDown();

    const AttemptResult result = attempt->finish();
    QVERIFY(!attempt->isRunning());
    QVERIFY(attempt->awaitsSave());
    QCOMPARE(result.mode, AttemptMode(mode));
    QCOMPARE(result.passed, passed);
    QCOMPARE(result.ticket, 1);
    QCOMPARE(result.correctCount, int(pattern.count(QLatin1Char('c'))));
    QCOMPARE(result.errorCount, 20 - result.correctCount);
    QCOMPARE(result.elapsedSeconds, AttemptMode(mode) == AttemptMode::Exam ? 2 : 0);
    QCOMPARE(m_record.ticketStatus(1), newStatus);
}

void AttemptEngineTest::saveProgress_failure_staysUnsavedUntilASaveSucceeds()
{
    const QString path = QDir(m_dir.path()).filePath(QStringLiteral("stat.dat"));
    auto attempt = makeAttempt(AttemptMode::Training, 8);
    attempt->start();
    attempt->saveProgress(); // running: nothing to save yet
    QVERIFY(!QFile::exists(path));
    QVERIFY(attempt->selectPosition(1));
    answerPattern(*attempt, QStringLiteral("cw"));
    attempt->finish();

    // A folder in the file's place cannot be written.
    QVERIFY(QDir(m_dir.path()).mkdir(QStringLiteral("stat.dat")));
    QVERIFY_THROWS_EXCEPTION(StatisticsError, attempt->saveProgress());
    QVERIFY(attempt->awaitsSave());

    QVERIFY(QDir(m_dir.path()).rmdir(QStringLiteral("stat.dat")));
    attempt->saveProgress();
    QVERIFY(!attempt->awaitsSave());
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), m_record.toBytes());
    QCOMPARE(m_record.ticketStatus(8), TicketStatus::Failed);
    QCOMPARE(m_record.questionStats(8, 2).wrong[1], quint8(1));
}

QTEST_MAIN(AttemptEngineTest)
#include "tst_attemptengine.moc"
