#include "statisticsmodel.h"
#include "statrecord.h"

#include <QTest>

#include <functional>
#include <limits>

namespace {

using Setup = std::function<void(StatRecord &)>;

// Spreads answers and seconds of one mode over the first questions of a
// ticket, as attempts would leave them.
void answer(StatRecord &record, int ticket, int correct, int wrong, int seconds,
            int mode = StatMode::Training)
{
    for (int i = 0; i < correct; ++i)
        record.addCorrect(ticket, i % 20 + 1, mode);
    for (int i = 0; i < wrong; ++i)
        record.addWrong(ticket, i % 20 + 1, mode);
    for (int i = 0; i < seconds; ++i)
        record.addSecond(ticket, i % 20 + 1, mode);
}

} // namespace

Q_DECLARE_METATYPE(Setup)
Q_DECLARE_METATYPE(ModeFilter)

class TestStatisticsModel : public QObject
{
    Q_OBJECT

private slots:
    void ratings_bestAndWorst_data();
    void ratings_bestAndWorst();
    void ratings_integerDifferenceFloatingDivision();
    void totals_sumOnlyTheFilteredModes_data();
    void totals_sumOnlyTheFilteredModes();
    void totals_countersAreUnsignedBytes();
    void totals_secondsDoNotOverflow();
};

void TestStatisticsModel::ratings_bestAndWorst_data()
{
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<int>("best");
    QTest::addColumn<int>("worst");
    QTest::addColumn<double>("bestValue");

    QTest::newRow("all zero") << Setup([](StatRecord &) {}) << 0 << 0 << 0.0;
    QTest::newRow("answers without seconds")
        << Setup([](StatRecord &r) { answer(r, 4, 12, 1, 0); }) << 0 << 0 << 0.0;
    QTest::newRow("one positive ticket")
        << Setup([](StatRecord &r) { answer(r, 7, 10, 2, 16); }) << 7 << 7 << 0.5;
    QTest::newRow("tie for best: lower number wins") << Setup([](StatRecord &r) {
        answer(r, 9, 4, 0, 4);
        answer(r, 3, 6, 2, 4);
        answer(r, 12, 2, 0, 4);
    }) << 3 << 12 << 1.0;
    QTest::newRow("tie for worst: lower number wins") << Setup([](StatRecord &r) {
        answer(r, 10, 8, 0, 8);
        answer(r, 6, 3, 1, 8);
        answer(r, 4, 2, 0, 8);
    }) << 10 << 4 << 1.0;
    QTest::newRow("more wrong than correct is 0, never worst") << Setup([](StatRecord &r) {
        answer(r, 8, 3, 9, 10);
        answer(r, 9, 5, 0, 10);
        answer(r, 11, 20, 0, 10);
    }) << 11 << 9 << 2.0;
    QTest::newRow("answers but no seconds is never worst") << Setup([](StatRecord &r) {
        answer(r, 2, 1, 0, 0);
        answer(r, 5, 4, 0, 2);
    }) << 5 << 5 << 2.0;
    QTest::newRow("rating of 9999 or more is never worst") << Setup([](StatRecord &r) {
        // 20 x 255 + 20 x 255 correct answers in one second: 10200.
        for (int q = 1; q <= 20; ++q) {
            QuestionStats stats;
            stats.correct = {255, 255, 0};
            r.setQuestionStats(2, q, stats);
        }
        r.addSecond(2, 1, StatMode::Learning);
        answer(r, 5, 3, 0, 3);
    }) << 2 << 5 << 10200.0;
    QTest::newRow("only a rating of 9999 or more: no worst") << Setup([](StatRecord &r) {
        for (int q = 1; q <= 20; ++q) {
            QuestionStats stats;
            stats.correct = {255, 255, 0};
            r.setQuestionStats(2, q, stats);
        }
        r.addSecond(2, 1, StatMode::Learning);
    }) << 2 << 0 << 10200.0;
}

void TestStatisticsModel::ratings_bestAndWorst()
{
    QFETCH(Setup, setup);
    QFETCH(int, best);
    QFETCH(int, worst);
    QFETCH(double, bestValue);

    StatRecord record;
    setup(record);
    const TicketRatings ratings = computeTicketRatings(record, ModeFilter::All);

    QCOMPARE(ratings.bestTicket, best);
    QCOMPARE(ratings.worstTicket, worst);
    QCOMPARE(ratings.bestValue, bestValue);
    for (int t = 1; t <= 40; ++t)
        QVERIFY2(ratings.rating[t] >= 0.0, qPrintable(QString::number(t)));
    if (best != 0)
        QCOMPARE(ratings.percentOfBest(best), 100.0);
}

void TestStatisticsModel::ratings_integerDifferenceFloatingDivision()
{
    StatRecord record;
    answer(record, 1, 1, 0, 3);
    answer(record, 2, 7, 5, 8);
    const TicketRatings ratings = computeTicketRatings(record, ModeFilter::All);
    QCOMPARE(ratings.rating[1], 1.0 / 3.0);
    QCOMPARE(ratings.rating[2], 0.25);
    QCOMPARE(ratings.percentOfBest(1), 100.0);
    QCOMPARE(ratings.percentOfBest(2), 75.0);
}

void TestStatisticsModel::totals_sumOnlyTheFilteredModes_data()
{
    QTest::addColumn<ModeFilter>("filter");
    QTest::addColumn<int>("correct");
    QTest::addColumn<int>("wrong");
    QTest::addColumn<qint64>("seconds");

    QTest::newRow("all modes") << ModeFilter::All << 111 << 222 << qint64(333);
    // Learning and preparation attempts both count under index 0.
    QTest::newRow("learning and preparation") << ModeFilter::Learning << 1 << 2 << qint64(3);
    QTest::newRow("training") << ModeFilter::Training << 10 << 20 << qint64(30);
    QTest::newRow("exam") << ModeFilter::Exam << 100 << 200 << qint64(300);
}

void TestStatisticsModel::totals_sumOnlyTheFilteredModes()
{
    QFETCH(ModeFilter, filter);
    QFETCH(int, correct);
    QFETCH(int, wrong);
    QFETCH(qint64, seconds);

    StatRecord record;
    QuestionStats stats;
    stats.correct = {1, 10, 100};
    stats.wrong = {2, 20, 200};
    stats.seconds = {3, 30, 300};
    record.setQuestionStats(17, 20, stats);
    record.setQuestionStats(17, 1, stats);

    const AnswerTotals question = questionTotals(record, 17, 20, filter);
    QCOMPARE(question, (AnswerTotals{seconds, correct, wrong}));
    const TicketRatings ratings = computeTicketRatings(record, filter);
    QCOMPARE(ratings.totals[17], (AnswerTotals{2 * seconds, 2 * correct, 2 * wrong}));
    QCOMPARE(ratings.totals[16], AnswerTotals{});
    QCOMPARE(ratings.totals[18], AnswerTotals{});
}

void TestStatisticsModel::totals_countersAreUnsignedBytes()
{
    StatRecord record;
    for (int q = 1; q <= 20; ++q) {
        QuestionStats stats;
        stats.correct = {255, 255, 255};
        stats.wrong = {200, 128, 129};
        record.setQuestionStats(40, q, stats);
    }
    QCOMPARE(questionTotals(record, 40, 1, ModeFilter::All).correct, 765);
    QCOMPARE(questionTotals(record, 40, 1, ModeFilter::Training).wrong, 128);
    const TicketRatings ratings = computeTicketRatings(record, ModeFilter::All);
    QCOMPARE(ratings.totals[40].correct, 20 * 765);
    QCOMPARE(ratings.totals[40].wrong, 20 * 457);
}

void TestStatisticsModel::totals_secondsDoNotOverflow()
{
    StatRecord record;
    const qint32 most = std::numeric_limits<qint32>::max();
    for (int q = 1; q <= 20; ++q) {
        QuestionStats stats;
        stats.correct = {1, 0, 0};
        stats.seconds = {most, most, most};
        record.setQuestionStats(3, q, stats);
    }
    QCOMPARE(questionTotals(record, 3, 5, ModeFilter::All).seconds, 3 * qint64(most));
    const TicketRatings ratings = computeTicketRatings(record, ModeFilter::All);
    QCOMPARE(ratings.totals[3].seconds, 60 * qint64(most));
    QVERIFY(ratings.rating[3] > 0.0);
    QCOMPARE(ratings.bestTicket, 3);
}

QTEST_GUILESS_MAIN(TestStatisticsModel)
#include "tst_statisticsmodel.moc"
