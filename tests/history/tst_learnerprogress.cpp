// The mistakes list and the review schedule, from answers replayed into the
// progress table.
#include "mistakeslist.h"
#include "preparationoverview.h"
#include "questionprogress.h"
#include "reviewschedule.h"

#include <QTest>

namespace {

constexpr qint64 Hour = 3'600'000;
constexpr qint64 Day = 24 * Hour;

AnswerRecord answer(int question, bool right, qint64 at)
{
    return AnswerRecord{question, HistoryMode::Learning, 1, right, 4, at, 0};
}

// "WRR": wrong, right, right, one hour apart.
void applySequence(QuestionProgressTable &table, int question, const QString &sequence,
                   qint64 start)
{
    qint64 at = start;
    for (const QChar c : sequence) {
        table.apply(answer(question, c == QLatin1Char('R'), at));
        at += Hour;
    }
}

} // namespace

class TestLearnerProgress : public QObject
{
    Q_OBJECT

private slots:
    void mistakes_membership_data();
    void mistakes_membership();
    void mistakes_mostRecentWrongFirst_limited();
    void due_overdueFirst_excludesNotDueAndUnanswered();
    void due_limit();
    void overview_gathersWhatTheWindowShows();
};

void TestLearnerProgress::mistakes_membership_data()
{
    QTest::addColumn<QString>("sequence");
    QTest::addColumn<bool>("listed");
    QTest::newRow("never answered") << "" << false;
    QTest::newRow("only right") << "RRR" << false;
    QTest::newRow("last wrong") << "W" << true;
    QTest::newRow("right then wrong") << "RW" << true;
    QTest::newRow("one right after wrong") << "WR" << true;
    QTest::newRow("two right after wrong") << "WRR" << false;
    QTest::newRow("right, wrong, right") << "WRW" << true;
    QTest::newRow("left, then wrong again") << "WRRW" << true;
    QTest::newRow("back in, one right") << "WRRWR" << true;
    QTest::newRow("back in, two right") << "WRRWRR" << false;
    QTest::newRow("streak broken then two right") << "WRWRR" << false;
}

void TestLearnerProgress::mistakes_membership()
{
    QFETCH(QString, sequence);
    QFETCH(bool, listed);
    QuestionProgressTable table;
    applySequence(table, 42, sequence, 0);
    QCOMPARE(MistakesList::contains(table.question(42)), listed);
    QCOMPARE(MistakesList::count(table), listed ? 1 : 0);
    QCOMPARE(MistakesList::questions(table), listed ? QList<int>{42} : QList<int>{});
}

void TestLearnerProgress::mistakes_mostRecentWrongFirst_limited()
{
    QuestionProgressTable table;
    // Questions 1..25 wrong at increasing times; question 5 then once right
    // (still listed by its wrong answer), question 6 twice right (gone).
    for (int q = 1; q <= 25; ++q)
        table.apply(answer(q, false, q * Hour));
    table.apply(answer(5, true, 30 * Hour));
    table.apply(answer(6, true, 31 * Hour));
    table.apply(answer(6, true, 32 * Hour));
    QCOMPARE(MistakesList::count(table), 24);
    const QList<int> batch = MistakesList::questions(table);
    QCOMPARE(batch.size(), 20);
    QCOMPARE(batch.mid(0, 3), (QList<int>{25, 24, 23}));
    QCOMPARE(batch.last(), 5); // after the 19 questions 25..7
    QVERIFY(!batch.contains(6));
}

void TestLearnerProgress::due_overdueFirst_excludesNotDueAndUnanswered()
{
    const qint64 todayStart = 100 * Day;
    const qint64 todayEnd = todayStart + Day - 1;
    QuestionProgressTable table;
    // Wrong two days ago: S = w0, due a day later.
    table.apply(answer(10, false, todayStart - 2 * Day + 10 * Hour));
    // Right five days ago: S = w2 = 3.173, due three days later.
    table.apply(answer(20, true, todayStart - 5 * Day + 10 * Hour));
    // Right today: due in three days.
    table.apply(answer(30, true, todayStart + 9 * Hour));
    // Wrong today at 10:00: due tomorrow at 10:00.
    table.apply(answer(40, false, todayStart + 10 * Hour));
    // Right yesterday morning at 10:00, due in three days.
    table.apply(answer(50, true, todayStart - Day + 10 * Hour));
    QCOMPARE(ReviewSchedule::dueQuestions(table, todayEnd), (QList<int>{20, 10}));
    QCOMPARE(ReviewSchedule::dueCount(table, todayEnd), 2);
    // Tomorrow also the wrong answer of today is due.
    QCOMPARE(ReviewSchedule::dueQuestions(table, todayEnd + Day), (QList<int>{20, 10, 40}));
}

void TestLearnerProgress::due_limit()
{
    QuestionProgressTable table;
    for (int q = 1; q <= 30; ++q)
        table.apply(answer(q, false, q * Hour));
    const QList<int> batch = ReviewSchedule::dueQuestions(table, 10 * Day);
    QCOMPARE(batch.size(), ReviewSchedule::BatchSize);
    QCOMPARE(batch.first(), 1);
    QCOMPARE(ReviewSchedule::dueCount(table, 10 * Day), 30);
    QCOMPARE(ReviewSchedule::dueQuestions(table, 10 * Day, 0), QList<int>{});
}

void TestLearnerProgress::overview_gathersWhatTheWindowShows()
{
    // Today is day 100 (UTC). Question 1 wrong ten days ago, question 2 right
    // today, question 3 wrong then right twice, 40 days ago.
    const QDateTime now = QDateTime::fromMSecsSinceEpoch(100 * Day + 12 * Hour, Qt::UTC);
    const QList<AnswerOutcome> answers{
        {3, false, 60 * Day}, {3, true, 60 * Day + Hour},  {3, true, 60 * Day + 2 * Hour},
        {1, false, 90 * Day}, {2, true, 100 * Day + Hour},
    };
    const PreparationOverview o = PreparationOverview::compute(answers, now, QTimeZone::utc());
    QCOMPARE(o.answeredQuestions, 3);
    QCOMPARE(o.mistakesCount, 1);
    QCOMPARE(o.mistakesBatch, QList<int>{1});
    QCOMPARE(o.dueTodayCount, 2);
    QCOMPARE(o.dueBatch, (QList<int>{3, 1}));
    QCOMPARE(o.readiness.neverAnswered, 797);
    QCOMPARE(o.lastDays.size(), PreparationOverview::ChartDays);
    QCOMPARE(o.lastDays.last().date, now.date());
    QCOMPARE(o.lastDays.last().answers, 1);
    QCOMPARE(o.lastDays[o.lastDays.size() - 11].answers, 1); // question 1, ten days ago
}

QTEST_GUILESS_MAIN(TestLearnerProgress)
#include "tst_learnerprogress.moc"
