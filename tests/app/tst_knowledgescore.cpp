#include "knowledgescore.h"
#include "statrecord.h"
#include "ticketstatus.h"

#include <QTest>

// The knowledge score weighs the 40 ticket statuses; the picture index rounds
// score / 5 with exact halves going to the even neighbour.
class TestKnowledgeScore : public QObject
{
    Q_OBJECT
private slots:
    void score_data();
    void score();
};

namespace {
using Statuses = QList<int>; // 40 codes

Statuses filled(int count, int status, int rest = TicketStatus::NotPassed)
{
    Statuses s(40, rest);
    for (int i = 0; i < count; ++i)
        s[i] = status;
    return s;
}
} // namespace

void TestKnowledgeScore::score_data()
{
    QTest::addColumn<Statuses>("statuses");
    QTest::addColumn<double>("expectedScore");
    QTest::addColumn<int>("expectedIndex");

    QTest::newRow("nothing passed") << filled(0, 0) << 0.0 << 0;
    QTest::newRow("all learning completed")
        << filled(40, TicketStatus::LearningCompleted) << 0.0 << 0;
    QTest::newRow("one exam: 0.5 rounds down to even 0") << filled(1, 1) << 2.5 << 0;
    QTest::newRow("three exams: 1.5 rounds up to even 2") << filled(3, 1) << 7.5 << 2;
    QTest::newRow("five exams: 2.5 rounds down to even 2") << filled(5, 1) << 12.5 << 2;
    QTest::newRow("23 exams: 11.5 rounds up to 12") << filled(23, 1) << 57.5 << 12;
    // Forty rounded steps of 0.2 do not sum to exactly 8.
    QTest::newRow("all training passed") << filled(40, 3) << 20.0 << 4;
    QTest::newRow("20 passed, 20 failed clamps to 0") << filled(20, 1, 2) << 0.0 << 0;
    QTest::newRow("all failed clamps to 0") << filled(40, 2) << 0.0 << 0;
    QTest::newRow("all exams") << filled(40, 1) << 100.0 << 20;
    QTest::newRow("unknown codes count nothing") << filled(40, 7) << 0.0 << 0;
    Statuses mixed = filled(10, 1);
    mixed[10] = TicketStatus::Failed;
    mixed[11] = TicketStatus::TrainingPassed;
    QTest::newRow("10 exams, 1 failure, 1 training") << mixed << (10 - 2 + 0.2) * 2.5 << 4;
}

void TestKnowledgeScore::score()
{
    QFETCH(Statuses, statuses);
    QFETCH(double, expectedScore);
    QFETCH(int, expectedIndex);

    StatRecord record;
    for (int t = 1; t <= 40; ++t)
        record.setTicketStatus(t, statuses[t - 1]);
    const double score = knowledgeScore(record);
    QVERIFY2(qAbs(score - expectedScore) < 1e-9, qPrintable(QString::number(score, 'g', 17)));
    QCOMPARE(knowledgePictureIndex(score), expectedIndex);
}

QTEST_APPLESS_MAIN(TestKnowledgeScore)
#include "tst_knowledgescore.moc"
