// The answer history store: what it records and reads back, its schema and
// the migration from the first release, the marathon, clearing, and the
// database fingerprint.
#include "answerhistory.h"
#include "databasefingerprint.h"
#include "historyschema.h"

#include <QBuffer>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <numeric>

namespace {

const QString DbA = DatabaseFingerprint::fromHeader("title A");
const QString DbB = DatabaseFingerprint::fromHeader("title B");

AnswerRecord answer(int question, bool right, qint64 at, HistoryMode mode = HistoryMode::Learning,
                    qint64 attempt = 0)
{
    return AnswerRecord{question, mode, 3, right, 7, at, attempt};
}

// Runs `statements` on the file through a connection of the test's own.
QVariant runSql(const QString &path, const QStringList &statements)
{
    QVariant last;
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("raw"));
        db.setDatabaseName(path);
        if (!db.open())
            return last;
        QSqlQuery query(db);
        for (const QString &statement : statements) {
            if (!query.exec(statement))
                qWarning() << statement << query.lastError().text();
            if (query.next())
                last = query.value(0);
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("raw"));
    return last;
}

} // namespace

class TestAnswerHistory : public QObject
{
    Q_OBJECT

private slots:
    void fingerprint_data();
    void fingerprint();
    void fingerprint_fromFile_survivesRename();
    void newFile_hasCurrentSchemaInWalMode();
    void answers_roundTripAndQueries();
    void attempts_beginAndEnd();
    void recordAnswer_rejectsQuestionOutsideBank();
    void migrate_fromVersion1_keepsRowsAndAddsNewTables();
    void newerFile_refusedAndLeftAlone();
    void marathon_savedAndRestored();
    void marathon_invalidStoredOrder_ignored();
    void clear_removesOnlyThatDatabase();
    void connections_uniqueAndRemoved();
};

void TestAnswerHistory::fingerprint_data()
{
    QTest::addColumn<QByteArray>("first");
    QTest::addColumn<QByteArray>("second");
    QTest::addColumn<bool>("same");
    QByteArray header(12851, 'x');
    QByteArray otherTitle = header;
    otherTitle[10] = 'y';
    QByteArray otherIndex = header;
    otherIndex[12850] = 'y';
    QByteArray longer = header + QByteArray("text blocks and pictures");
    QTest::newRow("same header") << header << QByteArray(header) << true;
    QTest::newRow("other title") << header << otherTitle << false;
    QTest::newRow("other index") << header << otherIndex << false;
    QTest::newRow("bytes after the header ignored") << header << longer << true;
    QTest::newRow("short header zero-padded")
        << QByteArray("abc") << (QByteArray("abc") + QByteArray(12848, '\0')) << true;
}

void TestAnswerHistory::fingerprint()
{
    QFETCH(QByteArray, first);
    QFETCH(QByteArray, second);
    QFETCH(bool, same);
    const QString a = DatabaseFingerprint::fromHeader(first);
    QCOMPARE(a.size(), 64);
    QCOMPARE(a == DatabaseFingerprint::fromHeader(second), same);
    QBuffer buffer(&first);
    QCOMPARE(DatabaseFingerprint::fromDevice(buffer), a);
}

void TestAnswerHistory::fingerprint_fromFile_survivesRename()
{
    QTemporaryDir dir;
    QFile file(dir.filePath("dataAB.dbv"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(20000, 'q'));
    file.close();
    const QString before = DatabaseFingerprint::fromFile(file.fileName());
    QVERIFY(QFile::rename(file.fileName(), dir.filePath("renamed.dbv")));
    QCOMPARE(DatabaseFingerprint::fromFile(dir.filePath("renamed.dbv")), before);
    QCOMPARE(DatabaseFingerprint::fromFile(dir.filePath("missing.dbv")), QString());
}

void TestAnswerHistory::newFile_hasCurrentSchemaInWalMode()
{
    QTemporaryDir dir;
    const QString path = AnswerHistory::filePathIn(dir.path());
    QCOMPARE(QFileInfo(path).fileName(), QStringLiteral("history.sqlite"));
    {
        AnswerHistory history(path);
        QVERIFY2(history.isAvailable(), qPrintable(history.errorMessage()));
        QCOMPARE(history.takePendingMessage(), QString());
    }
    QCOMPARE(runSql(path, {"PRAGMA user_version"}).toInt(), HistorySchema::CurrentVersion);
    QCOMPARE(runSql(path, {"PRAGMA journal_mode"}).toString(), QStringLiteral("wal"));
    QCOMPARE(runSql(path, {"SELECT count(*) FROM sqlite_master WHERE name IN "
                           "('answers', 'attempts', 'marathon')"})
                 .toInt(),
             3);
}

void TestAnswerHistory::answers_roundTripAndQueries()
{
    QTemporaryDir dir;
    AnswerHistory history(AnswerHistory::filePathIn(dir.path()));
    const QList<AnswerRecord> recorded{
        answer(5, false, 1000, HistoryMode::Exam),
        answer(700, true, 2000, HistoryMode::Marathon),
        answer(5, true, 3000, HistoryMode::Mistakes),
        answer(5, true, 4000, HistoryMode::Review),
        answer(1, false, 4000, HistoryMode::OfficialExam),
    };
    for (const AnswerRecord &a : recorded)
        QVERIFY(history.recordAnswer(DbA, a));
    QVERIFY(history.recordAnswer(DbB, answer(5, false, 1500, HistoryMode::Topic)));

    QCOMPARE(history.answers(DbA), recorded);
    QList<AnswerOutcome> outcomes;
    for (const AnswerRecord &a : recorded)
        outcomes.append(a.outcome());
    QCOMPARE(history.outcomes(DbA), outcomes);
    QVERIFY(history.outcomes(DatabaseFingerprint::fromHeader("never used")).isEmpty());
    QCOMPARE(history.answersOfQuestion(DbA, 5),
             (QList<AnswerRecord>{recorded[0], recorded[2], recorded[3]}));
    QCOMPARE(history.answersBetween(DbA, QDateTime::fromMSecsSinceEpoch(2000, Qt::UTC),
                                    QDateTime::fromMSecsSinceEpoch(4000, Qt::UTC)),
             (QList<AnswerRecord>{recorded[1], recorded[2]}));
    // Per question its two latest, newest first; questions ascending.
    QCOMPARE(history.latestAnswers(DbA, 2),
             (QList<AnswerRecord>{recorded[4], recorded[3], recorded[2], recorded[1]}));
    QCOMPARE(history.answers(DbB).size(), 1);
    QCOMPARE(recorded[0].answeredAt(), QDateTime::fromMSecsSinceEpoch(1000, Qt::UTC));
}

void TestAnswerHistory::attempts_beginAndEnd()
{
    QTemporaryDir dir;
    AnswerHistory history(AnswerHistory::filePathIn(dir.path()));
    const QDateTime start = QDateTime::fromMSecsSinceEpoch(10'000, Qt::UTC);
    const qint64 exam = history.beginAttempt(DbA, HistoryMode::Exam, start);
    const qint64 learning = history.beginAttempt(DbA, HistoryMode::Learning, start.addSecs(1));
    QVERIFY(exam > 0 && learning > 0 && exam != learning);
    QVERIFY(history.recordAnswer(DbA, answer(3, true, 10'500, HistoryMode::Exam, exam)));
    QVERIFY(history.endAttempt(exam, start.addSecs(60), AttemptSummary{18, 2, true}));
    QVERIFY(history.endAttempt(learning, start.addSecs(90), AttemptSummary{5, 15, std::nullopt}));
    QVERIFY(!history.endAttempt(12345, start, AttemptSummary{}));

    const QList<AttemptRecord> attempts = history.attempts(DbA);
    QCOMPARE(attempts.size(), 2);
    QCOMPARE(attempts[0].mode, HistoryMode::Exam);
    QCOMPARE(attempts[0].endedAtMs, std::optional<qint64>(70'000));
    QCOMPARE(attempts[0].result->wrong, 2);
    QCOMPARE(attempts[0].result->passed, std::optional<bool>(true));
    QCOMPARE(attempts[1].result->passed, std::nullopt);
    QCOMPARE(history.answers(DbA).first().attemptId, exam);
}

void TestAnswerHistory::recordAnswer_rejectsQuestionOutsideBank()
{
    QTemporaryDir dir;
    AnswerHistory history(AnswerHistory::filePathIn(dir.path()));
    QVERIFY(!history.recordAnswer(DbA, answer(0, true, 1)));
    QVERIFY(!history.recordAnswer(DbA, answer(801, true, 1)));
    QVERIFY(history.isAvailable());
    QVERIFY(history.answers(DbA).isEmpty());
}

void TestAnswerHistory::migrate_fromVersion1_keepsRowsAndAddsNewTables()
{
    QTemporaryDir dir;
    const QString path = AnswerHistory::filePathIn(dir.path());
    // A file as the first release wrote it, with one attempt and two answers.
    const QStringList version1{
        "PRAGMA journal_mode = WAL",
        "CREATE TABLE databases (id INTEGER PRIMARY KEY, fingerprint TEXT NOT NULL UNIQUE)",
        "CREATE TABLE answers (id INTEGER PRIMARY KEY,"
        " database INTEGER NOT NULL REFERENCES databases (id),"
        " question INTEGER NOT NULL CHECK (question BETWEEN 1 AND 800), mode TEXT NOT NULL,"
        " variant INTEGER NOT NULL, right INTEGER NOT NULL CHECK (right IN (0, 1)),"
        " seconds INTEGER NOT NULL, answered_at INTEGER NOT NULL)",
        "CREATE INDEX answers_by_question ON answers (database, question, answered_at)",
        "CREATE TABLE attempts (id INTEGER PRIMARY KEY,"
        " database INTEGER NOT NULL REFERENCES databases (id), mode TEXT NOT NULL,"
        " started_at INTEGER NOT NULL, ended_at INTEGER, correct INTEGER, wrong INTEGER,"
        " passed INTEGER)",
        QStringLiteral("INSERT INTO databases VALUES (4, '%1')").arg(DbA),
        "INSERT INTO answers VALUES (1, 4, 12, 'training', 2, 0, 9, 5000)",
        "INSERT INTO answers VALUES (2, 4, 12, 'exam', 4, 1, 3, 6000)",
        "INSERT INTO attempts VALUES (1, 4, 'exam', 5500, 7000, 20, 0, 1)",
        "PRAGMA user_version = 1",
    };
    runSql(path, version1);
    QCOMPARE(runSql(path, {"PRAGMA user_version"}).toInt(), 1);
    {
        AnswerHistory history(path);
        QVERIFY2(history.isAvailable(), qPrintable(history.errorMessage()));
        QCOMPARE(history.answers(DbA),
                 (QList<AnswerRecord>{AnswerRecord{12, HistoryMode::Training, 2, false, 9, 5000, 0},
                                      AnswerRecord{12, HistoryMode::Exam, 4, true, 3, 6000, 0}}));
        QCOMPARE(history.attempts(DbA).size(), 1);
        QVERIFY(history.recordAnswer(DbA, answer(13, true, 8000, HistoryMode::Exam, 1)));
        QCOMPARE(history.answers(DbA).last().attemptId, 1);
        QList<int> order(800);
        std::iota(order.begin(), order.end(), 1);
        QVERIFY(
            history.saveMarathon(DbA, MarathonState{order, 3}, QDateTime::currentDateTimeUtc()));
    }
    QCOMPARE(runSql(path, {"PRAGMA user_version"}).toInt(), HistorySchema::CurrentVersion);
    QCOMPARE(
        runSql(path, {"SELECT count(*) FROM sqlite_master WHERE name = 'answers_by_time'"}).toInt(),
        1);
}

void TestAnswerHistory::newerFile_refusedAndLeftAlone()
{
    QTemporaryDir dir;
    const QString path = AnswerHistory::filePathIn(dir.path());
    runSql(path, {"CREATE TABLE future (x)", "PRAGMA user_version = 99"});
    AnswerHistory history(path);
    QVERIFY(!history.isAvailable());
    QVERIFY(history.errorMessage().contains(QStringLiteral("более новой версией")));
    QVERIFY(history.damagedFileKeptAs().isEmpty());
    QVERIFY(!history.recordAnswer(DbA, answer(1, true, 1)));
    QCOMPARE(runSql(path, {"PRAGMA user_version"}).toInt(), 99);
}

void TestAnswerHistory::marathon_savedAndRestored()
{
    QTemporaryDir dir;
    const QString path = AnswerHistory::filePathIn(dir.path());
    QList<int> order(800);
    std::iota(order.rbegin(), order.rend(), 1); // 800, 799, ..., 1
    {
        AnswerHistory history(path);
        QCOMPARE(history.marathon(DbA), std::nullopt);
        QVERIFY(
            history.saveMarathon(DbA, MarathonState{order, 10}, QDateTime::currentDateTimeUtc()));
        QVERIFY(
            history.saveMarathon(DbA, MarathonState{order, 11}, QDateTime::currentDateTimeUtc()));
    }
    {
        AnswerHistory reopened(path);
        QCOMPARE(reopened.marathon(DbA), std::optional(MarathonState{order, 11}));
        QCOMPARE(reopened.marathon(DbB), std::nullopt);
        QVERIFY(reopened.saveMarathon(DbA, MarathonState{order, 12, 9, 3},
                                      QDateTime::currentDateTimeUtc()));
    }
    {
        AnswerHistory reopened(path);
        QCOMPARE(reopened.marathon(DbA), std::optional(MarathonState{order, 12, 9, 3}));
    }
    // Counts that cannot be (more answers than the position) are dropped;
    // the place in the order stays.
    runSql(path, {"UPDATE marathon SET right_count = 20"});
    AnswerHistory reopened(path);
    QCOMPARE(reopened.marathon(DbA), std::optional(MarathonState{order, 12, 0, 0}));
}

void TestAnswerHistory::marathon_invalidStoredOrder_ignored()
{
    QTemporaryDir dir;
    const QString path = AnswerHistory::filePathIn(dir.path());
    QList<int> repeated(800, 1);
    {
        AnswerHistory history(path);
        QVERIFY(
            history.saveMarathon(DbA, MarathonState{repeated, 0}, QDateTime::currentDateTimeUtc()));
        QVERIFY(history.saveMarathon(DbB, MarathonState{{1, 2, 3}, 0},
                                     QDateTime::currentDateTimeUtc()));
        QCOMPARE(history.marathon(DbA), std::nullopt);
        QCOMPARE(history.marathon(DbB), std::nullopt);
    }
}

void TestAnswerHistory::clear_removesOnlyThatDatabase()
{
    QTemporaryDir dir;
    AnswerHistory history(AnswerHistory::filePathIn(dir.path()));
    QList<int> order(800);
    std::iota(order.begin(), order.end(), 1);
    for (const QString &db : {DbA, DbB}) {
        QVERIFY(history.recordAnswer(db, answer(1, true, 1)));
        QVERIFY(history.beginAttempt(db, HistoryMode::Exam, QDateTime::currentDateTimeUtc()) > 0);
        QVERIFY(history.saveMarathon(db, MarathonState{order, 1}, QDateTime::currentDateTimeUtc()));
    }
    QVERIFY(history.clear(DbA, QDateTime::currentDateTimeUtc()));
    QVERIFY(history.answers(DbA).isEmpty());
    QVERIFY(history.attempts(DbA).isEmpty());
    QCOMPARE(history.marathon(DbA), std::nullopt);
    QCOMPARE(history.answers(DbB).size(), 1);
    QCOMPARE(history.attempts(DbB).size(), 1);
    QVERIFY(history.marathon(DbB).has_value());
    QVERIFY(history.isAvailable());
}

void TestAnswerHistory::connections_uniqueAndRemoved()
{
    QTemporaryDir dir;
    const QString path = AnswerHistory::filePathIn(dir.path());
    {
        AnswerHistory first(path);
        AnswerHistory second(path);
        QVERIFY(first.isAvailable() && second.isAvailable());
        QCOMPARE(QSqlDatabase::connectionNames().size(), 2);
        QVERIFY(first.recordAnswer(DbA, answer(1, true, 1)));
        QVERIFY(second.recordAnswer(DbA, answer(2, false, 2)));
        QCOMPARE(first.answers(DbA).size(), 2);
    }
    QVERIFY(QSqlDatabase::connectionNames().isEmpty());
}

QTEST_GUILESS_MAIN(TestAnswerHistory)
#include "tst_answerhistory.moc"
