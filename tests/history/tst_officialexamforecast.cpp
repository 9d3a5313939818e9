// The exact chance of passing the exam by the official rules against brute
// force over every outcome, judged by the attempt engine's own rules; its
// slope against finite differences; the choice of what to study next; the
// guessing rate.
#include "guessingrate.h"
#include "officialexamforecast.h"
#include "officialexamrules.h"
#include "readiness.h"
#include "studynext.h"

#include <QRandomGenerator>
#include <QTest>

#include <algorithm>
#include <vector>

using Bank = std::array<double, 800>;
Q_DECLARE_METATYPE(Bank)

namespace {

double blockProduct(const Bank &p, int ticket, int block)
{
    double product = 1;
    for (int i = 0; i < 5; ++i)
        product *= p[size_t((ticket - 1) * 20 + block * 5 + i)];
    return product;
}

// P(pass) of one ticket: every one of the 2^20 sets of wrong answers in the
// main part, decided by OfficialExamRules; each additional block then must
// be all right, for a ticket drawn among the other 39 with equal chance.
double bruteForceTicketPass(const Bank &p, int ticket)
{
    const double *q = p.data() + (ticket - 1) * 20;
    double pass = 0;
    for (quint32 wrong = 0; wrong < (1u << 20); ++wrong) {
        if (qPopulationCount(wrong) > 2)
            continue; // three errors fail whatever their blocks
        double chance = 1;
        QList<int> errors;
        for (int i = 0; i < 20; ++i) {
            const bool isWrong = (wrong >> i) & 1;
            chance *= isWrong ? 1 - q[i] : q[i];
            if (isWrong)
                errors << i + 1;
        }
        const auto check = OfficialExamRules::checkMainPart(errors);
        if (check.failed())
            continue;
        for (int block : check.additionalBlocks) {
            double sum = 0;
            for (int other = 1; other <= 40; ++other)
                sum += other == ticket ? 0.0 : blockProduct(p, other, block);
            chance *= sum / 39;
        }
        pass += chance;
    }
    return pass;
}

Bank randomBank(quint32 seed, double low, double high)
{
    QRandomGenerator random(seed);
    Bank p{};
    for (double &x : p)
        x = low + (high - low) * random.generateDouble();
    return p;
}

Bank uniformBank(double value)
{
    Bank p{};
    p.fill(value);
    return p;
}

} // namespace

class TestOfficialExamForecast : public QObject
{
    Q_OBJECT

private slots:
    void ticketPass_matchesBruteForce_data();
    void ticketPass_matchesBruteForce();
    void forecast_edges_data();
    void forecast_edges();
    void sensitivity_matchesFiniteDifferences_data();
    void sensitivity_matchesFiniteDifferences();
    void studyNext_picksLargestGainsAndShowsExactRise();
    void guessing_estimate_data();
    void guessing_estimate();
    void readiness_neverAnsweredCountAsGuesses();
    void explanation_namesWeakestBlockAndTicketExam();
};

void TestOfficialExamForecast::ticketPass_matchesBruteForce_data()
{
    QTest::addColumn<Bank>("p");
    QTest::addColumn<int>("ticket");
    QTest::newRow("anything, ticket 1") << randomBank(1, 0.0, 1.0) << 1;
    QTest::newRow("well prepared, ticket 17") << randomBank(2, 0.8, 1.0) << 17;
    QTest::newRow("half prepared, ticket 40") << randomBank(3, 0.5, 1.0) << 40;
    Bank mixed = randomBank(4, 0.9, 1.0);
    std::fill(mixed.begin() + 200, mixed.begin() + 220, 0.3); // ticket 11 weak
    QTest::newRow("one weak ticket") << mixed << 11;
}

void TestOfficialExamForecast::ticketPass_matchesBruteForce()
{
    QFETCH(Bank, p);
    QFETCH(int, ticket);
    const auto f = OfficialExamForecast::forecast(p);
    QCOMPARE_LE(qAbs(f.ticketPass[size_t(ticket - 1)] - bruteForceTicketPass(p, ticket)), 1e-12);
}

void TestOfficialExamForecast::forecast_edges_data()
{
    QTest::addColumn<Bank>("p");
    QTest::addColumn<double>("expected");
    QTest::newRow("all right") << uniformBank(1.0) << 1.0;
    QTest::newRow("all wrong") << uniformBank(0.0) << 0.0;
    // Question 1 of every ticket sure wrong: the additional block 1 comes
    // from another ticket and holds its question 1, so no ticket passes.
    Bank firstWrong = uniformBank(1.0);
    for (int t = 0; t < 40; ++t)
        firstWrong[size_t(t * 20)] = 0.0;
    QTest::newRow("first question of every ticket wrong") << firstWrong << 0.0;
    // Only ticket 1's question 1 wrong: its additional block is sure right.
    Bank oneWrong = uniformBank(1.0);
    oneWrong[0] = 0.0;
    QTest::newRow("one sure error, additional sure right") << oneWrong << 1.0;
    // Questions 1 and 2 of ticket 1 wrong: two in one block fail ticket 1.
    Bank twoInBlock = oneWrong;
    twoInBlock[1] = 0.0;
    QTest::newRow("two errors in one block") << twoInBlock << 39.0 / 40.0;
    // Questions 1, 6 and 11 of ticket 1: a third error fails it.
    Bank three = oneWrong;
    three[5] = three[10] = 0.0;
    QTest::newRow("three errors in three blocks") << three << 39.0 / 40.0;
    // Every question a coin flip: per block P0 = 1/32, P1 = 5/32, and the
    // additional block all right 1/32. pass = x^4 + 4 x^3 y + 6 x^2 y^2 with
    // x = 1/32, y = 5/1024.
    const double x = 1.0 / 32, y = 5.0 / 1024;
    QTest::newRow("coin flips") << uniformBank(0.5)
                                << std::pow(x, 4) + 4 * std::pow(x, 3) * y + 6 * x * x * y * y;
}

void TestOfficialExamForecast::forecast_edges()
{
    QFETCH(Bank, p);
    QFETCH(double, expected);
    QCOMPARE_LE(qAbs(OfficialExamForecast::forecast(p).pass - expected), 1e-15);
}

void TestOfficialExamForecast::sensitivity_matchesFiniteDifferences_data()
{
    QTest::addColumn<Bank>("p");
    QTest::newRow("well prepared") << randomBank(5, 0.75, 0.999);
    QTest::newRow("anything") << randomBank(6, 0.01, 0.99);
}

void TestOfficialExamForecast::sensitivity_matchesFiniteDifferences()
{
    QFETCH(Bank, p);
    const auto slope = OfficialExamForecast::sensitivity(p);
    constexpr double h = 1e-6;
    // A question in each block of a few tickets, and the ticket's neighbours
    // in its block (same block, other tickets, through the additional mean).
    for (int q : {1, 7, 13, 20, 205, 399, 400, 645, 781, 800}) {
        Bank up = p, down = p;
        up[size_t(q - 1)] += h;
        down[size_t(q - 1)] -= h;
        const double numeric =
            (OfficialExamForecast::forecast(up).pass - OfficialExamForecast::forecast(down).pass) /
            (2 * h);
        if (qAbs(numeric - slope[size_t(q - 1)]) > 1e-7 * std::max(1.0, qAbs(numeric)))
            QFAIL(qPrintable(QStringLiteral("question %1: %2 against %3")
                                 .arg(q)
                                 .arg(slope[size_t(q - 1)])
                                 .arg(numeric)));
    }
}

void TestOfficialExamForecast::studyNext_picksLargestGainsAndShowsExactRise()
{
    // Everything known but question 3 of each ticket (half known) and
    // question 500 (ticket 25, place 20: weak). The weakest question is not
    // the one to study: an error at 500 is forgiven by an additional block
    // 4 that is sure right, while an error at any question 3 needs an
    // additional block 1, which holds another question 3.
    Bank p = uniformBank(1.0);
    for (int t = 0; t < 40; ++t)
        p[size_t(t * 20 + 2)] = 0.5;
    p[499] = 0.2;
    const StudyNext::Choice choice = StudyNext::choose(p);
    QCOMPARE(choice.questions.size(), 20);
    QVERIFY(!choice.questions.contains(500));
    const auto riseOf = [&p](const QList<int> &questions) {
        Bank improved = p;
        for (int q : questions)
            improved[size_t(q - 1)] = 1.0;
        return OfficialExamForecast::forecast(improved).pass -
               OfficialExamForecast::forecast(p).pass;
    };
    QCOMPARE_LE(qAbs(choice.readinessNow - OfficialExamForecast::forecast(p).pass), 1e-15);
    QCOMPARE_LE(qAbs(choice.rise() - riseOf(choice.questions)), 1e-15);
    // Better than studying the weakest first (500 and nineteen questions 3).
    QList<int> weakestFirst{500};
    for (int t = 0; t < 19; ++t)
        weakestFirst << t * 20 + 3;
    QVERIFY(choice.rise() > riseOf(weakestFirst));

    // Nothing to raise: nothing to study.
    const StudyNext::Choice none = StudyNext::choose(uniformBank(1.0));
    QVERIFY(none.questions.isEmpty());
    QCOMPARE(none.rise(), 0.0);
}

void TestOfficialExamForecast::guessing_estimate_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("variants");
    QTest::addColumn<int>("rightEvery"); // every n-th first answer right
    QTest::addColumn<double>("lift");
    QTest::newRow("too few: blind") << 29 << 3 << 1 << 0.0;
    // 100 of 3 variants, all right: surplus 100 * 2/3 over room 100 * 2/3 +
    // 20 * 2/3.
    QTest::newRow("all right") << 100 << 3 << 1 << 100.0 / 120.0;
    // Right exactly as often as a blind guess among 4.
    QTest::newRow("blind guesser") << 400 << 4 << 4 << 0.0;
    // Never right: g = 0 would be lift -1; the prior pulls it in.
    QTest::newRow("never right") << 100 << 2 << 0 << -50.0 / (50.0 + 20.0 * 2.0 / 3.0);
}

void TestOfficialExamForecast::guessing_estimate()
{
    QFETCH(int, count);
    QFETCH(int, variants);
    QFETCH(int, rightEvery);
    QFETCH(double, lift);
    QList<GuessingRate::FirstAnswer> answers;
    for (int i = 0; i < count; ++i)
        answers.append({variants, rightEvery > 0 && i % rightEvery == 0});
    const GuessingRate::Estimate e = GuessingRate::estimate(answers);
    QCOMPARE_LE(qAbs(e.lift - lift), 1e-12);
    QCOMPARE(e.firstAnswers, count);
    QCOMPARE(e.estimated(), count >= GuessingRate::MinFirstAnswers);
    // g stays a probability, and 1/k for a blind guesser.
    for (int k = 2; k <= 5; ++k) {
        QVERIFY(e.forVariants(k) >= 0 && e.forVariants(k) <= 1);
        if (lift == 0)
            QCOMPARE(e.forVariants(k), 1.0 / k);
    }
    QCOMPARE(e.forVariants(0), e.forVariants(GuessingRate::UnknownVariants));
}

void TestOfficialExamForecast::readiness_neverAnsweredCountAsGuesses()
{
    // Nothing answered: every question is a blind guess among its variants.
    LearnerModel model;
    for (int q = 0; q < 800; ++q)
        model.variants[size_t(q)] = quint8(q % 4 + 2);
    const Readiness::ExamReadiness none = Readiness::compute(QuestionProgressTable(), 0, model);
    QCOMPARE(none.neverAnswered, 800);
    QCOMPARE(none.pRight[0], 0.5);
    QCOMPARE(none.pRight[3], 0.2);
    Bank guesses{};
    for (int q = 0; q < 800; ++q)
        guesses[size_t(q)] = 1.0 / (q % 4 + 2);
    QCOMPARE_LE(qAbs(none.passProbability - OfficialExamForecast::forecast(guesses).pass), 1e-15);

    // Answered right just now: R = 1 whatever the variants. Ticket 1 all
    // known passes for sure; a first answer right also counts towards the
    // guessing rate.
    QuestionProgressTable table;
    for (int q = 1; q <= 20; ++q)
        table.apply(AnswerOutcome{q, true, 1000});
    const Readiness::ExamReadiness r = Readiness::compute(table, 1000, model);
    QCOMPARE(r.neverAnswered, 780);
    QCOMPARE_LE(qAbs(r.ticketPass[0] - 1.0), 1e-12);
    QCOMPARE(r.guessing.firstAnswers, 20);
    QCOMPARE(r.weakestTickets.last(), 1);
    // The ticket exam's figure: at most two errors of 20.
    QCOMPARE_LE(r.ticketExamPass, r.ticketPass[0]);
    QVERIFY(r.ticketExamPass > r.passProbability);
}

void TestOfficialExamForecast::explanation_namesWeakestBlockAndTicketExam()
{
    // Block 3 (questions 11-15) weakest: one question at 0.8 in each ticket,
    // 0.2 errors per ticket, 2 per ten tickets.
    Bank p = uniformBank(1.0);
    for (int t = 0; t < 40; ++t)
        p[size_t(t * 20 + 11)] = 0.8;
    const Readiness::ExamReadiness r = Readiness::fromProbabilities(p, 0);
    const QString text = Readiness::explanation(r);
    QVERIFY2(text.contains(QStringLiteral("блок 3 (вопросы 11–15): 2 ошибки в среднем на 10 "
                                          "билетов")),
             qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("не больше двух ошибок из 20) шанс сдать — 100 %")),
             qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("Половина риска не сдать приходится на 20 вопросов")),
             qPrintable(text));
    QCOMPARE(r.riskQuestions, 20);
}

QTEST_GUILESS_MAIN(TestOfficialExamForecast)
#include "tst_officialexamforecast.moc"
