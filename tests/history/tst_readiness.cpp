// Exam readiness: the ticket exam's truncated Poisson-binomial against a
// brute-force sum over every outcome, the mean over tickets, and the chance
// of a right answer from memory and guessing.
#include "readiness.h"

#include <QRandomGenerator>
#include <QTest>

#include <vector>

namespace {

// P(at most two errors), summed over all 2^n right/wrong outcomes.
double bruteForceAtMostTwoErrors(const std::vector<double> &p)
{
    const int n = int(p.size());
    double total = 0;
    for (quint32 wrongMask = 0; wrongMask < (1u << n); ++wrongMask) {
        if (qPopulationCount(wrongMask) > 2)
            continue;
        double probability = 1;
        for (int i = 0; i < n; ++i)
            probability *= (wrongMask >> i) & 1 ? 1 - p[i] : p[i];
        total += probability;
    }
    return total;
}

} // namespace

class TestReadiness : public QObject
{
    Q_OBJECT

private slots:
    void errorCounts_matchesBruteForce_data();
    void errorCounts_matchesBruteForce();
    void errorCounts_edges_data();
    void errorCounts_edges();
    void fromProbabilities_meansTicketsAndRanksWeakest();
    void compute_forgottenPartCountsAsGuess();
    void explanation_namesWhatLowersIt();
};

void TestReadiness::errorCounts_matchesBruteForce_data()
{
    QTest::addColumn<int>("n");
    QTest::addColumn<quint32>("seed");
    for (int n : {1, 2, 3, 5, 8, 12})
        for (quint32 seed : {1u, 2u, 3u})
            QTest::addRow("n=%d seed=%u", n, seed) << n << seed;
}

void TestReadiness::errorCounts_matchesBruteForce()
{
    QFETCH(int, n);
    QFETCH(quint32, seed);
    QRandomGenerator random(seed);
    std::vector<double> p(n);
    for (double &x : p)
        x = random.generateDouble();
    const Readiness::ErrorCounts counts = Readiness::errorCounts(p);
    QCOMPARE_LE(qAbs(counts.atMostMaxErrors() - bruteForceAtMostTwoErrors(p)), 1e-12);
    const double sum = counts.probability[0] + counts.probability[1] + counts.probability[2] +
                       counts.probability[3];
    QCOMPARE_LE(qAbs(sum - 1.0), 1e-12);
}

void TestReadiness::errorCounts_edges_data()
{
    QTest::addColumn<std::vector<double>>("p");
    QTest::addColumn<double>("expected");
    QTest::newRow("no questions") << std::vector<double>{} << 1.0;
    QTest::newRow("all right") << std::vector<double>(20, 1.0) << 1.0;
    QTest::newRow("all wrong") << std::vector<double>(20, 0.0) << 0.0;
    QTest::newRow("two sure errors") << std::vector<double>{0, 0, 1, 1, 1} << 1.0;
    QTest::newRow("three sure errors") << std::vector<double>{0, 0, 0, 1, 1} << 0.0;
    // 20 coin flips: (1 + 20 + 190) / 2^20.
    QTest::newRow("twenty halves") << std::vector<double>(20, 0.5) << 211.0 / 1048576.0;
}

void TestReadiness::errorCounts_edges()
{
    QFETCH(std::vector<double>, p);
    QFETCH(double, expected);
    QCOMPARE_LE(qAbs(Readiness::errorCounts(p).atMostMaxErrors() - expected), 1e-15);
}

void TestReadiness::fromProbabilities_meansTicketsAndRanksWeakest()
{
    // Every ticket sure to pass but ticket 3 (all wrong) and ticket 40 (one
    // question known, the rest half known).
    std::array<double, 800> p{};
    p.fill(1.0);
    std::fill(p.begin() + 40, p.begin() + 60, 0.0);
    std::fill(p.begin() + 781, p.end(), 0.5);
    const Readiness::ExamReadiness r = Readiness::fromProbabilities(p, 7);
    QCOMPARE(r.ticketPass[2], 0.0);
    // The ticket exam: 19 coin flips and one sure answer, (1 + 19 + 171) / 2^19.
    QCOMPARE_LE(qAbs(r.ticketExamPass - (38 + (1 + 19 + 171) / 524288.0) / 40.0), 1e-15);
    // The official exam is harder on ticket 40 than at most two errors.
    QVERIFY(r.ticketPass[39] < (1 + 19 + 171) / 524288.0);
    QCOMPARE_LE(qAbs(r.passProbability - (38 + r.ticketPass[39]) / 40.0), 1e-15);
    QCOMPARE(r.weakestTickets.mid(0, 3), (QList<int>{3, 40, 1}));
    QCOMPARE(r.neverAnswered, 7);
}

void TestReadiness::compute_forgottenPartCountsAsGuess()
{
    // Question 1 (two variants) answered right 30 days ago: its chance is
    // R + (1 - R) / 2 with R from the memory state; question 2 (five
    // variants) never answered is a blind guess, 1/5.
    LearnerModel model;
    model.variants.fill(3);
    model.variants[0] = 2;
    model.variants[1] = 5;
    QuestionProgressTable table;
    constexpr qint64 Day = 86'400'000;
    table.apply(AnswerOutcome{1, true, 0});
    const double r = table.recallProbability(1, 30 * Day, 0.0);
    QVERIFY(r > 0.1 && r < 0.9);
    const Readiness::ExamReadiness readiness = Readiness::compute(table, 30 * Day, model);
    QCOMPARE_LE(qAbs(readiness.pRight[0] - (r + (1 - r) / 2)), 1e-15);
    QCOMPARE(readiness.pRight[1], 0.2);
    QCOMPARE(readiness.neverAnswered, 799);
}

void TestReadiness::explanation_namesWhatLowersIt()
{
    std::array<double, 800> p{};
    p.fill(0.5);
    const Readiness::ExamReadiness r = Readiness::fromProbabilities(p, 800);
    const QString text = Readiness::explanation(r);
    QVERIFY2(text.contains(QStringLiteral("Готовность меньше 1 %")), qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("800 из 800")));
    QVERIFY(text.contains(QStringLiteral("блок 1 (вопросы 1–5): 25 ошибок в среднем на 10 "
                                         "билетов")));
    QVERIFY(text.contains(QStringLiteral("меньше 30, угадывание считается случайным")));
}

QTEST_GUILESS_MAIN(TestReadiness)
#include "tst_readiness.moc"
