// Per-day series on a hand-made history, by the learner's days in a zone
// three hours ahead of UTC.
#include "dailyseries.h"
#include "officialexamforecast.h"

#include <QTest>

namespace {

const QTimeZone Zone(3 * 3600);

AnswerOutcome answerAt(const QString &utc, int question, bool right)
{
    QDateTime at = QDateTime::fromString(utc, Qt::ISODate);
    at.setTimeSpec(Qt::UTC);
    return AnswerOutcome{question, right, at.toMSecsSinceEpoch()};
}

} // namespace

class TestDailySeries : public QObject
{
    Q_OBJECT

private slots:
    void activity_countsByLocalDay();
    void activity_shareRightOfFirstAnswersOnly();
    void activity_emptyRange();
    void readiness_asOfEachDayEnd();
};

void TestDailySeries::activity_countsByLocalDay()
{
    const QList<AnswerOutcome> answers{
        answerAt("2026-03-01T20:59:59", 1, true),  // 23:59:59 on 1 March
        answerAt("2026-03-01T21:00:00", 2, false), // 00:00 on 2 March
        answerAt("2026-03-02T08:00:00", 3, true),
        answerAt("2026-03-02T09:00:00", 4, true),
        answerAt("2026-03-04T10:00:00", 5, false),
        answerAt("2026-02-27T10:00:00", 6, true), // before the range
        answerAt("2026-03-04T21:00:00", 7, true), // 00:00 on 5 March, after it
    };
    const QList<DailySeries::DayActivity> days =
        DailySeries::activity(answers, QDate(2026, 3, 1), QDate(2026, 3, 4), Zone);
    using D = DailySeries::DayActivity;
    QCOMPARE(days, (QList<D>{D{QDate(2026, 3, 1), 1, 1}, D{QDate(2026, 3, 2), 3, 2},
                             D{QDate(2026, 3, 3), 0, 0}, D{QDate(2026, 3, 4), 1, 0}}));
    QCOMPARE(days[1].shareRight(), 2.0 / 3.0);
    QCOMPARE(days[2].shareRight(), 0.0);
}

void TestDailySeries::activity_shareRightOfFirstAnswersOnly()
{
    // Two questions answered wrong, each then corrected after its comment,
    // and one right: 5 answers, a third of the first answers right.
    AnswerOutcome corrected = answerAt("2026-03-01T09:01:00", 1, true);
    corrected.correction = true;
    AnswerOutcome corrected2 = answerAt("2026-03-01T09:03:00", 2, true);
    corrected2.correction = true;
    const QList<AnswerOutcome> answers{answerAt("2026-03-01T09:00:00", 1, false), corrected,
                                       answerAt("2026-03-01T09:02:00", 2, false), corrected2,
                                       answerAt("2026-03-01T09:04:00", 3, true)};
    const auto days = DailySeries::activity(answers, QDate(2026, 3, 1), QDate(2026, 3, 1), Zone);
    QCOMPARE(days.size(), 1);
    QCOMPARE(days[0].answers, 5);
    QCOMPARE(days[0].shareRight(), 1.0 / 3.0);
}

void TestDailySeries::activity_emptyRange()
{
    QVERIFY(DailySeries::activity({}, QDate(2026, 3, 2), QDate(2026, 3, 1), Zone).isEmpty());
    QCOMPARE(DailySeries::activity({}, QDate(2026, 3, 1), QDate(2026, 3, 1), Zone).size(), 1);
}

void TestDailySeries::readiness_asOfEachDayEnd()
{
    // Every question answered right on 2 March; nothing after.
    QList<AnswerOutcome> answers;
    for (int q = 1; q <= 800; ++q)
        answers.append(answerAt("2026-03-02T12:00:00", q, true));
    const QList<DailySeries::DayReadiness> days =
        DailySeries::readiness(answers, QDate(2026, 3, 1), QDate(2026, 3, 20), Zone);
    QCOMPARE(days.size(), 20);
    // Before any answer every question is a blind guess (three variants
    // where the count is not known).
    QCOMPARE(days[0].date, QDate(2026, 3, 1));
    std::array<double, 800> guesses{};
    guesses.fill(1.0 / 3.0);
    QCOMPARE_LE(qAbs(days[0].passProbability - OfficialExamForecast::forecast(guesses).pass),
                1e-15);
    // At the end of 2 March every question was answered hours ago: R near 1.
    QCOMPARE_GE(days[1].passProbability, 0.95);
    // Then it only falls, day by day, as the answers age.
    for (int i = 2; i < days.size(); ++i)
        QVERIFY2(days[i].passProbability < days[i - 1].passProbability,
                 qPrintable(days[i].date.toString(Qt::ISODate)));
    // Three days on, R = 0.9 at t = S = 3.173; every first answer was right,
    // so the forgotten tenth is mostly guessed right too: P(right) = 0.9 +
    // 0.1 * (1/3 + 2/3 * 0.95), with the lift at its ceiling.
    std::array<double, 800> aged{};
    aged.fill(0.9 + 0.1 * (1.0 / 3.0 + 2.0 / 3.0 * 0.95));
    QCOMPARE_LE(qAbs(days[4].passProbability - OfficialExamForecast::forecast(aged).pass), 0.02);
}

QTEST_GUILESS_MAIN(TestDailySeries)
#include "tst_dailyseries.moc"
