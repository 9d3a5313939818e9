// The three ways of practising in "Моя подготовка", run in the program by
// clicks: the marathon kept across a restart of the program, the exam by the
// official rules with an additional block and the review of its mistakes,
// and a topic run a page at a time.
#include "answerhistory.h"
#include "appsandbox.h"
#include "databasefingerprint.h"
#include "examwindow.h"
#include "learnerwindow.h"
#include "mainwindow.h"
#include "messageboxes.h"
#include "program.h"
#include "programrandom.h"
#include "statrecord.h"
#include "timetext.h"
#include "topicsfile.h"
#include "topicspage.h"

#include <QApplication>
#include <QFile>
#include <QFontMetrics>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>

namespace {

QPushButton *button(QWidget *window, const QString &name)
{
    return window->findChild<QPushButton *>(name);
}

// Clicks the answer button of the shown question: right or not.
void clickAnswer(ExamWindow *exam, bool right)
{
    const int correct = exam->attempt()->correctVariant();
    const int chosen = right ? correct : (correct == 1 ? 2 : 1);
    QTest::mouseClick(button(exam, QStringLiteral("BitBtn%1").arg(chosen)), Qt::LeftButton);
}

StatRecord storedRecord(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? StatRecord::fromBytes(file.readAll()) : StatRecord();
}

QString heading(ExamWindow *exam)
{
    return exam->findChild<QLabel *>(QStringLiteral("Label1"))->text();
}

} // namespace

class TestLearningModes : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void marathon_goesOnFromTheSameQuestionAfterTheProgramRestarts();
    void officialExam_additionalBlockPassed_andTheMistakeReviewed();
    void topic_runsAPageAtATimeAndItsProgressShows();

private:
    LearnerWindow *openLearnerTab(ZeltrakProgram &program, const QString &tab);

    std::unique_ptr<AppSandbox> m_sandbox;
    QString m_database;
};

void TestLearningModes::init()
{
    m_sandbox = std::make_unique<AppSandbox>();
    m_database = m_sandbox->writeDatabase(QStringLiteral("program/dataAB.dbv"), "База");
    m_sandbox->writeSettings(QStringLiteral("Kol=2\nRnd=2\nSta=1\nTim=4\nBas=") + m_database);
    MessageBoxes::clearShown();
    ProgramRandom::clearScript();
}

void TestLearningModes::cleanup()
{
    MessageBoxes::setNextAnswers({});
    ProgramRandom::clearScript();
    m_sandbox.reset();
}

LearnerWindow *TestLearningModes::openLearnerTab(ZeltrakProgram &program, const QString &tab)
{
    MainWindow *main = program.mainWindow();
    main->show();
    QTest::mouseClick(main->findChild<QToolButton *>(QStringLiteral("learnerButton")),
                      Qt::LeftButton);
    LearnerWindow *window = main->learnerWindow();
    if (!window)
        return nullptr;
    auto *tabs = window->findChild<QTabWidget *>(QStringLiteral("learnerTabs"));
    for (int i = 0; i < tabs->count(); ++i) {
        if (tabs->tabText(i) == tab) {
            // A real click on the tab bar's tab.
            QTabBar *bar = tabs->tabBar();
            QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(i).center());
        }
    }
    return tabs->tabText(tabs->currentIndex()) == tab ? window : nullptr;
}

void TestLearningModes::marathon_goesOnFromTheSameQuestionAfterTheProgramRestarts()
{
    QList<int> order;
    int expectedRight = 0;
    int expectedWrong = 0;
    {
        ZeltrakProgram program(m_sandbox->paths);
        LearnerWindow *window = openLearnerTab(program, QStringLiteral("Марафон"));
        QVERIFY(window);
        QCOMPARE(window->findChild<QLabel *>(QStringLiteral("marathonStatusLabel"))->text(),
                 QStringLiteral("Марафон ещё не начат."));
        QTest::mouseClick(button(window, QStringLiteral("marathonContinueButton")), Qt::LeftButton);
        auto *exam = static_cast<ExamWindow *>(program.examWindow());
        QVERIFY(exam->isVisible());
        QCOMPARE(exam->attempt()->mode(), AttemptMode::Marathon);
        order = exam->attempt()->setup().questions;
        QCOMPARE(order.size(), 800);
        QCOMPARE(heading(exam), QStringLiteral("Вопрос 1 из 800"));
        auto *list = exam->findChild<QListWidget *>(QStringLiteral("ListView1"));
        QCOMPARE(list->count(), 20);
        // The questions after the first unanswered one wait their turn.
        QVERIFY(!(list->item(1)->flags() & Qt::ItemIsEnabled));

        // 23 questions: every fifth wrong, its comment read and "Далее"
        // clicked; the page turns after the twentieth.
        QPushButton *next = button(exam, QStringLiteral("nextQuestionButton"));
        for (int i = 0; i < 23; ++i) {
            const bool right = i % 5 != 4;
            clickAnswer(exam, right);
            if (right) {
                ++expectedRight;
                continue;
            }
            ++expectedWrong;
            QVERIFY(exam->attempt()->commentVisible());
            QVERIFY(next->isEnabled());
            QTest::mouseClick(next, Qt::LeftButton);
        }
        QCOMPARE(list->count(), 20);
        QCOMPARE(list->item(0)->text(), QStringLiteral("Вопрос №21"));
        QCOMPARE(heading(exam), QStringLiteral("Вопрос 24 из 800"));
        QVERIFY(exam->findChild<QLabel *>(QStringLiteral("attemptStatusLabel"))
                    ->text()
                    .startsWith(QStringLiteral("Верно %1, ошибок %2")
                                    .arg(expectedRight)
                                    .arg(expectedWrong)));
        QTest::mouseClick(button(exam, QStringLiteral("BitBtn7")), Qt::LeftButton);
        QVERIFY(!exam->isVisible());
    }
    // The learning counters of "stat.dat" took the answers.
    const StatRecord record = storedRecord(m_sandbox->statisticsFile());
    int learned = 0;
    for (int q = 0; q < 23; ++q) {
        const QuestionStats stats =
            record.questionStats((order[q] - 1) / 20 + 1, (order[q] - 1) % 20 + 1);
        learned += stats.correct[0] + stats.wrong[0];
    }
    QCOMPARE(learned, 23);

    // A new run of the program: the learner window tells where the marathon
    // stands, and it goes on from question 24 of the same order.
    {
        ZeltrakProgram program(m_sandbox->paths);
        LearnerWindow *window = openLearnerTab(program, QStringLiteral("Марафон"));
        QVERIFY(window);
        QCOMPARE(window->findChild<QLabel *>(QStringLiteral("marathonStatusLabel"))->text(),
                 QStringLiteral("Пройдено 23 из 800: верно %1, ошибок %2. Следующий — вопрос 24.")
                     .arg(expectedRight)
                     .arg(expectedWrong));
        QCOMPARE(window->findChild<QProgressBar *>(QStringLiteral("marathonProgress"))->value(),
                 23);
        QTest::mouseClick(button(window, QStringLiteral("marathonContinueButton")),
                          Qt::LeftButton);
        auto *exam = static_cast<ExamWindow *>(program.examWindow());
        QVERIFY(exam->isVisible());
        QCOMPARE(exam->attempt()->setup().questions, order);
        QCOMPARE(heading(exam), QStringLiteral("Вопрос 24 из 800"));
        const int shown =
            (exam->attempt()->ticket() - 1) * 20 + exam->attempt()->questionNumber();
        QCOMPARE(shown, order[23]);
        QCOMPARE(exam->findChild<QListWidget *>(QStringLiteral("ListView1"))->item(0)->text(),
                 QStringLiteral("Вопрос №24"));
        QCOMPARE(exam->attempt()->sequenceRight(), expectedRight);
        clickAnswer(exam, true);
        ++expectedRight;
        // The program ends with the marathon on screen, without STOP: the
        // place was kept with the answer.
    }

    ZeltrakProgram program(m_sandbox->paths);
    LearnerWindow *window = openLearnerTab(program, QStringLiteral("Марафон"));
    QVERIFY(window);
    QCOMPARE(window->findChild<QProgressBar *>(QStringLiteral("marathonProgress"))->value(), 24);
    QTest::mouseClick(button(window, QStringLiteral("marathonContinueButton")), Qt::LeftButton);
    auto *exam = static_cast<ExamWindow *>(program.examWindow());
    QCOMPARE(heading(exam), QStringLiteral("Вопрос 25 из 800"));
    QCOMPARE(exam->attempt()->sequenceRight(), expectedRight);
    QTest::mouseClick(button(exam, QStringLiteral("BitBtn7")), Qt::LeftButton);

    // "Начать заново", confirmed: a new order from its start.
    window = program.mainWindow()->learnerWindow();
    QVERIFY(window->isVisible());
    MessageBoxes::setNextAnswer(QMessageBox::Yes);
    ProgramRandom::setScript({0});
    QTest::mouseClick(button(window, QStringLiteral("marathonRestartButton")), Qt::LeftButton);
    QVERIFY(exam->isVisible());
    QCOMPARE(heading(exam), QStringLiteral("Вопрос 1 из 800"));
    QVERIFY(exam->attempt()->setup().questions != order);
    QCOMPARE(exam->attempt()->sequenceRight(), 0);
    QTest::mouseClick(button(exam, QStringLiteral("BitBtn7")), Qt::LeftButton);
}

void TestLearningModes::officialExam_additionalBlockPassed_andTheMistakeReviewed()
{
    ZeltrakProgram program(m_sandbox->paths);
    LearnerWindow *window = openLearnerTab(program, QStringLiteral("Экзамен ГИБДД"));
    QVERIFY(window);
    // The preparation draws every start makes, ticket 6, then ticket 31 for
    // the additional block.
    QList<int> draws;
    for (int i = 0; i < 20; ++i)
        draws << i;
    ProgramRandom::setScript(draws << 5 << 29);
    QTest::mouseClick(button(window, QStringLiteral("officialExamButton")), Qt::LeftButton);
    auto *exam = static_cast<ExamWindow *>(program.examWindow());
    QVERIFY(exam->isVisible());
    QCOMPARE(exam->findChild<QLabel *>(QStringLiteral("Label5"))->text(),
             QStringLiteral("Экзамен ГИБДД"));
    QCOMPARE(exam->findChild<QLabel *>(QStringLiteral("Label6"))->isVisible(), true);
    QCOMPARE(exam->findChild<QLabel *>(QStringLiteral("attemptStatusLabel"))->text(),
             QStringLiteral("Основная часть"));

    // One error at question 8: an additional block of five is announced.
    MessageBoxes::setNextAnswer(QMessageBox::Ok);
    for (int position = 1; position <= 20; ++position)
        clickAnswer(exam, position != 8);
    QCOMPARE(MessageBoxes::shown().last().caption, QStringLiteral("Дополнительные вопросы"));
    auto *list = exam->findChild<QListWidget *>(QStringLiteral("ListView1"));
    QCOMPARE(list->count(), 5);
    QCOMPARE(list->item(0)->text(), QStringLiteral("Вопрос №21"));
    QCOMPARE(exam->attempt()->ticket(), 31);
    QCOMPARE(exam->attempt()->questionNumber(), 6);
    QCOMPARE(exam->findChild<QLabel *>(QStringLiteral("attemptStatusLabel"))->text(),
             QStringLiteral("Дополнительный блок 1 из 1"));
    QCOMPARE(exam->findChild<QLabel *>(QStringLiteral("Label6"))->text(), longTimeText(5 * 60));

    // All five right: the result dialog says passed; its review shows the
    // one mistake with its comment.
    QStringList seen;
    QTimer answerer;
    answerer.setInterval(0);
    connect(&answerer, &QTimer::timeout, this, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        if (modal->objectName() == QLatin1String("officialResultDialog") &&
            !seen.contains(QStringLiteral("review"))) {
            seen << modal->findChild<QLabel *>(QStringLiteral("officialHeadline"))->text()
                 << modal->findChild<QLabel *>(QStringLiteral("officialReason"))->text()
                 << modal->findChild<QLabel *>(QStringLiteral("officialMistakes"))->text()
                 << QStringLiteral("review");
            // Clicked from the event loop: the review's own loop must see
            // this timer again, and a timer never re-enters its handler.
            QTimer::singleShot(0, modal, [modal] {
                QTest::mouseClick(button(modal, QStringLiteral("reviewMistakesButton")),
                                  Qt::LeftButton);
            });
        } else if (modal->objectName() == QLatin1String("mistakeReviewWindow")) {
            seen << modal->findChild<QLabel *>(QStringLiteral("reviewHeading"))->text()
                 << modal->findChild<QLabel *>(QStringLiteral("reviewComment"))->text();
            QTest::mouseClick(button(modal, QStringLiteral("reviewCloseButton")), Qt::LeftButton);
        } else if (modal->objectName() == QLatin1String("officialResultDialog")) {
            QTest::mouseClick(button(modal, QStringLiteral("officialOkButton")), Qt::LeftButton);
        } else {
            qWarning() << "unexpected modal" << modal << modal->windowTitle();
        }
    });
    answerer.start();
    for (int position = 1; position <= 5 && exam->isVisible(); ++position)
        clickAnswer(exam, true);
    answerer.stop();
    QVERIFY(!exam->isVisible());
    QCOMPARE(seen.size(), 6);
    QCOMPARE(seen[0], QStringLiteral("Экзамен сдан"));
    QCOMPARE(seen[1], QStringLiteral("В основной части одна ошибка; все 5 дополнительных вопросов "
                                     "отвечены верно."));
    QCOMPARE(seen[2], QStringLiteral("Ошибки в вопросах: 8."));
    QCOMPARE(seen[4], QStringLiteral("Вопрос №8 (билет №6, вопрос №8)"));
    // The learner window, back, counts the exam.
    QVERIFY(window->isVisible());
    QCOMPARE(window->findChild<QLabel *>(QStringLiteral("officialExamRecordLabel"))->text(),
             QStringLiteral("Сдано экзаменов: 1 из 1. Последний — сдан."));
    QVERIFY(seen[5].startsWith(QStringLiteral("Комментарий: ")));

    // Exam counters and the history; no ticket's status changed.
    const StatRecord record = storedRecord(m_sandbox->statisticsFile());
    QCOMPARE(record.questionStats(6, 8).wrong[2], 1);
    QCOMPARE(record.questionStats(31, 6).correct[2], 1);
    for (int ticket = 1; ticket <= 40; ++ticket)
        QCOMPARE(record.ticketStatus(ticket), 0);
    AnswerHistory history(AnswerHistory::filePathIn(m_sandbox->paths.programFolder));
    const auto attempts = history.attempts(DatabaseFingerprint::fromFile(m_database));
    QCOMPARE(attempts.size(), 1);
    QCOMPARE(attempts[0].mode, HistoryMode::OfficialExam);
    QCOMPARE(attempts[0].result->passed, std::optional<bool>(true));
    QCOMPARE(history.answers(DatabaseFingerprint::fromFile(m_database)).size(), 25);
}

void TestLearningModes::topic_runsAPageAtATimeAndItsProgressShows()
{
    QList<int> signs;
    for (int q = 101; q <= 125; ++q)
        signs << q;
    QVERIFY(TopicsFile::write(TopicsFile::pathFor(m_database),
                              {Topic{QStringLiteral("Дорожные знаки"), signs},
                               Topic{QStringLiteral("Разметка"), {5, 101}}}));
    ZeltrakProgram program(m_sandbox->paths);
    LearnerWindow *window = openLearnerTab(program, QStringLiteral("По темам"));
    QVERIFY(window);
    QTest::mouseClick(button(window, QStringLiteral("topicButton0")), Qt::LeftButton);
    auto *exam = static_cast<ExamWindow *>(program.examWindow());
    QVERIFY(exam->isVisible());
    QCOMPARE(exam->findChild<QLabel *>(QStringLiteral("Label5"))->text(),
             QStringLiteral("Обучение по теме"));
    auto *list = exam->findChild<QListWidget *>(QStringLiteral("ListView1"));
    QCOMPARE(list->count(), 20);
    auto *status = exam->findChild<QLabel *>(QStringLiteral("attemptStatusLabel"));
    QCOMPARE(status->toolTip(), QStringLiteral("Дорожные знаки: 1–20 из 25"));
    // A long name may be shortened, the range never.
    QVERIFY(status->text().endsWith(QStringLiteral(": 1–20 из 25")));
    // It stays clear of the mode label's text.
    auto *modeLabel = exam->findChild<QLabel *>(QStringLiteral("Label5"));
    QVERIFY(status->geometry().right() <
            modeLabel->geometry().right() -
                QFontMetrics(modeLabel->font()).horizontalAdvance(modeLabel->text()));

    // Learning style: a wrong answer shows the comment and stays; all twenty
    // right asks for the next part of the topic.
    clickAnswer(exam, false);
    QVERIFY(exam->attempt()->commentVisible());
    MessageBoxes::setNextAnswer(QMessageBox::Yes);
    for (int i = 0; i < 20; ++i)
        clickAnswer(exam, true);
    QCOMPARE(list->count(), 5);
    QCOMPARE(list->item(0)->text(), QStringLiteral("Вопрос №21"));
    for (int i = 0; i < 5 && exam->isVisible(); ++i)
        clickAnswer(exam, true);
    QVERIFY(!exam->isVisible());

    // Back in the learner window: every question of the first topic but 101
    // was answered right; 101 was answered wrong first, and its right answer
    // after the comment is a correction, not recall. It counts in the second
    // topic too, and is the first to work on in both.
    QVERIFY(window->isVisible());
    auto *signsBar = window->findChild<QProgressBar *>(QStringLiteral("topicProgress0"));
    QCOMPARE(signsBar->value(), 24);
    QCOMPARE(signsBar->maximum(), 25);
    QCOMPARE(window->findChild<QProgressBar *>(QStringLiteral("topicProgress1"))->value(), 0);
    QCOMPARE(window->findChild<TopicsPage *>()->topics().at(0).runOrder.first(), 101);
    // Topic answers are learning answers in "stat.dat".
    const StatRecord record = storedRecord(m_sandbox->statisticsFile());
    QCOMPARE(record.questionStats(6, 1).wrong[0], 1);
    QCOMPARE(record.questionStats(6, 1).correct[0], 1);
}

QTEST_MAIN(TestLearningModes)
#include "tst_learningmodes.moc"
