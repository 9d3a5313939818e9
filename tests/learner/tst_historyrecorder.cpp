// What the recorder writes of a learning attempt: a right answer after the
// comment is kept as a correction, and it does not count as knowing.
#include "answerhistory.h"
#include "databasefingerprint.h"
#include "examattempt.h"
#include "historyrecorder.h"
#include "historywritequeue.h"
#include "mistakeslist.h"
#include "programrandom.h"
#include "questiondatabase.h"
#include "questionprogress.h"
#include "statrecord.h"
#include "syntheticdatabase.h"

#include <QBuffer>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

class TestHistoryRecorder : public QObject
{
    Q_OBJECT

private slots:
    void learning_answerAfterTheComment_isACorrectionAndNotRecall();

private:
    void runLearning(AnswerHistory &history, const QList<std::pair<int, bool>> &answers);

    QTemporaryDir m_dir;
    QuestionDatabase m_database;
    StatRecord m_record;
    const QString m_fingerprint = DatabaseFingerprint::fromHeader("recorder");
};

// One learning attempt over ticket 1: each (position, right) in turn.
void TestHistoryRecorder::runLearning(AnswerHistory &history,
                                      const QList<std::pair<int, bool>> &answers)
{
    AttemptSetup setup;
    setup.mode = AttemptMode::Learning;
    setup.ticket = 1;
    setup.progressPath = QDir(m_dir.path()).filePath(QStringLiteral("stat.dat"));
    HistoryWriteQueue writes(history); // outlives the attempt and its recorder
    ExamAttempt attempt(setup, m_database, m_record);
    HistoryRecorder::attach(attempt, writes, m_fingerprint, HistoryMode::Learning);
    attempt.start();
    for (const auto &[position, right] : answers) {
        QVERIFY(attempt.selectPosition(position));
        const int correct = attempt.correctVariant();
        QVERIFY(attempt.answer(right ? correct : (correct == 1 ? 2 : 1)).accepted);
    }
}

void TestHistoryRecorder::learning_answerAfterTheComment_isACorrectionAndNotRecall()
{
    auto buffer = std::make_unique<QBuffer>();
    buffer->setData(SyntheticDatabase::bytes());
    m_database.openDevice(std::move(buffer));
    ProgramRandom::clearScript();
    AnswerHistory history(AnswerHistory::filePathIn(m_dir.path()));

    // Question 1 wrong, then right after its comment, and a second wrong
    // click on question 2 after its comment; question 3 right at once.
    runLearning(history, {{1, false}, {1, true}, {2, false}, {2, false}, {3, true}});
    QList<bool> corrections;
    for (const AnswerRecord &a : history.answers(m_fingerprint))
        corrections << a.correction;
    QCOMPARE(corrections, (QList<bool>{false, true, false, true, false}));

    // One right answer in a new attempt: question 1 has one right answer
    // since its mistake, not two, and stays on the mistakes list; its
    // memory state knows one lapse and one recall.
    runLearning(history, {{1, true}});
    const QuestionProgressTable table =
        QuestionProgressTable::fromAnswers(history.outcomes(m_fingerprint));
    QVERIFY(MistakesList::contains(table.question(1)));
    QCOMPARE(table.question(1).answers, 2);
    QCOMPARE(table.question(1).rightSinceLastWrong, 1);
    QCOMPARE(table.question(2).answers, 1);
    m_database.closeDatabase();
}

QTEST_GUILESS_MAIN(TestHistoryRecorder)
#include "tst_historyrecorder.moc"
