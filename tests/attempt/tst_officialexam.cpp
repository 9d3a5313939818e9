// The exam by the official rules on the attempt engine, without a window:
// every pattern of errors in the main part, the additional blocks drawn from
// other tickets, and the clocks of both parts. Random draws are scripted.
#include "examattempt.h"
#include "officialexamrules.h"
#include "programrandom.h"
#include "questionindexentry.h"
#include "questiondatabase.h"
#include "statrecord.h"
#include "syntheticdatabase.h"

#include <QBuffer>
#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <set>

using Failure = OfficialExamRules::Failure;
using FollowUp = ExamAttempt::FollowUp;
using Part = ExamAttempt::OfficialPart;

namespace {

// Twenty draws for the preparation set every start makes, then the ticket.
QList<int> drawsForTicket(int ticket)
{
    QList<int> draws;
    for (int i = 0; i < 20; ++i)
        draws << i;
    return draws << ticket - 1;
}

// What the rules say of a main part answered in order 1..20, stated
// independently of the engine: the exam fails at the error that is the
// second in its block or the third in all; otherwise the blocks with an
// error each bring an additional block.
struct Expected
{
    Failure failure = Failure::None;
    int failedAt = 0; // the position whose answer decided a failure
    QList<int> blocks;
};

Expected expectedFor(const std::set<int> &errors)
{
    Expected expected;
    QList<int> blocksHit;
    for (int position : errors) {
        const int block = (position - 1) / 5;
        if (blocksHit.contains(block)) {
            return {Failure::TwoErrorsInOneBlock, position, {}};
        }
        blocksHit << block;
        if (blocksHit.size() == 3)
            return {Failure::ThreeErrors, position, {}};
    }
    std::sort(blocksHit.begin(), blocksHit.end());
    expected.blocks = blocksHit;
    return expected;
}

} // namespace

class OfficialExamTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void rules_everyErrorSetOfTheMainPart();
    void mainPart_everyPatternOfUpToThreeErrors();
    void additionalBlocks_comeFromAnotherTicketAtTheSamePositions_data();
    void additionalBlocks_comeFromAnotherTicketAtTheSamePositions();
    void additionalPart_everyErrorFailsAndAllRightPasses();
    void timeUp_unansweredQuestionsCountAsErrors_data();
    void timeUp_unansweredQuestionsCountAsErrors();
    void timeUp_inTheAdditionalPartFails();
    void lastAnswer_exactlyAtTheEndOfTime();
    void stop_beforeTheEnd_failsAndKeepsTicketStatuses();

private:
    std::unique_ptr<ExamAttempt> startExam(int ticket, QList<int> laterDraws = {});
    // Answers positions first..last in order, wrong at `errors`, until the
    // attempt asks something or the range ends.
    void answerInOrder(ExamAttempt &attempt, int first, int last, const std::set<int> &errors);

    QuestionDatabase m_database;
    StatRecord m_record;
    QTemporaryDir m_dir;
};

void OfficialExamTest::init()
{
    QVERIFY(m_dir.isValid());
    auto buffer = std::make_unique<QBuffer>();
    buffer->setData(SyntheticDatabase::bytes());
    m_database.openDevice(std::move(buffer));
    m_record = StatRecord();
    ProgramRandom::clearScript();
}

void OfficialExamTest::cleanup()
{
    m_database.closeDatabase();
    ProgramRandom::clearScript();
}

std::unique_ptr<ExamAttempt> OfficialExamTest::startExam(int ticket, QList<int> laterDraws)
{
    ProgramRandom::setScript(drawsForTicket(ticket) + laterDraws);
    AttemptSetup setup;
    setup.mode = AttemptMode::OfficialExam;
    setup.timeLimitSeconds = 60; // the official exam keeps its own clock
    setup.progressPath = QDir(m_dir.path()).filePath(QStringLiteral("stat.dat"));
    auto attempt = std::make_unique<ExamAttempt>(setup, m_database, m_record);
    attempt->start();
    return attempt;
}

void OfficialExamTest::answerInOrder(ExamAttempt &attempt, int first, int last,
                                     const std::set<int> &errors)
{
    for (int position = first; position <= last; ++position) {
        if (attempt.followUp() != FollowUp::None)
            return;
        QVERIFY(attempt.selectPosition(position));
        const int variant = errors.count(position)
                                ? (attempt.correctVariant() == 1 ? 2 : 1)
                                : attempt.correctVariant();
        const ExamAttempt::AnswerOutcome outcome = attempt.answer(variant);
        QVERIFY(outcome.accepted);
        QVERIFY(outcome.moveOn);
        QVERIFY(!attempt.commentVisible());
    }
}

void OfficialExamTest::rules_everyErrorSetOfTheMainPart()
{
    // All 2^20 sets of errors, as the main part's end (or its time) sees
    // them: the decision depends only on the errors per block.
    for (quint32 mask = 0; mask < (1u << 20); ++mask) {
        QList<int> errors;
        std::array<int, 4> perBlock{};
        for (int position = 1; position <= 20; ++position) {
            if (mask & (1u << (position - 1))) {
                errors << position;
                ++perBlock[size_t((position - 1) / 5)];
            }
        }
        const auto check = OfficialExamRules::checkMainPart(errors);
        const int most = *std::max_element(perBlock.begin(), perBlock.end());
        const Failure expected = most >= 2             ? Failure::TwoErrorsInOneBlock
                                 : errors.size() >= 3 ? Failure::ThreeErrors
                                                      : Failure::None;
        if (check.failure != expected)
            QFAIL(qPrintable(QStringLiteral("mask %1").arg(mask, 0, 2)));
        if (expected == Failure::None && check.additionalBlocks.size() != errors.size())
            QFAIL(qPrintable(QStringLiteral("blocks for mask %1").arg(mask, 0, 2)));
    }
    QCOMPARE(OfficialExamRules::checkMainPart({4, 17}).additionalBlocks, (QList<int>{0, 3}));
    QCOMPARE(OfficialExamRules::checkMainPart({2, 7, 9}).failedBlock, 1);
    QCOMPARE(OfficialExamRules::checkMainPart({2, 7, 12}).failedBlock, -1);
}

void OfficialExamTest::mainPart_everyPatternOfUpToThreeErrors()
{
    // The engine decides a failure at the latest at the third error, so the
    // patterns of up to three errors are every behaviour of the main part.
    QList<std::set<int>> patterns{{}};
    for (int a = 1; a <= 20; ++a) {
        patterns.append(std::set<int>{a});
        for (int b = a + 1; b <= 20; ++b) {
            patterns.append(std::set<int>{a, b});
            for (int c = b + 1; c <= 20; ++c)
                patterns.append(std::set<int>{a, b, c});
        }
    }
    QCOMPARE(patterns.size(), 1 + 20 + 190 + 1140);

    for (const std::set<int> &errors : std::as_const(patterns)) {
        m_record = StatRecord();
        auto attempt = startExam(7);
        answerInOrder(*attempt, 1, 20, errors);
        const Expected expected = expectedFor(errors);

        if (expected.failure != Failure::None) {
            QCOMPARE(attempt->officialPart(), Part::Decided);
            QCOMPARE(attempt->followUp(), FollowUp::Finish);
            QCOMPARE(attempt->officialFailure(), expected.failure);
            // Failed at once: nothing after the deciding answer was answered.
            QCOMPARE(attempt->correctCount() + attempt->wrongCount(), expected.failedAt);
            const AttemptResult result = attempt->finish();
            QVERIFY(!result.passed);
            QCOMPARE(result.ticket, 7);
            QCOMPARE(result.official->failure, expected.failure);
            QList<int> numbers;
            for (const ExamMistake &mistake : result.official->mistakes)
                numbers << mistake.number;
            QList<int> wrong;
            for (int position : errors) {
                if (position <= expected.failedAt)
                    wrong << position;
            }
            QCOMPARE(numbers, wrong);
        } else if (expected.blocks.isEmpty()) {
            QCOMPARE(attempt->followUp(), FollowUp::Finish);
            const AttemptResult result = attempt->finish();
            QVERIFY(result.passed);
            QCOMPARE(result.official->failure, Failure::None);
            QCOMPARE(result.official->additionalBlockCount, 0);
        } else {
            QCOMPARE(attempt->officialPart(), Part::BetweenParts);
            QCOMPARE(attempt->followUp(), FollowUp::AnnounceAdditionalPart);
            QCOMPARE(attempt->additionalBlocks(), expected.blocks);
            // Nothing is asked and no clock runs between the parts.
            QVERIFY(attempt->selectPosition(1));
            QVERIFY(!attempt->answersOpen());
            const int left = attempt->remainingSeconds();
            attempt->countDown();
            QCOMPARE(attempt->remainingSeconds(), left);
        }
    }
}

void OfficialExamTest::additionalBlocks_comeFromAnotherTicketAtTheSamePositions_data()
{
    QTest::addColumn<int>("mainTicket");
    QTest::addColumn<QList<int>>("draws");
    QTest::addColumn<QList<int>>("expectedTickets");
    // A draw among the other 39 tickets: below the main ticket as it is,
    // from it on one higher, so the main ticket is never drawn again.
    QTest::newRow("below") << 10 << QList<int>{2, 30} << QList<int>{3, 32};
    QTest::newRow("the main ticket's own draw") << 10 << QList<int>{9, 0} << QList<int>{11, 1};
    QTest::newRow("last ticket") << 40 << QList<int>{38, 38} << QList<int>{39, 39};
    QTest::newRow("first ticket") << 1 << QList<int>{0, 38} << QList<int>{2, 40};
}

void OfficialExamTest::additionalBlocks_comeFromAnotherTicketAtTheSamePositions()
{
    QFETCH(int, mainTicket);
    QFETCH(QList<int>, draws);
    QFETCH(QList<int>, expectedTickets);
    auto attempt = startExam(mainTicket, draws);
    QSignalSpy pages(attempt.get(), &ExamAttempt::pageChanged);
    answerInOrder(*attempt, 1, 20, {8, 19});
    QCOMPARE(attempt->additionalBlocks(), (QList<int>{1, 3}));
    attempt->startAdditionalPart();

    QCOMPARE(pages.size(), 1);
    QCOMPARE(attempt->officialPart(), Part::Additional);
    QCOMPARE(attempt->positionCount(), 10);
    QCOMPARE(attempt->remainingSeconds(), 10 * 60);
    for (int position = 1; position <= 10; ++position) {
        QVERIFY(attempt->selectPosition(position));
        const int block = position <= 5 ? 1 : 3;
        QCOMPARE(attempt->additionalBlockOf(position), position <= 5 ? 1 : 2);
        QCOMPARE(attempt->ticket(), expectedTickets[position <= 5 ? 0 : 1]);
        QCOMPARE(attempt->questionNumber(), block * 5 + (position - 1) % 5 + 1);
        QCOMPARE(attempt->displayNumber(position), 20 + position);
        QCOMPARE(attempt->questionState(position), ExamAttempt::QuestionState::NotAnswered);
    }
}

void OfficialExamTest::additionalPart_everyErrorFailsAndAllRightPasses()
{
    // One block (error at 3) and two blocks (errors at 6 and 20); within
    // them all right, or a first error at each additional position.
    const QList<std::set<int>> mainPatterns{{3}, {6, 20}};
    for (const std::set<int> &mainErrors : mainPatterns) {
        const int additional = 5 * int(mainErrors.size());
        for (int wrongAt = 0; wrongAt <= additional; ++wrongAt) {
            m_record = StatRecord();
            auto attempt = startExam(12, {0, 1});
            answerInOrder(*attempt, 1, 20, mainErrors);
            attempt->startAdditionalPart();
            QCOMPARE(attempt->remainingSeconds(), 60 * additional);
            std::set<int> errors;
            if (wrongAt > 0)
                errors.insert(wrongAt);
            answerInOrder(*attempt, 1, additional, errors);

            QCOMPARE(attempt->followUp(), FollowUp::Finish);
            const AttemptResult result = attempt->finish();
            QCOMPARE(result.passed, wrongAt == 0);
            QCOMPARE(result.official->additionalBlockCount, int(mainErrors.size()));
            QCOMPARE(result.official->failure,
                     wrongAt == 0 ? Failure::None : Failure::AdditionalError);
            // At once: the error is the last answer.
            QCOMPARE(result.correctCount + int(result.official->mistakes.size()),
                     20 + (wrongAt == 0 ? additional : wrongAt));
            QList<int> numbers;
            for (const ExamMistake &mistake : result.official->mistakes)
                numbers << mistake.number;
            QList<int> expected(mainErrors.begin(), mainErrors.end());
            if (wrongAt > 0)
                expected << 20 + wrongAt;
            QCOMPARE(numbers, expected);
        }
    }
    // Exam counters, nothing else; no ticket changes its status.
    QCOMPARE(m_record.questionStats(12, 6).wrong[2], 1);
    QCOMPARE(m_record.questionStats(12, 6).wrong[0], 0);
    for (int ticket = 1; ticket <= 40; ++ticket)
        QCOMPARE(m_record.ticketStatus(ticket), 0);
}

void OfficialExamTest::timeUp_unansweredQuestionsCountAsErrors_data()
{
    QTest::addColumn<QList<int>>("wrong");
    QTest::addColumn<QList<int>>("unanswered");
    QTest::addColumn<int>("failure");
    QTest::addColumn<QList<int>>("blocks");
    QTest::newRow("all answered right in time is no case: one left")
        << QList<int>{} << QList<int>{20} << int(Failure::None) << QList<int>{3};
    QTest::newRow("one left, one wrong in another block")
        << QList<int>{2} << QList<int>{10} << int(Failure::None) << QList<int>{0, 1};
    QTest::newRow("two left in one block")
        << QList<int>{} << QList<int>{16, 18} << int(Failure::TwoErrorsInOneBlock) << QList<int>{};
    QTest::newRow("one left beside a wrong answer in its block")
        << QList<int>{11} << QList<int>{15} << int(Failure::TwoErrorsInOneBlock) << QList<int>{};
    QTest::newRow("three left in three blocks")
        << QList<int>{} << QList<int>{1, 6, 11} << int(Failure::ThreeErrors) << QList<int>{};
    QTest::newRow("nothing answered")
        << QList<int>{} << QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18,
                                      19, 20}
        << int(Failure::TwoErrorsInOneBlock) << QList<int>{};
}

void OfficialExamTest::timeUp_unansweredQuestionsCountAsErrors()
{
    QFETCH(QList<int>, wrong);
    QFETCH(QList<int>, unanswered);
    QFETCH(int, failure);
    QFETCH(QList<int>, blocks);
    auto attempt = startExam(5);
    QSignalSpy timeUp(attempt.get(), &ExamAttempt::timeUp);
    for (int position = 1; position <= 20; ++position) {
        if (unanswered.contains(position))
            continue;
        std::set<int> errors;
        if (wrong.contains(position))
            errors.insert(position);
        answerInOrder(*attempt, position, position, errors);
    }
    QCOMPARE(attempt->followUp(), FollowUp::None);
    for (int second = 0; second < 20 * 60; ++second)
        attempt->countDown();
    QCOMPARE(timeUp.size(), 1);
    QCOMPARE(attempt->remainingSeconds(), 0);
    QVERIFY(!attempt->answersOpen());

    if (Failure(failure) != Failure::None) {
        QCOMPARE(attempt->followUp(), FollowUp::Finish);
        QCOMPARE(attempt->officialFailure(), Failure(failure));
    } else {
        QCOMPARE(attempt->followUp(), FollowUp::AnnounceAdditionalPart);
        QCOMPARE(attempt->additionalBlocks(), blocks);
    }
    const AttemptResult result = attempt->finish();
    QList<int> numbers;
    for (const ExamMistake &mistake : result.official->mistakes) {
        numbers << mistake.number;
        QCOMPARE(mistake.chosenVariant == 0, unanswered.contains(mistake.number));
    }
    QList<int> expected = wrong + unanswered;
    std::sort(expected.begin(), expected.end());
    QCOMPARE(numbers, expected);
    QCOMPARE(result.elapsedSeconds, 20 * 60);
}

void OfficialExamTest::timeUp_inTheAdditionalPartFails()
{
    auto attempt = startExam(30, {3});
    answerInOrder(*attempt, 1, 20, {14});
    attempt->startAdditionalPart();
    answerInOrder(*attempt, 1, 4, {});
    for (int second = 0; second < 5 * 60 - 1; ++second)
        attempt->countDown();
    QCOMPARE(attempt->followUp(), FollowUp::None);
    attempt->countDown();
    QCOMPARE(attempt->followUp(), FollowUp::Finish);
    const AttemptResult result = attempt->finish();
    QVERIFY(!result.passed);
    QCOMPARE(result.official->failure, Failure::AdditionalTimeUp);
    QCOMPARE(result.official->mistakes.size(), 2);
    QCOMPARE(result.official->mistakes.last().number, 25);
    QCOMPARE(result.official->mistakes.last().chosenVariant, 0);
    QCOMPARE(result.elapsedSeconds, 5 * 60);
}

void OfficialExamTest::lastAnswer_exactlyAtTheEndOfTime()
{
    // The answer given in the last second counts; the tick that ends the
    // time then finds the part over and changes nothing.
    {
        auto attempt = startExam(2);
        QSignalSpy timeUp(attempt.get(), &ExamAttempt::timeUp);
        answerInOrder(*attempt, 1, 19, {});
        for (int second = 0; second < 20 * 60 - 1; ++second)
            attempt->countDown();
        QCOMPARE(attempt->remainingSeconds(), 1);
        answerInOrder(*attempt, 20, 20, {});
        attempt->countDown();
        QCOMPARE(timeUp.size(), 0);
        QCOMPARE(attempt->followUp(), FollowUp::Finish);
        const AttemptResult result = attempt->finish();
        QVERIFY(result.passed);
        QCOMPARE(result.elapsedSeconds, 20 * 60 - 1);
    }
    // The tick comes first: the last question is left unanswered and the
    // answer that follows is not taken.
    {
        auto attempt = startExam(2);
        answerInOrder(*attempt, 1, 19, {});
        for (int second = 0; second < 20 * 60; ++second)
            attempt->countDown();
        QVERIFY(attempt->selectPosition(20));
        QVERIFY(!attempt->answer(attempt->correctVariant()).accepted);
        QCOMPARE(attempt->followUp(), FollowUp::AnnounceAdditionalPart);
        QCOMPARE(attempt->additionalBlocks(), (QList<int>{3}));
    }
    // The same at the end of the additional part.
    {
        auto attempt = startExam(2, {0});
        answerInOrder(*attempt, 1, 20, {1});
        attempt->startAdditionalPart();
        answerInOrder(*attempt, 1, 4, {});
        for (int second = 0; second < 5 * 60 - 1; ++second)
            attempt->countDown();
        answerInOrder(*attempt, 5, 5, {});
        attempt->countDown();
        QVERIFY(attempt->finish().passed);
    }
}

void OfficialExamTest::stop_beforeTheEnd_failsAndKeepsTicketStatuses()
{
    auto attempt = startExam(4, {0});
    answerInOrder(*attempt, 1, 20, {9});
    // Stopped between the parts: the main part's error stays the only one.
    AttemptResult result = attempt->finish();
    QVERIFY(!result.passed);
    QCOMPARE(result.official->failure, Failure::Stopped);
    QCOMPARE(result.official->mistakes.size(), 1);
    QCOMPARE(result.official->mistakes.first().question,
             QuestionBankLayout::absoluteNumber(4, 9));
    QCOMPARE(m_record.ticketStatus(4), 0);
    QCOMPARE(m_record.questionStats(4, 9).wrong[2], 1);
    QCOMPARE(m_record.questionStats(4, 10).correct[2], 1);
}

QTEST_MAIN(OfficialExamTest)
#include "tst_officialexam.moc"
