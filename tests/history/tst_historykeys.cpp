// The history by content keys: the schema steps that brought them and the
// corrections, answers read by key across databases, the marathon carried
// to a new release, and numbers from a tampered file read within range.
#include "answerhistory.h"
#include "databasefingerprint.h"
#include "historyschema.h"
#include "marathoncarryover.h"
#include "preparationoverview.h"
#include "questionprogress.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <limits>

namespace {

using AnswerMap = QMap<int, bool>; // a marathon's answers: question -> right

const QString DbA = DatabaseFingerprint::fromHeader("title A");
const QString DbB = DatabaseFingerprint::fromHeader("title B");
const QString DbC = DatabaseFingerprint::fromHeader("title C");

// Runs `statements` on the file through a connection of the test's own,
// after bringing it to schema `version` when that is not 0; returns the
// first column of the last row the last statement gave.
QVariant runSql(const QString &path, const QStringList &statements, int version = 0)
{
    QVariant last;
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("raw"));
        db.setDatabaseName(path);
        if (!db.open())
            return last;
        if (version > 0 && !HistorySchema::migrate(db, version).isEmpty())
            return last;
        QSqlQuery query(db);
        for (const QString &statement : statements) {
            if (!query.exec(statement))
                qWarning() << statement << query.lastError().text();
            while (query.next())
                last = query.value(0);
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("raw"));
    return last;
}

AnswerHistory::StoredKeys keysOf(const std::function<qint64(int)> &keyOfQuestion)
{
    AnswerHistory::StoredKeys keys;
    keys.fileSize = 1;
    keys.modifiedMs = 1;
    for (int q = 1; q <= 800; ++q)
        keys.keys << keyOfQuestion(q);
    return keys;
}

AnswerRecord answer(int question, bool right, qint64 at)
{
    return AnswerRecord{question, HistoryMode::Learning, 1, right, 4, at, 0};
}

QList<AnswerOutcome> outcomesOf(const QList<AnswerRecord> &records)
{
    QList<AnswerOutcome> result;
    for (const AnswerRecord &r : records)
        result << r.outcome();
    return result;
}

} // namespace

class TestHistoryKeys : public QObject
{
    Q_OBJECT

private slots:
    void migrate_marksCorrectionsAndKeysLater_data();
    void migrate_marksCorrectionsAndKeysLater();
    void answers_readByKeyAcrossDatabases_andClearedByKey();
    void marathonCarry_data();
    void marathonCarry();
    void marathon_carriedToTheFirstOpenedRelease();
    void tamperedNumbers_readWithinRange_andComputedWithoutOverflow();
};

void TestHistoryKeys::migrate_marksCorrectionsAndKeysLater_data()
{
    QTest::addColumn<int>("fromVersion");
    QTest::newRow("version 3 (before keys and corrections)") << 3;
    QTest::newRow("version 4 (keys, no corrections)") << 4;
}

void TestHistoryKeys::migrate_marksCorrectionsAndKeysLater()
{
    QFETCH(int, fromVersion);
    QTemporaryDir dir;
    const QString path = AnswerHistory::filePathIn(dir.path());
    // Two learning attempts and answers outside any attempt, as an earlier
    // version recorded them: a right answer after a wrong one to the same
    // question in the same attempt is a correction, and so is a second wrong
    // one; the same question in another attempt or outside one is not.
    runSql(path,
           {QStringLiteral("INSERT INTO databases (id, fingerprint) VALUES (1, '%1')").arg(DbA),
            "INSERT INTO attempts (id, database, mode, started_at) VALUES "
            "(1, 1, 'learning', 1000), (2, 1, 'learning', 5000)",
            "INSERT INTO answers (id, database, question, mode, variant, right, seconds, "
            "answered_at, attempt) VALUES "
            "(1, 1, 5, 'learning', 2, 0, 3, 1100, 1),"
            "(2, 1, 5, 'learning', 1, 1, 3, 1200, 1),"
            "(3, 1, 6, 'learning', 1, 1, 3, 1300, 1),"
            "(4, 1, 5, 'learning', 1, 1, 3, 5100, 2),"
            "(5, 1, 7, 'training', 2, 0, 3, 5200, NULL),"
            "(6, 1, 7, 'training', 1, 1, 3, 5300, NULL),"
            "(7, 1, 6, 'learning', 2, 0, 3, 5400, 2),"
            "(8, 1, 6, 'learning', 3, 0, 3, 5500, 2)"},
           fromVersion);
    QCOMPARE(runSql(path, {"PRAGMA user_version"}).toInt(), fromVersion);

    AnswerHistory history(path);
    QVERIFY2(history.isAvailable(), qPrintable(history.errorMessage()));
    QCOMPARE(runSql(path, {"PRAGMA user_version"}).toInt(), HistorySchema::CurrentVersion);
    const QList<AnswerRecord> answers = history.answers(DbA);
    QList<bool> corrections;
    for (const AnswerRecord &a : answers)
        corrections << a.correction;
    QCOMPARE(corrections, (QList<bool>{false, true, false, false, false, false, false, true}));
    QCOMPARE(answers[1].question, 5);

    // The answers keep their place as identity until their database is
    // opened, then take its keys.
    const QString unkeyed =
        QStringLiteral("SELECT count(*) FROM answers WHERE question_key IS NULL");
    QCOMPARE(runSql(path, {unkeyed}).toInt(), 8);
    QCOMPARE(history.registerQuestionKeys(DbA, keysOf([](int q) { return 7000 + q; })),
             std::optional(0));
    QCOMPARE(runSql(path, {unkeyed}).toInt(), 0);
    QCOMPARE(runSql(path, {"SELECT question_key FROM answers WHERE id = 5"}).toLongLong(), 7007);
    QCOMPARE(history.answers(DbA), answers);
}

void TestHistoryKeys::answers_readByKeyAcrossDatabases_andClearedByKey()
{
    QTemporaryDir dir;
    AnswerHistory history(AnswerHistory::filePathIn(dir.path()));
    // B is A's next release: questions 11..800 of A moved to 790..1 (A's q
    // is B's 801 - q); A's 1..10 were changed and are B's 791..800.
    QCOMPARE(history.registerQuestionKeys(DbA, keysOf([](int q) { return 1000 + q; })),
             std::optional(0));
    QVERIFY(history.recordAnswer(DbA, answer(1, true, 10)));
    QVERIFY(history.recordAnswer(DbA, answer(795, false, 20)));
    QVERIFY(history.recordAnswer(DbC, answer(6, true, 25))); // C never got keys
    QCOMPARE(history.registerQuestionKeys(
                 DbB, keysOf([](int q) { return q <= 790 ? 1000 + 801 - q : 5000 + q; })),
             std::optional(1));
    QCOMPARE(history.carriedOverNotice(DbB), 1);
    QVERIFY(history.clearCarriedOverNotice(DbB));
    QCOMPARE(history.carriedOverNotice(DbB), 0);
    QVERIFY(history.recordAnswer(DbB, answer(6, true, 30)));
    QVERIFY(history.recordAnswer(DbB, answer(795, false, 40)));

    using O = AnswerOutcome;
    QCOMPARE(history.outcomes(DbA), (QList<O>{{1, true, 10}, {795, false, 20}, {795, true, 30}}));
    QCOMPARE(history.outcomes(DbB), (QList<O>{{6, false, 20}, {6, true, 30}, {795, false, 40}}));
    QCOMPARE(history.outcomes(DbC), (QList<O>{{6, true, 25}}));
    QCOMPARE(outcomesOf(history.answers(DbB)), history.outcomes(DbB));
    QCOMPARE(outcomesOf(history.answersOfQuestion(DbB, 6)),
             (QList<O>{{6, false, 20}, {6, true, 30}}));
    QCOMPARE(outcomesOf(history.latestAnswers(DbB, 1)),
             (QList<O>{{6, true, 30}, {795, false, 40}}));
    QCOMPARE(outcomesOf(history.answersBetween(DbB, QDateTime::fromMSecsSinceEpoch(25, Qt::UTC),
                                               QDateTime::fromMSecsSinceEpoch(40, Qt::UTC))),
             (QList<O>{{6, true, 30}}));

    // A reset of B forgets what B shows, wherever it was recorded; A keeps
    // its changed question's answer, C is untouched.
    QVERIFY(history.clear(DbB, QDateTime::fromMSecsSinceEpoch(50, Qt::UTC)));
    QVERIFY(history.outcomes(DbB).isEmpty());
    QCOMPARE(history.outcomes(DbA), (QList<O>{{1, true, 10}}));
    QCOMPARE(history.outcomes(DbC).size(), 1);
    // Answers from before the reset that arrive afterwards (from another PC
    // through the classroom's server, here in A) stay out of B; a later one
    // counts.
    QVERIFY(history.recordAnswer(DbA, answer(796, true, 45)));
    QVERIFY(history.recordAnswer(DbA, answer(797, false, 60)));
    QCOMPARE(history.outcomes(DbB), (QList<O>{{4, false, 60}}));
    QCOMPARE(history.outcomes(DbA).size(), 3);
    QVERIFY(history.beginAttempt(DbB, HistoryMode::Exam,
                                 QDateTime::fromMSecsSinceEpoch(40, Qt::UTC)) > 0);
    QVERIFY(history.attempts(DbB).isEmpty());
}

void TestHistoryKeys::marathonCarry_data()
{
    // Five questions with the keys 11..15 in the old database.
    QTest::addColumn<QList<qint64>>("newKeys");
    QTest::addColumn<MarathonState>("from");
    QTest::addColumn<AnswerMap>("marathonAnswers"); // old question -> right
    QTest::addColumn<MarathonState>("expected");
    const QList<int> order{2, 4, 1, 3, 5};
    const AnswerMap twoAnswered{{2, true}, {4, false}};
    QTest::newRow("same questions moved")
        << QList<qint64>{15, 14, 13, 12, 11} << MarathonState{order, 2, 1, 1} << twoAnswered
        << MarathonState{{4, 2, 5, 3, 1}, 2, 1, 1};
    QTest::newRow("an answered question changed leaves the answered part")
        << QList<qint64>{11, 99, 13, 14, 15} << MarathonState{order, 2, 1, 1} << twoAnswered
        << MarathonState{{4, 1, 3, 5, 2}, 1, 0, 1};
    QTest::newRow("a question still to come changed goes last")
        << QList<qint64>{11, 12, 13, 14, 99} << MarathonState{order, 2, 1, 1} << twoAnswered
        << MarathonState{{2, 4, 1, 3, 5}, 2, 1, 1};
    QTest::newRow("finished, the changed question left to do")
        << QList<qint64>{11, 12, 99, 14, 15} << MarathonState{order, 5, 4, 1}
        << AnswerMap{{2, true}, {4, true}, {1, true}, {3, false}, {5, true}}
        << MarathonState{{2, 4, 1, 5, 3}, 4, 4, 0};
}

void TestHistoryKeys::marathonCarry()
{
    QFETCH(QList<qint64>, newKeys);
    QFETCH(MarathonState, from);
    QFETCH(AnswerMap, marathonAnswers);
    QFETCH(MarathonState, expected);
    const auto answerOf = [&marathonAnswers](int q) -> std::optional<bool> {
        if (!marathonAnswers.contains(q))
            return std::nullopt;
        return marathonAnswers.value(q);
    };
    const MarathonState carried =
        MarathonCarryOver::carry(from, {11, 12, 13, 14, 15}, newKeys, answerOf);
    QCOMPARE(carried.order, expected.order);
    QCOMPARE(carried.position, expected.position);
    QCOMPARE(carried.right, expected.right);
    QCOMPARE(carried.wrong, expected.wrong);
}

void TestHistoryKeys::marathon_carriedToTheFirstOpenedRelease()
{
    QTemporaryDir dir;
    AnswerHistory history(AnswerHistory::filePathIn(dir.path()));
    QCOMPARE(history.registerQuestionKeys(DbA, keysOf([](int q) { return 1000 + q; })),
             std::optional(0));
    QList<int> order;
    for (int q = 800; q >= 1; --q)
        order << q;
    // 800 (right) and 799 (wrong) answered; 799 changes in B.
    QVERIFY(
        history.recordAnswer(DbA, AnswerRecord{800, HistoryMode::Marathon, 1, true, 2, 100, 0}));
    QVERIFY(
        history.recordAnswer(DbA, AnswerRecord{799, HistoryMode::Marathon, 1, false, 2, 200, 0}));
    QVERIFY(history.saveMarathon(DbA, MarathonState{order, 2, 1, 1},
                                 QDateTime::fromMSecsSinceEpoch(300, Qt::UTC)));
    // B: the same questions in the same places, but 799 changed.
    QVERIFY(history.registerQuestionKeys(DbB,
                                         keysOf([](int q) { return q == 799 ? 9999 : 1000 + q; })));
    const auto carried = history.marathon(DbB);
    QVERIFY(carried);
    QCOMPARE(carried->position, 1);
    QCOMPARE(carried->right, 1);
    QCOMPARE(carried->wrong, 0);
    QCOMPARE(carried->order.first(), 800);
    QCOMPARE(carried->order.last(), 799);
    // Only the first time: a marathon of B's own is never replaced, and A's
    // stays as it was.
    QVERIFY(
        history.saveMarathon(DbB, MarathonState{order, 5, 5, 0}, QDateTime::currentDateTimeUtc()));
    QVERIFY(history.registerQuestionKeys(DbB, keysOf([](int q) { return 1000 + q; })));
    QCOMPARE(history.marathon(DbB)->position, 5);
    QCOMPARE(history.marathon(DbA), std::optional(MarathonState{order, 2, 1, 1}));
}

void TestHistoryKeys::tamperedNumbers_readWithinRange_andComputedWithoutOverflow()
{
    QTemporaryDir dir;
    const QString path = AnswerHistory::filePathIn(dir.path());
    {
        AnswerHistory history(path);
        QVERIFY(history.recordAnswer(DbA, answer(1, true, 1'000'000)));
        QList<int> order;
        for (int q = 1; q <= 800; ++q)
            order << q;
        QVERIFY(
            history.saveMarathon(DbA, MarathonState{order, 3}, QDateTime::currentDateTimeUtc()));
    }
    // Times far off, as REAL, at the ends of a 64-bit integer, and as text;
    // a marathon position of 1e300.
    runSql(path, {"INSERT INTO answers (database, question, mode, variant, right, seconds, "
                  "answered_at) VALUES "
                  "(1, 2, 'learning', 1, 1, 1e300, 1e300),"
                  "(1, 3, 'learning', 1, 0, 1, -1e300),"
                  "(1, 4, 'learning', 1, 1, 1, 9223372036854775807),"
                  "(1, 4, 'learning', 1, 1, 1, -9223372036854775808),"
                  "(1, 5, 'learning', 1e300, 1, 1, 'soon')",
                  "UPDATE marathon SET position = 1e300"});
    AnswerHistory history(path);
    QList<qint64> times;
    for (const AnswerOutcome &o : history.outcomes(DbA))
        times << o.answeredAtMs;
    const qint64 latest = HistoryTime::LatestMs;
    // In the file's order: numbers by value, then text.
    QCOMPARE(times, (QList<qint64>{0, 0, 1'000'000, latest, latest, 0}));
    for (const AnswerRecord &a : history.answers(DbA)) {
        QVERIFY(a.seconds >= 0);
        QVERIFY(a.variant >= 0);
    }
    QCOMPARE(history.marathon(DbA), std::nullopt);

    // What is computed from them stays finite: the memory model, the next
    // review and readiness, also for outcomes that bypass the reader.
    QList<AnswerOutcome> outcomes = history.outcomes(DbA);
    outcomes << AnswerOutcome{9, true, std::numeric_limits<qint64>::min()}
             << AnswerOutcome{9, false, std::numeric_limits<qint64>::max()};
    const QuestionProgressTable table = QuestionProgressTable::fromAnswers(outcomes);
    for (int q : {2, 3, 4, 5, 9}) {
        QVERIFY(table.question(q).isAnswered());
        (void)QuestionProgressTable::dueMs(table.question(q));
        QVERIFY(std::isfinite(table.recallProbability(q, std::numeric_limits<qint64>::min(), 0.5)));
    }
    const PreparationOverview overview = PreparationOverview::compute(
        outcomes, QDateTime::fromMSecsSinceEpoch(latest, Qt::UTC), QTimeZone::utc());
    QVERIFY(std::isfinite(overview.readiness.passProbability));
}

QTEST_GUILESS_MAIN(TestHistoryKeys)
#include "tst_historykeys.moc"
