// Answers follow the question to the next release of the tickets: the
// content key of a question, and the learner's history after a second
// database with the same questions moved across tickets and three changed.
#include "answerhistory.h"
#include "databasewriter.h"
#include "learnerhistory.h"
#include "learnerwindow.h"
#include "mistakeslist.h"
#include "question.h"
#include "questiondatabase.h"
#include "questionkeys.h"
#include "questionprogress.h"
#include "readiness.h"
#include "reviewschedule.h"
#include "syntheticdatabase.h"

#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>

#include <algorithm>

namespace {

// Where question a of the first database sits in the second: every
// question moves, most of them to another ticket.
int movedTo(int a)
{
    return ((a - 1) * 7 + 13) % 800 + 1;
}

Question questionOf(const QString &text, const QStringList &variants, int correct)
{
    Question q;
    q.questionText = text;
    q.answerCount = int(variants.size());
    for (int i = 0; i < variants.size(); ++i)
        q.answerTexts[size_t(i + 1)] = variants[i];
    q.correctVariant = correct;
    return q;
}

} // namespace

class TestContentKeys : public QObject
{
    Q_OBJECT

private slots:
    void contentKey_data();
    void contentKey();
    void carriedOverMessage_data();
    void carriedOverMessage();
    void nextRelease_unchangedQuestionsKeepTheirPast();
};

void TestContentKeys::contentKey_data()
{
    QTest::addColumn<Question>("other");
    QTest::addColumn<QByteArray>("picture");
    QTest::addColumn<bool>("same");
    const QByteArray jpeg("\xff\xd8 picture", 10);
    QTest::newRow("identical") << questionOf("Можно ли?", {"Да.", "Нет."}, 2) << jpeg << true;
    QTest::newRow("spaces and a no-break space")
        << questionOf(" Можно\u00a0 ли? ", {"Да.  ", "\tНет."}, 2) << jpeg << true;
    QTest::newRow("question reworded")
        << questionOf("Разрешено ли?", {"Да.", "Нет."}, 2) << jpeg << false;
    QTest::newRow("variants swapped")
        << questionOf("Можно ли?", {"Нет.", "Да."}, 2) << jpeg << false;
    QTest::newRow("another right variant")
        << questionOf("Можно ли?", {"Да.", "Нет."}, 1) << jpeg << false;
    QTest::newRow("variant added")
        << questionOf("Можно ли?", {"Да.", "Нет.", "Не знаю."}, 2) << jpeg << false;
    QTest::newRow("text moved between variants")
        << questionOf("Можно ли?", {"Да.Нет.", ""}, 2) << jpeg << false;
    QTest::newRow("another picture")
        << questionOf("Можно ли?", {"Да.", "Нет."}, 2) << QByteArray("\xff\xd8 other", 8) << false;
    QTest::newRow("no picture") << questionOf("Можно ли?", {"Да.", "Нет."}, 2) << QByteArray()
                                << false;
}

void TestContentKeys::contentKey()
{
    QFETCH(Question, other);
    QFETCH(QByteArray, picture);
    QFETCH(bool, same);
    const Question base = questionOf("Можно ли?", {"Да.", "Нет."}, 2);
    const qint64 key = QuestionKeys::contentKey(base, QByteArray("\xff\xd8 picture", 10));
    QCOMPARE(QuestionKeys::contentKey(other, picture) == key, same);
}

void TestContentKeys::carriedOverMessage_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("noun");
    const QList<std::pair<int, const char *>> rows{
        {1, "вопрос"},     {2, "вопроса"},    {4, "вопроса"},  {5, "вопросов"},  {11, "вопросов"},
        {12, "вопросов"},  {14, "вопросов"},  {21, "вопрос"},  {22, "вопроса"},  {100, "вопросов"},
        {111, "вопросов"}, {212, "вопросов"}, {761, "вопрос"}, {763, "вопроса"}, {800, "вопросов"}};
    for (const auto &[count, noun] : rows)
        QTest::addRow("%d", count) << count << QString::fromUtf8(noun);
}

void TestContentKeys::carriedOverMessage()
{
    QFETCH(int, count);
    QFETCH(QString, noun);
    QCOMPARE(::carriedOverMessage(count),
             QStringLiteral("Из прошлой базы перенесены ответы на %1 %2.").arg(count).arg(noun));
}

void TestContentKeys::nextRelease_unchangedQuestionsKeepTheirPast()
{
    QTemporaryDir dir;
    const QString firstPath = dir.filePath(QStringLiteral("release1.dbv"));
    const QString secondPath = dir.filePath(QStringLiteral("release2.dbv"));
    QVERIFY(SyntheticDatabase::write(firstPath, QStringLiteral("Билеты, выпуск 1")));

    // The second release: every question moved; question 2 reworded, a
    // variant of 31 reworded, 43's picture replaced; 4 only gained spaces.
    const int reworded = 2, newVariant = 31, newPicture = 43, respaced = 4;
    QVERIFY(SyntheticDatabase::hasPicture(newPicture));
    const QList<int> changed{reworded, newVariant, newPicture};
    {
        QuestionDatabase first;
        first.openDatabase(firstPath);
        DatabaseWriter writer;
        writer.setTitle(QStringLiteral("Билеты, выпуск 2"));
        for (int a = 1; a <= 800; ++a) {
            QStringList lines = SyntheticDatabase::questionLines(a);
            QByteArray picture = first.readQuestionPictureBytes(a);
            if (a == reworded)
                lines[1] += QStringLiteral(" (в новой редакции)");
            if (a == newVariant)
                lines[2] = QStringLiteral("Другой ответ *");
            if (a == respaced)
                lines[1] = QStringLiteral("  ") + lines[1].replace(' ', QStringLiteral("  "));
            if (a == newPicture)
                picture = first.readQuestionPictureBytes(13);
            writer.setQuestion(movedTo(a), DatabaseWriter::textBlock(lines), picture);
        }
        QVERIFY(writer.writeFile(secondPath));
    }

    LearnerHistory history;
    history.open(dir.path(), firstPath);
    QVERIFY(history.isAvailable());
    AnswerHistory &store = *history.store();
    const QString firstFingerprint = history.fingerprint();
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const qint64 nowMs = now.toMSecsSinceEpoch();
    constexpr qint64 Day = 86'400'000;
    // Learning five days ago: questions 1..60, the odd ones wrong; a
    // marathon two days ago through 1..100, every tenth wrong.
    for (int a = 1; a <= 60; ++a) {
        QVERIFY(store.recordAnswer(firstFingerprint,
                                   AnswerRecord{a, HistoryMode::Learning, 1, a % 2 == 0, 5,
                                                nowMs - 5 * Day + a * 1000, 0}));
    }
    QList<int> order;
    for (int a = 1; a <= 800; ++a)
        order << a;
    for (int a = 1; a <= 100; ++a) {
        QVERIFY(store.recordAnswer(firstFingerprint,
                                   AnswerRecord{a, HistoryMode::Marathon, 1, a % 10 != 0, 5,
                                                nowMs - 2 * Day + a * 1000, 0}));
    }
    QVERIFY(store.saveMarathon(firstFingerprint, MarathonState{order, 100, 90, 10}, now));
    const QList<AnswerOutcome> before = history.outcomes();
    const QuestionProgressTable firstTable = QuestionProgressTable::fromAnswers(before);

    history.setDatabase(secondPath);
    QVERIFY(history.fingerprint() != firstFingerprint);

    // Every answer to an unchanged question, under its new number.
    QList<AnswerOutcome> expected;
    for (AnswerOutcome o : before) {
        if (changed.contains(o.question))
            continue;
        o.question = movedTo(o.question);
        expected << o;
    }
    QCOMPARE(history.outcomes(), expected);

    // Mistakes, review and readiness: an unchanged question has its whole
    // past wherever it now sits; a changed one has none.
    const QuestionProgressTable table = QuestionProgressTable::fromAnswers(history.outcomes());
    const qint64 dayEnd = nowMs + Day;
    int expectedMistakes = 0, expectedDue = 0;
    for (int a = 1; a <= 800; ++a) {
        const QuestionProgress &now2 = table.question(movedTo(a));
        const QuestionProgress &then = firstTable.question(a);
        if (changed.contains(a)) {
            QVERIFY2(!now2.isAnswered(), qPrintable(QString::number(a)));
            continue;
        }
        QCOMPARE(now2.answers, then.answers);
        QCOMPARE(MistakesList::contains(now2), MistakesList::contains(then));
        if (then.isAnswered()) {
            QCOMPARE(QuestionProgressTable::dueMs(now2), QuestionProgressTable::dueMs(then));
            // Readiness starts from each question's chance of recall now.
            QCOMPARE(table.recallProbability(movedTo(a), nowMs, 0.5),
                     firstTable.recallProbability(a, nowMs, 0.5));
            expectedDue += QuestionProgressTable::dueMs(then) <= dayEnd ? 1 : 0;
        }
        expectedMistakes += MistakesList::contains(then) ? 1 : 0;
    }
    QCOMPARE(table.answeredCount(), 97);
    QCOMPARE(MistakesList::count(table), expectedMistakes);
    QCOMPARE(ReviewSchedule::dueCount(table, dayEnd), expectedDue);
    QVERIFY(expectedMistakes > 20 && expectedDue > 0);
    QCOMPARE(Readiness::compute(table, nowMs, history.model()).neverAnswered, 800 - 97);

    // The marathon goes on: 97 of its 100 answered questions are still
    // there (with 2, 31 and 43 three right answers go); the changed
    // questions come last.
    const auto marathon = history.marathon();
    QVERIFY(marathon);
    QCOMPARE(marathon->position, 97);
    QCOMPARE(marathon->right, 87);
    QCOMPARE(marathon->wrong, 10);
    QList<int> expectedOrder;
    for (int a = 1; a <= 800; ++a) {
        if (!changed.contains(a))
            expectedOrder << movedTo(a);
    }
    QList<int> last{movedTo(reworded), movedTo(newVariant), movedTo(newPicture)};
    std::sort(last.begin(), last.end());
    QCOMPARE(marathon->order, expectedOrder + last);

    // The learner window says so once, the first time it shows the new
    // database, and keeps saying it while it shows it.
    {
        LearnerWindow window(history);
        window.show();
        auto *notice = window.findChild<QLabel *>(QStringLiteral("carriedOverLabel"));
        QVERIFY(notice->isVisible());
        QCOMPARE(notice->text(),
                 QStringLiteral("Из прошлой базы перенесены ответы на 97 вопросов."));
        window.refresh();
        QVERIFY(notice->isVisible());
        QCOMPARE(history.carriedOverNotice(), 0);
        history.setDatabase(firstPath);
        window.refresh();
        QVERIFY(!notice->isVisible());
        history.setDatabase(secondPath);
    }
    {
        LearnerWindow window(history);
        window.show();
        QVERIFY(!window.findChild<QLabel *>(QStringLiteral("carriedOverLabel"))->isVisible());
    }

    // Answers in the new release count in the old one too, for the same
    // questions.
    QVERIFY(
        store.recordAnswer(history.fingerprint(),
                           AnswerRecord{movedTo(5), HistoryMode::Learning, 1, true, 5, nowMs, 0}));
    QVERIFY(store.recordAnswer(
        history.fingerprint(),
        AnswerRecord{movedTo(reworded), HistoryMode::Learning, 1, true, 5, nowMs, 0}));
    history.setDatabase(firstPath);
    const QList<AnswerOutcome> back = history.outcomes();
    QCOMPARE(back.size(), before.size() + 1);
    QCOMPARE(back.last(), (AnswerOutcome{5, true, nowMs}));
}

QTEST_MAIN(TestContentKeys)
#include "tst_contentkeys.moc"
