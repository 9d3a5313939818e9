// "Моя подготовка" in the running program, driven by clicks: opened from the
// main window, "Работа над ошибками" run through the real exam window, and
// the list shrinking by its rules afterwards; "Что учить дальше" and the
// fit of the learner's memory weights.
#include "answerhistory.h"
#include "appsandbox.h"
#include "dailychart.h"
#include "databasefingerprint.h"
#include "examwindow.h"
#include "learnerweights.h"
#include "learnerwindow.h"
#include "mainwindow.h"
#include "messageboxes.h"
#include "program.h"
#include "statrecord.h"

#include <QBarSeries>
#include <QBarSet>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>

class TestLearnerWindow : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void button_keepsTheMainWindowAsItWasAndShowsItsShortcut();
    void emptyHistory_modesDisabledWithAReason();
    void mistakes_runInTheExamWindow_andTheListShrinks();
    void review_answeredRight_isNoLongerDueToday();
    void studyNext_runsTheSetAsReview_andItsFirstQuestionLeaves();
    void memoryWeights_fittedOffTheGuiThreadAndKept();

private:
    // Opens the learner window with a click on the main window's button.
    LearnerWindow *openLearnerWindow(ZeltrakProgram &program);

    std::unique_ptr<AppSandbox> m_sandbox;
    QString m_database;
};

void TestLearnerWindow::init()
{
    m_sandbox = std::make_unique<AppSandbox>();
    m_database = m_sandbox->writeDatabase(QStringLiteral("program/dataAB.dbv"), "База");
    m_sandbox->writeSettings(QStringLiteral("Kol=2\nRnd=2\nSta=1\nTim=4\nBas=") + m_database);
    MessageBoxes::clearShown();
}

void TestLearnerWindow::cleanup()
{
    m_sandbox.reset();
}

LearnerWindow *TestLearnerWindow::openLearnerWindow(ZeltrakProgram &program)
{
    MainWindow *main = program.mainWindow();
    main->show();
    auto *button = main->findChild<QToolButton *>(QStringLiteral("learnerButton"));
    if (!button)
        return nullptr;
    QTest::mouseClick(button, Qt::LeftButton);
    return main->learnerWindow();
}

void TestLearnerWindow::button_keepsTheMainWindowAsItWasAndShowsItsShortcut()
{
    ZeltrakProgram program(m_sandbox->paths);
    MainWindow *main = program.mainWindow();
    main->show();
    auto *button = main->findChild<QToolButton *>(QStringLiteral("learnerButton"));
    QVERIFY(button);
    QCOMPARE(button->text(), QStringLiteral("Моя подготовка"));
    QCOMPARE(button->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_M));
    QVERIFY(button->toolTip().contains(QStringLiteral("Ctrl+M")));
    QCOMPARE(button->focusPolicy(), Qt::NoFocus);
    // It overlaps no other control of the main window.
    for (QWidget *other : main->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (other == button || !other->isVisible() || other->isWindow())
            continue;
        QVERIFY2(!other->geometry().intersects(button->geometry()),
                 qPrintable(other->objectName()));
    }
    // Nothing extra until the learner asks for it.
    QVERIFY(!main->learnerWindow());
}

void TestLearnerWindow::emptyHistory_modesDisabledWithAReason()
{
    ZeltrakProgram program(m_sandbox->paths);
    LearnerWindow *window = openLearnerWindow(program);
    QVERIFY(window && window->isVisible());
    auto *mistakes = window->findChild<QPushButton *>(QStringLiteral("mistakesButton"));
    auto *review = window->findChild<QPushButton *>(QStringLiteral("reviewButton"));
    QVERIFY(!mistakes->isEnabled());
    QVERIFY(!review->isEnabled());
    QVERIFY(!window->findChild<QLabel *>(QStringLiteral("mistakesHint"))->text().isEmpty());
    QVERIFY(!window->findChild<QLabel *>(QStringLiteral("reviewHint"))->text().isEmpty());
    // One figure, rounded one way, in the heading and in the explanation.
    const QString heading = window->findChild<QLabel *>(QStringLiteral("readinessLabel"))->text();
    const QString prefix = QStringLiteral("Готовность к экзамену: ");
    QVERIFY2(heading.startsWith(prefix), qPrintable(heading));
    const QString figure = heading.mid(prefix.size());
    QCOMPARE(figure, QStringLiteral("меньше 1 %"));
    const QString explanation =
        window->findChild<QLabel *>(QStringLiteral("readinessExplanation"))->text();
    QVERIFY2(explanation.contains(QStringLiteral("Готовность ") + figure), qPrintable(explanation));
    QVERIFY2(!explanation.contains(QStringLiteral(" 0%")) &&
                 !explanation.contains(QStringLiteral(" 0 %")),
             qPrintable(explanation));
    // A new history's explanation is several lines long; it is shown whole,
    // not cut off at the bottom of its area with a scroll bar beside it.
    auto *area = window->findChild<QScrollArea *>(QStringLiteral("readinessExplanationArea"));
    QVERIFY(area);
    auto *explanationLabel = window->findChild<QLabel *>(QStringLiteral("readinessExplanation"));
    QVERIFY(explanationLabel->heightForWidth(area->viewport()->width()) >
            4 * explanationLabel->fontMetrics().lineSpacing());
    QVERIFY2(area->viewport()->height() >=
                 explanationLabel->heightForWidth(area->viewport()->width()),
             qPrintable(QStringLiteral("%1 < %2")
                            .arg(area->viewport()->height())
                            .arg(explanationLabel->heightForWidth(area->viewport()->width()))));
    QVERIFY(!area->verticalScrollBar()->isVisible());
    auto *chart = window->findChild<DailyChart *>(QStringLiteral("activityChart"));
    QVERIFY(!chart->hasData());
    QVERIFY(chart->noDataLabel()->isVisible());
    // A click on a disabled button starts nothing.
    QTest::mouseClick(mistakes, Qt::LeftButton);
    QVERIFY(!program.examWindow()->isVisible());
}

void TestLearnerWindow::mistakes_runInTheExamWindow_andTheListShrinks()
{
    const QString fingerprint = DatabaseFingerprint::fromFile(m_database);
    const QDateTime now = QDateTime::currentDateTimeUtc();
    {
        AnswerHistory history(AnswerHistory::filePathIn(m_sandbox->paths.programFolder));
        const auto record = [&](int question, bool right, int daysAgo) {
            AnswerRecord answer;
            answer.question = question;
            answer.variant = 1;
            answer.right = right;
            answer.answeredAtMs = now.addDays(-daysAgo).toMSecsSinceEpoch();
            QVERIFY(history.recordAnswer(fingerprint, answer));
        };
        record(5, false, 3);
        record(30, false, 2);
        record(30, true, 2);
        record(100, false, 1);
    }

    ZeltrakProgram program(m_sandbox->paths);
    MainWindow *main = program.mainWindow();
    LearnerWindow *window = openLearnerWindow(program);
    QVERIFY(window && window->isVisible());
    QCOMPARE(window->overview().mistakesBatch, (QList<int>{100, 30, 5}));
    QCOMPARE(window->findChild<QLabel *>(QStringLiteral("mistakesCountLabel"))->text(),
             QStringLiteral("Вопросов для работы над ошибками: 3"));
    auto *chart = window->findChild<DailyChart *>(QStringLiteral("activityChart"));
    QVERIFY(chart->hasData());
    QCOMPARE(chart->countSeries()->barSets()[0]->count(), 30);
    QCOMPARE(chart->countSeries()->barSets()[0]->at(27), 2.0); // two days ago

    auto *mistakes = window->findChild<QPushButton *>(QStringLiteral("mistakesButton"));
    QVERIFY(mistakes->isEnabled());
    QTest::mouseClick(mistakes, Qt::LeftButton);
    AttemptWindow *exam = program.examWindow();
    QVERIFY(exam->isVisible());
    QVERIFY(!window->isVisible());
    QVERIFY(!main->isVisible());
    ExamAttempt *attempt = static_cast<ExamWindow *>(exam)->attempt();

    // Question 100 right once (stays), question 30 right again (two in a row:
    // leaves), then СТОП.
    for (int expected : {100, 30}) {
        QCOMPARE((attempt->ticket() - 1) * 20 + attempt->questionNumber(), expected);
        QTest::mouseClick(exam->findChild<QPushButton *>(
                              QStringLiteral("BitBtn%1").arg(attempt->correctVariant())),
                          Qt::LeftButton);
    }
    QTest::mouseClick(exam->findChild<QPushButton *>(QStringLiteral("BitBtn7")), Qt::LeftButton);
    QVERIFY(!exam->isVisible());
    QVERIFY(main->isVisible());
    QVERIFY(window->isVisible());
    QCOMPARE(window->overview().mistakesBatch, (QList<int>{100, 5}));
    QCOMPARE(window->findChild<QLabel *>(QStringLiteral("mistakesCountLabel"))->text(),
             QStringLiteral("Вопросов для работы над ошибками: 2"));

    // In the history under its own mode, and in the learning counters of
    // "stat.dat", with no ticket's status changed.
    AnswerHistory history(AnswerHistory::filePathIn(m_sandbox->paths.programFolder));
    const QList<AttemptRecord> attempts = history.attempts(fingerprint);
    QCOMPARE(attempts.size(), 1);
    QCOMPARE(attempts[0].mode, HistoryMode::Mistakes);
    const QList<AnswerRecord> answers = history.answers(fingerprint);
    QCOMPARE(answers.size(), 6);
    QCOMPARE(answers[4].mode, HistoryMode::Mistakes);
    QCOMPARE(answers[5].question, 30);
    QFile stat(m_sandbox->statisticsFile());
    QVERIFY(stat.open(QIODevice::ReadOnly));
    const StatRecord saved = StatRecord::fromBytes(stat.read(StatRecord::Size));
    QCOMPARE(saved.questionStats(5, 20).correct[0], 1);
    QCOMPARE(saved.questionStats(2, 10).correct[0], 1);
    for (int ticket = 1; ticket <= 40; ++ticket)
        QCOMPARE(saved.ticketStatus(ticket), 0);
}

void TestLearnerWindow::review_answeredRight_isNoLongerDueToday()
{
    const QString fingerprint = DatabaseFingerprint::fromFile(m_database);
    {
        // Learnt once, forty days ago: long overdue.
        AnswerHistory history(AnswerHistory::filePathIn(m_sandbox->paths.programFolder));
        AnswerRecord answer;
        answer.question = 7;
        answer.variant = 1;
        answer.right = true;
        answer.answeredAtMs = QDateTime::currentDateTimeUtc().addDays(-40).toMSecsSinceEpoch();
        QVERIFY(history.recordAnswer(fingerprint, answer));
    }
    ZeltrakProgram program(m_sandbox->paths);
    LearnerWindow *window = openLearnerWindow(program);
    QVERIFY(window);
    QCOMPARE(window->overview().dueBatch, QList<int>{7});
    QCOMPARE(window->findChild<QLabel *>(QStringLiteral("dueCountLabel"))->text(),
             QStringLiteral("К повторению сегодня: 1"));
    QVERIFY(!window->findChild<QPushButton *>(QStringLiteral("mistakesButton"))->isEnabled());

    QTest::mouseClick(window->findChild<QPushButton *>(QStringLiteral("reviewButton")),
                      Qt::LeftButton);
    AttemptWindow *exam = program.examWindow();
    QVERIFY(exam->isVisible());
    ExamAttempt *attempt = static_cast<ExamWindow *>(exam)->attempt();
    QCOMPARE(attempt->questionNumber(), 7);
    QTest::mouseClick(
        exam->findChild<QPushButton *>(QStringLiteral("BitBtn%1").arg(attempt->correctVariant())),
        Qt::LeftButton);
    QTest::mouseClick(exam->findChild<QPushButton *>(QStringLiteral("BitBtn7")), Qt::LeftButton);

    QVERIFY(window->isVisible());
    QVERIFY(window->overview().dueBatch.isEmpty());
    QVERIFY(!window->findChild<QPushButton *>(QStringLiteral("reviewButton"))->isEnabled());
    AnswerHistory history(AnswerHistory::filePathIn(m_sandbox->paths.programFolder));
    QCOMPARE(history.attempts(fingerprint).constFirst().mode, HistoryMode::Review);
    QCOMPARE(history.answers(fingerprint).constLast().mode, HistoryMode::Review);
}

void TestLearnerWindow::studyNext_runsTheSetAsReview_andItsFirstQuestionLeaves()
{
    ZeltrakProgram program(m_sandbox->paths);
    LearnerWindow *window = openLearnerWindow(program);
    QVERIFY(window);
    // Nothing answered: every question is a guess, and twenty of them are
    // offered with the readiness they would bring.
    const StudyNext::Choice before = window->overview().studyNext;
    QCOMPARE(before.questions.size(), 20);
    auto *button = window->findChild<QPushButton *>(QStringLiteral("studyNextButton"));
    QVERIFY(button->isEnabled());
    QVERIFY(button->toolTip().contains(QStringLiteral("Ctrl+D")));
    const QString hint = window->findChild<QLabel *>(QStringLiteral("studyNextHint"))->text();
    QVERIFY2(
        hint.contains(
            QStringLiteral("она станет %1").arg(Readiness::percentText(before.readinessIfRight))),
        qPrintable(hint));
    QVERIFY(window->findChild<QLabel *>(QStringLiteral("memoryWeightsLabel"))
                ->text()
                .startsWith(QStringLiteral("Параметры памяти: стандартные")));

    QCOMPARE(button->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_D));
    QTest::mouseClick(button, Qt::LeftButton);
    AttemptWindow *exam = program.examWindow();
    QVERIFY(exam->isVisible());
    ExamAttempt *attempt = static_cast<ExamWindow *>(exam)->attempt();
    const int first = before.questions.first();
    QCOMPARE((attempt->ticket() - 1) * 20 + attempt->questionNumber(), first);
    QTest::mouseClick(
        exam->findChild<QPushButton *>(QStringLiteral("BitBtn%1").arg(attempt->correctVariant())),
        Qt::LeftButton);
    QTest::mouseClick(exam->findChild<QPushButton *>(QStringLiteral("BitBtn7")), Qt::LeftButton);

    // Back in the window: that question is now known and no longer offered.
    QVERIFY(window->isVisible());
    QVERIFY(!window->overview().studyNext.questions.contains(first));
    QVERIFY(window->overview().readiness.passProbability > before.readinessNow);
    const QString fingerprint = DatabaseFingerprint::fromFile(m_database);
    AnswerHistory history(AnswerHistory::filePathIn(m_sandbox->paths.programFolder));
    QCOMPARE(history.attempts(fingerprint).constFirst().mode, HistoryMode::Review);
    QCOMPARE(history.answers(fingerprint).constLast().question, first);
}

void TestLearnerWindow::memoryWeights_fittedOffTheGuiThreadAndKept()
{
    // Two weeks of answers to 100 questions, four a day each... enough for a fit.
    const QString fingerprint = DatabaseFingerprint::fromFile(m_database);
    const QDateTime now = QDateTime::currentDateTimeUtc();
    {
        AnswerHistory history(AnswerHistory::filePathIn(m_sandbox->paths.programFolder));
        for (int i = 0; i < 420; ++i) {
            AnswerRecord answer;
            answer.question = i % 100 + 1;
            answer.variant = 1;
            answer.right = i % 5 != 0;
            answer.answeredAtMs = now.addSecs(-14 * 86400 + i * 2880).toMSecsSinceEpoch();
            QVERIFY(history.recordAnswer(fingerprint, answer));
        }
    }
    ZeltrakProgram program(m_sandbox->paths);
    LearnerWindow *window = openLearnerWindow(program);
    QVERIFY(window);
    auto *weights = window->findChild<QLabel *>(QStringLiteral("memoryWeightsLabel"));
    // The fit runs in the background and the window takes its result when
    // it is done.
    QTRY_VERIFY_WITH_TIMEOUT(!window->isFitting(), 30000);
    QTRY_VERIFY(!weights->text().contains(QStringLiteral("подбираются")));
    QVERIFY(weights->text().contains(QStringLiteral("по 420 ответам")) ||
            weights->text().contains(QStringLiteral("не лучше стандартных")));
    // Kept beside the history, so the next run does not fit again this week.
    const auto record = LearnerWeights::load(
        LearnerWeights::filePathIn(m_sandbox->paths.programFolder), fingerprint);
    QVERIFY(record);
    QCOMPARE(record->answers, 420);
    window->refresh();
    QVERIFY(!window->isFitting());
}

QTEST_MAIN(TestLearnerWindow)
#include "tst_learnerwindow.moc"
