// The FSRS-5 formulas against values worked out by hand (and checked with a
// calculator) from the published formulas and default parameters, not from
// this implementation.
#include "fsrs.h"
#include "questionprogress.h"

#include <QTest>

using Fsrs::Grade;

Q_DECLARE_METATYPE(Fsrs::Grade)

class TestFsrs : public QObject
{
    Q_OBJECT

private slots:
    void retrievability_data();
    void retrievability();
    void intervalDays_data();
    void intervalDays();
    void firstReview_data();
    void firstReview();
    void nextState_data();
    void nextState();
    void replay_sequence_matchesHandComputation();
};

void TestFsrs::retrievability_data()
{
    QTest::addColumn<double>("elapsedDays");
    QTest::addColumn<double>("stability");
    QTest::addColumn<double>("expected");
    // (1 + 19/81)^-0.5 = (100/81)^-0.5 = 9/10 whatever S is.
    QTest::newRow("t = S = 1") << 1.0 << 1.0 << 0.9;
    QTest::newRow("t = S = w2") << 3.173 << 3.173 << 0.9;
    QTest::newRow("t = S = 100") << 100.0 << 100.0 << 0.9;
    QTest::newRow("t = 0") << 0.0 << 5.0 << 1.0;
    // 1 + 19/81 * 243/19 = 4, and 4^-0.5 = 1/2.
    QTest::newRow("t = 243/19 S") << 243.0 / 19.0 * 2.0 << 2.0 << 0.5;
}

void TestFsrs::retrievability()
{
    QFETCH(double, elapsedDays);
    QFETCH(double, stability);
    QFETCH(double, expected);
    QCOMPARE_LE(qAbs(Fsrs::retrievability(elapsedDays, stability) - expected), 1e-12);
}

void TestFsrs::intervalDays_data()
{
    QTest::addColumn<double>("stability");
    QTest::addColumn<double>("retention");
    QTest::addColumn<double>("expected");
    QTest::newRow("0.9 gives S") << 7.5 << 0.9 << 7.5;
    QTest::newRow("0.5 gives 243/19 S") << 2.0 << 0.5 << 243.0 / 19.0 * 2.0;
}

void TestFsrs::intervalDays()
{
    QFETCH(double, stability);
    QFETCH(double, retention);
    QFETCH(double, expected);
    QCOMPARE_LE(qAbs(Fsrs::intervalDays(stability, retention) - expected), 1e-9);
}

void TestFsrs::firstReview_data()
{
    QTest::addColumn<Grade>("grade");
    QTest::addColumn<double>("stability");
    QTest::addColumn<double>("difficulty");
    // S0 = w[G-1]; D0 = w4 - e^(w5 (G-1)) + 1.
    QTest::newRow("again") << Grade::Again << 0.40255 << 7.1949;
    QTest::newRow("good") << Grade::Good << 3.173 << 5.282434422319005;
    QTest::newRow("easy") << Grade::Easy << 15.69105 << 3.2245015893713678;
}

void TestFsrs::firstReview()
{
    QFETCH(Grade, grade);
    QFETCH(double, stability);
    QFETCH(double, difficulty);
    const Fsrs::MemoryState s = Fsrs::initialState(grade);
    QCOMPARE_LE(qAbs(s.stability - stability), 1e-9);
    QCOMPARE_LE(qAbs(s.difficulty - difficulty), 1e-9);
}

void TestFsrs::nextState_data()
{
    QTest::addColumn<double>("stability");
    QTest::addColumn<double>("difficulty");
    QTest::addColumn<double>("elapsedDays");
    QTest::addColumn<Grade>("grade");
    QTest::addColumn<double>("expectedStability");
    QTest::addColumn<double>("expectedDifficulty");
    const double s0 = 3.173, d0 = 5.282434422319005;
    // R = 0.9 at t = S: S' = S (e^w8 (11 - D) S^-w9 (e^(0.1 w10) - 1) + 1).
    QTest::newRow("good, recalled at t = S")
        << s0 << d0 << s0 << Grade::Good << 11.131259853438268 << 5.272967931287446;
    // R(10, 3.173) = 0.75826; S'f = w11 D^-w12 ((S+1)^w13 - 1) e^(w14 (1 - R)).
    QTest::newRow("good, forgotten after 10 days")
        << s0 << d0 << 10.0 << Grade::Again << 1.4717624124106872 << 8.180332251287444;
    QTest::newRow("again, recalled after 2 days")
        << 0.40255 << 7.1949 << 2.0 << Grade::Good << 3.496227050157062 << 7.176636167311107;
    // Same day: S' = S e^(w17 (G - 3 + w18)).
    QTest::newRow("good, same day")
        << s0 << d0 << 1.0 / 24 << Grade::Good << 4.466858064362218 << 5.272967931287446;
    QTest::newRow("again, same day")
        << s0 << d0 << 0.5 << Grade::Again << 1.589763507266002 << 8.180332251287444;
}

void TestFsrs::nextState()
{
    QFETCH(double, stability);
    QFETCH(double, difficulty);
    QFETCH(double, elapsedDays);
    QFETCH(Grade, grade);
    QFETCH(double, expectedStability);
    QFETCH(double, expectedDifficulty);
    const Fsrs::MemoryState next = Fsrs::nextState({stability, difficulty}, elapsedDays, grade);
    QCOMPARE_LE(qAbs(next.stability - expectedStability), 1e-9);
    QCOMPARE_LE(qAbs(next.difficulty - expectedDifficulty), 1e-9);
}

void TestFsrs::replay_sequence_matchesHandComputation()
{
    // Right on day 0, right on day 3, wrong on day 13, right on day 14: the
    // table replays the answers into the same state as the formulas by hand.
    constexpr qint64 day = 86'400'000;
    QuestionProgressTable table;
    for (const auto &[at, right] :
         {std::pair{0LL, true}, {3 * day, true}, {13 * day, false}, {14 * day, true}})
        table.apply(AnswerRecord{7, HistoryMode::Review, 1, right, 5, at, 0});
    const QuestionProgress &p = table.question(7);
    QCOMPARE(p.answers, 4);
    QCOMPARE_LE(qAbs(p.memory.stability - 3.5211887747031985), 1e-9);
    QCOMPARE_LE(qAbs(p.memory.difficulty - 8.148155830617613), 1e-9);
    // Due after round(I(0.9, S)) = round(S) = 4 days.
    QCOMPARE(QuestionProgressTable::dueMs(p), 18 * day);
}

QTEST_GUILESS_MAIN(TestFsrs)
#include "tst_fsrs.moc"
