// Progress by topic: the counts against a hand-counted history, and the order
// in which a chosen topic's questions are put to the learner.
#include "topicprogress.h"

#include <QTest>

#include <numeric>

namespace {

constexpr qint64 Hour = 3'600'000;

// Topics sharing questions 3 and 4; the third never reached by most answers.
const QList<Topic> SmallTopics{
    {QStringLiteral("Дорожные знаки"), {1, 2, 3, 4, 5}},
    {QStringLiteral("Разметка"), {3, 4, 6, 7}},
    {QStringLiteral("Проезд перекрёстков"), {8, 9}},
};

// Oldest first, as the history returns them.
const QList<AnswerOutcome> SmallHistory{
    {1, false, 1 * Hour},  // 1: wrong, then right at 5
    {2, true, 2 * Hour},   // 2: right, then wrong at 6
    {3, true, 3 * Hour},   // 3: right, right again at 7
    {4, false, 4 * Hour},  // 4: wrong once
    {1, true, 5 * Hour},   //
    {2, false, 6 * Hour},  //
    {3, true, 7 * Hour},   //
    {6, true, 8 * Hour},   // 6: right, wrong, right
    {6, false, 9 * Hour},  //
    {6, true, 10 * Hour},  //
    {9, true, 11 * Hour},  // 9: right once
    {900, true, 12 * Hour} // not a question of the layout: ignored
};

QList<int> range(int first, int count)
{
    QList<int> numbers(count);
    std::iota(numbers.begin(), numbers.end(), first);
    return numbers;
}

} // namespace

class TestTopicProgress : public QObject
{
    Q_OBJECT

private slots:
    void compute_countsAgainstAHandCountedHistory();
    void compute_noTopics_nothing();
    void compute_numbersOutsideTheLayoutOrRepeated_leftOut();
    void runOrder_wrongThenNeverThenRight_eachLongestAgoFirst();
    void runOrder_unansweredKeepTheTopicsOrder();
    void nextBatch_goesOnWithTheRestAfterAnAttempt();
    void nextBatch_allRight_repeatsLongestAgoFirst();
};

void TestTopicProgress::compute_countsAgainstAHandCountedHistory()
{
    const QList<TopicProgress> progress =
        TopicProgress::compute(SmallTopics, QuestionProgressTable::fromAnswers(SmallHistory));
    QCOMPARE(progress.size(), 3);

    // Answered 1, 2, 3, 4; last right 1 and 3.
    QCOMPARE(progress[0].name, QStringLiteral("Дорожные знаки"));
    QCOMPARE(progress[0].questionCount, 5);
    QCOMPARE(progress[0].answeredCount, 4);
    QCOMPARE(progress[0].rightCount, 2);
    // Questions 3 and 4 count here too: answered 3, 4, 6; last right 3 and 6.
    QCOMPARE(progress[1].name, QStringLiteral("Разметка"));
    QCOMPARE(progress[1].questionCount, 4);
    QCOMPARE(progress[1].answeredCount, 3);
    QCOMPARE(progress[1].rightCount, 2);
    QCOMPARE(progress[2].questionCount, 2);
    QCOMPARE(progress[2].answeredCount, 1);
    QCOMPARE(progress[2].rightCount, 1);
}

void TestTopicProgress::compute_noTopics_nothing()
{
    QVERIFY(TopicProgress::compute({}, QuestionProgressTable::fromAnswers(SmallHistory)).isEmpty());
}

void TestTopicProgress::compute_numbersOutsideTheLayoutOrRepeated_leftOut()
{
    // The topics file refuses such numbers, but a list made in code may hold
    // them; they must neither be counted nor looked up in the table.
    const QList<Topic> topics{{QStringLiteral("Прочее"), {0, 801, 5, -3, 5, 800}}};
    const QList<TopicProgress> progress = TopicProgress::compute(
        topics, QuestionProgressTable::fromAnswers({{5, true, Hour}, {800, false, 2 * Hour}}));
    QCOMPARE(progress.size(), 1);
    QCOMPARE(progress[0].questionCount, 2);
    QCOMPARE(progress[0].answeredCount, 2);
    QCOMPARE(progress[0].rightCount, 1);
    QCOMPARE(progress[0].runOrder, (QList<int>{800, 5}));
}

void TestTopicProgress::runOrder_wrongThenNeverThenRight_eachLongestAgoFirst()
{
    const QList<TopicProgress> progress =
        TopicProgress::compute(SmallTopics, QuestionProgressTable::fromAnswers(SmallHistory));
    // Wrong: 4 (hour 4) before 2 (hour 6); never: 5; right: 1 (hour 5)
    // before 3 (hour 7).
    QCOMPARE(progress[0].runOrder, (QList<int>{4, 2, 5, 1, 3}));
    QCOMPARE(progress[1].runOrder, (QList<int>{4, 7, 3, 6}));
    QCOMPARE(progress[2].runOrder, (QList<int>{8, 9}));
    QCOMPARE(progress[0].nextBatch(), progress[0].runOrder);
}

void TestTopicProgress::runOrder_unansweredKeepTheTopicsOrder()
{
    // Not sorted by number: the file's order is the author's teaching order.
    // Two wrong answers at the same moment keep that order too.
    const QList<Topic> topics{{QStringLiteral("Тема"), {30, 10, 20, 40, 15}}};
    const QList<TopicProgress> progress = TopicProgress::compute(
        topics, QuestionProgressTable::fromAnswers({{15, false, Hour}, {40, false, Hour}}));
    QCOMPARE(progress[0].runOrder, (QList<int>{40, 15, 30, 10, 20}));
}

void TestTopicProgress::nextBatch_goesOnWithTheRestAfterAnAttempt()
{
    const QList<Topic> topics{{QStringLiteral("Тема"), range(101, 25)}};
    QuestionProgressTable table;
    const QList<int> first = TopicProgress::compute(topics, table)[0].nextBatch();
    QCOMPARE(first, range(101, 20));

    // The first batch answered in its order, all right but question 105.
    qint64 at = Hour;
    for (const int question : first)
        table.apply(AnswerOutcome{question, question != 105, at += Hour});
    const TopicProgress after = TopicProgress::compute(topics, table)[0];
    QCOMPARE(after.answeredCount, 20);
    QCOMPARE(after.rightCount, 19);
    // The mistake, the five not yet seen, then the earliest answered right.
    QList<int> expected{105};
    expected << range(121, 5) << range(101, 4) << range(106, 10);
    QCOMPARE(after.nextBatch(), expected);
    QCOMPARE(after.runOrder.size(), 25);
}

void TestTopicProgress::nextBatch_allRight_repeatsLongestAgoFirst()
{
    // A topic known through still runs, for repetition.
    const QList<Topic> topics{{QStringLiteral("Тема"), {1, 2, 3}}};
    const QList<TopicProgress> progress = TopicProgress::compute(
        topics, QuestionProgressTable::fromAnswers(
                    {{2, true, Hour}, {3, true, 2 * Hour}, {1, true, 3 * Hour}}));
    QCOMPARE(progress[0].rightCount, 3);
    QCOMPARE(progress[0].nextBatch(), (QList<int>{2, 3, 1}));
}

QTEST_GUILESS_MAIN(TestTopicProgress)
#include "tst_topicprogress.moc"
