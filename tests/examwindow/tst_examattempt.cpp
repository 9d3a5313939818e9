// Whole ticket attempts in the exam window, driven by clicks and digit keys:
// what the user sees and what is recorded in the statistics.
#include "databasewriter.h"
#include "designfonts.h"
#include "examtestbench.h"
#include "messageboxes.h"
#include "programrandom.h"
#include "questiondatabase.h"
#include "statrecord.h"
#include "syntheticdatabase.h"
#include "ticketstatus.h"

#include <QChart>
#include <QChartView>
#include <QDir>
#include <QPieSeries>
#include <QPieSlice>
#include <QTest>

using Button = MessageBoxes::Button;

namespace {

const QString CompletionText =
    QStringLiteral("Вы ответили на все вопросы билета,\n\rперейти к следующему билету? ");
const QString ThreeErrorsText =
    QStringLiteral("ТРИ ОШИБКИ!!!\n\rВы уже провалили экзамен, будете продолжать? ");
const QString TimeUpText = QStringLiteral("Время закончилось! ");

// Preparation draws for question numbers 1..20, in order.
QList<int> firstTwenty()
{
    QList<int> values;
    for (int i = 0; i < 20; ++i)
        values << i;
    return values;
}

int shownCount(const QString &text)
{
    int count = 0;
    for (const auto &box : MessageBoxes::shown())
        count += box.text == text ? 1 : 0;
    return count;
}

// Answers the positions in order by a pattern: 'c' correct, 'w' wrong.
void answerPattern(ExamTestBench &bench, const QString &pattern)
{
    for (const QChar c : pattern)
        c == QLatin1Char('c') ? bench.answerCorrect() : bench.answerWrong();
}

QColor labelColour(QLabel *label)
{
    return label->palette().color(QPalette::WindowText);
}

} // namespace

class ExamAttemptTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        DesignFonts::installSubstitutions();
        // Times below are written in the C locale's form.
        QLocale::setDefault(QLocale::c());
    }

    void start_byMode_setsModeLabelHeadingAndTimers_data();
    void start_byMode_setsModeLabelHeadingAndTimers();
    void display_questions_showPictureVariantsAndButtonsByCount();
    void shuffle_onOrOff_movesCorrectVariantAndKeepsItOnRevisit_data();
    void shuffle_onOrOff_movesCorrectVariantAndKeepsItOnRevisit();

    void learning_wrongTwiceThenRight_recordsAndAdvances();
    void learning_pie_sumsAllModesAndCountsSeconds();
    void learning_completion_nextTicketOrStop_data();
    void learning_completion_nextTicketOrStop();
    void preparation_drawsDistinctQuestionsAndNeverSetsStatus();

    void training_attempt_setsStatusAndResult_data();
    void training_attempt_setsStatusAndResult();
    void training_wrongAtLastPosition_staysThere();
    void exam_attempt_setsStatusAndResult_data();
    void exam_attempt_setsStatusAndResult();
    void exam_answerAtPosition20_goesToAnsweredPosition1();
    void exam_timeUp_endsOnTheExactTick_data();
    void exam_timeUp_endsOnTheExactTick();
    void exam_timeUpWhileThreeErrorsQuestionOpen_endsOnce();

    void seconds_byMode_goToTheModesCounter_data();
    void seconds_byMode_goToTheModesCounter();
    void attemptEnd_byStopEscapeOrCloseBox_data();
    void attemptEnd_byStopEscapeOrCloseBox();
    void unreadableQuestion_reportsAndKeepsTheAttemptUsable();
    void unreadableQuestion_timeUpWhileReported_endsOnce();
    void saveFailure_keepsWindowOpenAndRetriesOnlyTheSave();
};

void ExamAttemptTest::start_byMode_setsModeLabelHeadingAndTimers_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("preparation");
    QTest::addColumn<QString>("modeText");
    QTest::addColumn<QColor>("modeColour");
    QTest::addColumn<QString>("heading");
    // Preparation draws 99 first: question 100 is ticket 5, question 20.
    QTest::newRow("learning") << 0 << false << "Режим обучения" << QColor(0, 0xFF, 0)
                              << "Билет №7 Вопрос №1";
    QTest::newRow("preparation") << 0 << true << "Режим подготовки" << QColor(0xC6, 0xFF, 0)
                                 << "Билет №5 Вопрос №20";
    QTest::newRow("training") << 1 << false << "Режим тренировки" << QColor(0xFF, 0xCC, 0)
                              << "Билет №7 Вопрос №1";
    QTest::newRow("exam") << 2 << false << "Режим экзамена" << QColor(0xFF, 0, 0) << "Вопрос №1";
}

void ExamAttemptTest::start_byMode_setsModeLabelHeadingAndTimers()
{
    QFETCH(int, mode);
    QFETCH(bool, preparation);
    QFETCH(QString, modeText);
    QFETCH(QColor, modeColour);
    QFETCH(QString, heading);
    ExamTestBench bench;
    ProgramRandom::setScript({99});
    bench.start(mode, 7, preparation, 1200);

    QCOMPARE(bench.label("Label5")->text(), modeText);
    QCOMPARE(labelColour(bench.label("Label5")), modeColour);
    QCOMPARE(bench.label("Label1")->text(), heading);
    QCOMPARE(bench.list()->currentRow(), 0);
    QVERIFY(bench.list()->item(0)->isSelected());
    QVERIFY(bench.list()->hasFocus());
    QCOMPARE(bench.enabledButtons(), QStringLiteral("12345"));
    QVERIFY(bench.form.findChild<QTimer *>(QStringLiteral("SpTimer"))->isActive());
    QCOMPARE(bench.form.findChild<QTimer *>(QStringLiteral("Timer1"))->isActive(), mode == 2);
    QCOMPARE(bench.label("Label6")->isVisible(), mode == 2);
    if (mode == 2)
        QCOMPARE(bench.label("Label6")->text(), QStringLiteral("0:20:00"));
}

void ExamAttemptTest::display_questions_showPictureVariantsAndButtonsByCount()
{
    ExamTestBench bench;
    bench.start(0, 1);
    QWidget *image = bench.form.findChild<QWidget *>(QStringLiteral("Image1"));

    bench.selectPosition(3); // five variants and a picture
    QVERIFY(image->isVisible());
    QCOMPARE(bench.label("Label2")->text(), QStringLiteral("Вопрос 3: билет 1, вопрос 3?"));
    QCOMPARE(bench.label("Label3")->text(),
             QStringLiteral("1. *Ответ 3.1\n\r2. *Ответ 3.2\n\r3. *Ответ 3.3\n\r"
                            "4. *Ответ 3.4\n\r5. *Ответ 3.5\n\r"));
    QCOMPARE(bench.visibleButtons(), QStringLiteral("12345"));

    bench.selectPosition(5); // three variants, no picture
    QVERIFY(!image->isVisible());
    QCOMPARE(bench.visibleButtons(), QStringLiteral("123"));
    // Keys of hidden buttons do nothing.
    bench.pressDigit(4);
    bench.pressDigit(5);
    QCOMPARE(bench.itemIcon(5), 0);
    QCOMPARE(bench.attempt().wrongCount() + bench.attempt().correctCount(), 0);
    QCOMPARE(globalStatRecord().questionStats(1, 5), QuestionStats());

    bench.selectPosition(4);
    QCOMPARE(bench.visibleButtons(), QStringLiteral("12"));
}

void ExamAttemptTest::shuffle_onOrOff_movesCorrectVariantAndKeepsItOnRevisit_data()
{
    QTest::addColumn<bool>("shuffle");
    QTest::addColumn<int>("draw");
    QTest::addColumn<QString>("variants");
    QTest::addColumn<int>("correct");
    // Question 2: four variants, the third correct.
    QTest::newRow("off") << false << 0
                         << "1. *Ответ 2.1\n\r2. *Ответ 2.2\n\r3. *Ответ 2.3\n\r4. *Ответ 2.4\n\r"
                         << 3;
    QTest::newRow("on, slot 1") << true << 0
                                << "1. *Ответ 2.3\n\r2. *Ответ 2.2\n\r3. *Ответ 2.1\n\r"
                                   "4. *Ответ 2.4\n\r"
                                << 1;
    QTest::newRow("on, slot 4") << true << 3
                                << "1. *Ответ 2.1\n\r2. *Ответ 2.2\n\r3. *Ответ 2.4\n\r"
                                   "4. *Ответ 2.3\n\r"
                                << 4;
    QTest::newRow("on, slot equal to stored") << true << 2
                                              << "1. *Ответ 2.1\n\r2. *Ответ 2.2\n\r"
                                                 "3. *Ответ 2.3\n\r4. *Ответ 2.4\n\r"
                                              << 3;
}

void ExamAttemptTest::shuffle_onOrOff_movesCorrectVariantAndKeepsItOnRevisit()
{
    QFETCH(bool, shuffle);
    QFETCH(int, draw);
    QFETCH(QString, variants);
    QFETCH(int, correct);
    ExamTestBench bench;
    bench.host.shuffleAnswers = shuffle;
    // Twenty preparation draws, the slot of position 1, the slot of position 2,
    // then draws that a second showing must not take.
    ProgramRandom::setScript(firstTwenty() << 0 << draw << 1 << 1 << 1);
    bench.start(1, 1);
    bench.selectPosition(2);
    QCOMPARE(bench.label("Label3")->text(), variants);
    QCOMPARE(bench.attempt().correctVariant(), correct);

    bench.selectPosition(1);
    bench.selectPosition(2);
    QCOMPARE(bench.label("Label3")->text(), variants);
    QCOMPARE(bench.attempt().correctVariant(), correct);

    bench.pressDigit(correct);
    QCOMPARE(bench.itemIcon(2), int(ExamWindow::AnsweredCorrectly));
    QCOMPARE(bench.attempt().correctCount(), 1);
}

void ExamAttemptTest::learning_wrongTwiceThenRight_recordsAndAdvances()
{
    ExamTestBench bench;
    QuestionStats nearWrap;
    nearWrap.wrong[0] = 255;
    globalStatRecord().setQuestionStats(1, 1, nearWrap);
    bench.start(0, 1);

    bench.answerWrong();
    bench.answerWrong(true);
    QCOMPARE(bench.list()->currentRow(), 0);
    QVERIFY(bench.label("Label4")->isVisible());
    QCOMPARE(bench.label("Label4")->text(),
             QStringLiteral("Комментарий к вопросу №Комментарий к вопросу 1"));
    QCOMPARE(bench.itemIcon(1), int(ExamWindow::AnsweredWrongly));
    QCOMPARE(bench.enabledButtons(), QStringLiteral("12345"));

    bench.answerCorrect(true);
    QCOMPARE(bench.attempt().wrongCount(), 2);
    QCOMPARE(bench.attempt().correctCount(), 1);
    const QuestionStats stats = globalStatRecord().questionStats(1, 1);
    QCOMPARE(stats.wrong[0], quint8(1)); // 255 + 2 wraps to 1
    QCOMPARE(stats.correct[0], quint8(1));
    QCOMPARE(bench.itemIcon(1), int(ExamWindow::AnsweredCorrectly));
    QCOMPARE(bench.list()->currentRow(), 1);
    QVERIFY(bench.list()->hasFocus());
    QVERIFY(!bench.label("Label4")->isVisible());

    // A wrong answer to a correctly answered item takes its mark back.
    bench.selectPosition(1);
    bench.answerWrong();
    QCOMPARE(bench.itemIcon(1), int(ExamWindow::AnsweredWrongly));
}

void ExamAttemptTest::learning_pie_sumsAllModesAndCountsSeconds()
{
    ExamTestBench bench;
    bench.host.showStatistics = true;
    QuestionStats earlier;
    earlier.correct = {1, 2, 3};
    earlier.wrong = {0, 4, 1};
    earlier.seconds = {10, 20, 30};
    globalStatRecord().setQuestionStats(1, 1, earlier);
    bench.start(0, 1);

    auto *chart = bench.form.findChild<QChartView *>(QStringLiteral("Chart1"));
    QCOMPARE(chart->chart()->series().size(), 1);
    auto *series = qobject_cast<QPieSeries *>(chart->chart()->series().first());
    QVERIFY(series);
    QCOMPARE(series->objectName(), QStringLiteral("Series1"));
    QCOMPARE(series->count(), 2);
    QCOMPARE(series->slices().at(0)->label(), QStringLiteral("П"));
    QCOMPARE(series->slices().at(0)->value(), 6.0);
    QCOMPARE(series->slices().at(0)->color(), QColor(0, 0x80, 0));
    QCOMPARE(series->slices().at(1)->label(), QStringLiteral("Н"));
    QCOMPARE(series->slices().at(1)->value(), 5.0);
    QCOMPARE(series->slices().at(1)->color(), QColor(0xFF, 0, 0));
    QCOMPARE(bench.label("Label7")->text(), QStringLiteral("60"));

    bench.tick(2);
    QCOMPARE(bench.label("Label7")->text(), QStringLiteral("62"));
    QCOMPARE(globalStatRecord().questionStats(1, 1).seconds[0], 12);

    // Without the statistics mark the pie stays hidden.
    bench.host.showStatistics = false;
    bench.selectPosition(2);
    QVERIFY(!chart->isVisible());
    QVERIFY(!bench.label("Label7")->isVisible());
}

void ExamAttemptTest::learning_completion_nextTicketOrStop_data()
{
    QTest::addColumn<int>("ticket");
    QTest::addColumn<int>("status");
    QTest::addColumn<bool>("repeatFirst");
    QTest::addColumn<int>("answer");
    QTest::addColumn<int>("newStatus");
    QTest::newRow("Yes on ticket 40") << 40 << 0 << false << int(QMessageBox::Yes) << 4;
    QTest::newRow("Yes after exam pass") << 40 << 1 << false << int(QMessageBox::Yes) << 4;
    QTest::newRow("Yes after training pass") << 12 << 3 << true << int(QMessageBox::Yes) << 4;
    QTest::newRow("No on a new ticket") << 5 << 0 << false << int(QMessageBox::No) << 4;
    QTest::newRow("No after training pass") << 5 << 3 << false << int(QMessageBox::No) << 3;
    // 21 correct answers in the attempt: closing does not mark the ticket.
    QTest::newRow("No with a question answered twice")
        << 5 << 0 << true << int(QMessageBox::No) << 0;
}

void ExamAttemptTest::learning_completion_nextTicketOrStop()
{
    QFETCH(int, ticket);
    QFETCH(int, status);
    QFETCH(bool, repeatFirst);
    QFETCH(int, answer);
    QFETCH(int, newStatus);
    ExamTestBench bench;
    globalStatRecord().setTicketStatus(ticket, status);
    bench.start(0, ticket);
    if (repeatFirst) {
        bench.answerCorrect();
        bench.selectPosition(1);
    }
    MessageBoxes::setNextAnswer(Button(answer));
    for (int i = 0; i < 20; ++i)
        bench.answerCorrect(i % 2 == 0);

    QCOMPARE(MessageBoxes::shown().size(), 1);
    const MessageBoxes::Shown &box = MessageBoxes::shown().first();
    QCOMPARE(box.text, CompletionText);
    QCOMPARE(box.caption, QStringLiteral("Внимание!"));
    QCOMPARE(box.icon, QMessageBox::Question);
    QCOMPARE(box.buttons, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(box.owner.data(), &bench.form);
    QCOMPARE(globalStatRecord().ticketStatus(ticket), newStatus);
    QVERIFY(bench.watcher.resultDialogs.isEmpty());

    if (answer == QMessageBox::Yes) {
        const int next = ticket % 40 + 1;
        QVERIFY(bench.form.isVisible());
        QVERIFY(bench.form.attemptRunning());
        QCOMPARE(bench.attempt().ticket(), next);
        QCOMPARE(bench.label("Label1")->text(), QStringLiteral("Билет №%1 Вопрос №1").arg(next));
        QCOMPARE(bench.attempt().correctCount(), 0);
        QCOMPARE(bench.itemIcon(20), 0);
        QVERIFY(bench.form.findChild<QTimer *>(QStringLiteral("SpTimer"))->isActive());
        QCOMPARE(bench.host.closedCount, 0);
    } else {
        QVERIFY(!bench.form.isVisible());
        QCOMPARE(bench.host.closedCount, 1);
        QCOMPARE(bench.statFile(), globalStatRecord().toBytes());
    }
}

void ExamAttemptTest::preparation_drawsDistinctQuestionsAndNeverSetsStatus()
{
    ExamTestBench bench;
    // A repeated draw is drawn again: 100 twice gives 100, 120, 140, …
    QList<int> draws{99, 99};
    for (int i = 1; i < 20; ++i)
        draws << 99 + 20 * i;
    ProgramRandom::setScript(draws);
    bench.start(0, 3, true);

    QStringList headings;
    for (int position = 1; position <= 20; ++position) {
        QCOMPARE(bench.list()->currentRow(), position - 1);
        headings << bench.label("Label1")->text();
        if (position == 20)
            MessageBoxes::setNextAnswer(QMessageBox::Yes);
        bench.answerCorrect();
    }
    QCOMPARE(headings.first(), QStringLiteral("Билет №5 Вопрос №20"));
    QCOMPARE(headings.at(1), QStringLiteral("Билет №6 Вопрос №20"));
    QCOMPARE(QSet<QString>(headings.begin(), headings.end()).size(), 20);
    QCOMPARE(globalStatRecord().questionStats(6, 20).correct[0], quint8(1));
    QCOMPARE(shownCount(CompletionText), 1);

    // Yes: a new attempt over a new set; no ticket changed its status.
    QVERIFY(bench.form.attemptRunning());
    QCOMPARE(bench.attempt().correctCount(), 0);
    for (int ticket = 1; ticket <= 40; ++ticket)
        QCOMPARE(globalStatRecord().ticketStatus(ticket), 0);

    QTest::mouseClick(bench.form.findChild<QPushButton *>(QStringLiteral("BitBtn7")),
                      Qt::LeftButton);
    QVERIFY(!bench.form.isVisible());
    QVERIFY(bench.watcher.resultDialogs.isEmpty());
    QCOMPARE(bench.statFile(), globalStatRecord().toBytes());
    QCOMPARE(bench.host.closedCount, 1);
}

void ExamAttemptTest::training_attempt_setsStatusAndResult_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("wrongAt");
    QTest::addColumn<int>("newStatus");
    QTest::addColumn<QStringList>("lines");
    const QString ticket = QStringLiteral("Вы отвечали на билет №9");
    const QString untimed = QStringLiteral("Время не учитывалось.");
    const QString passed = QStringLiteral("Поздравляем вы прошли тренировку!");
    const QString failed = QStringLiteral("К сожалению тренировка не пройдена!");
    const QString all = QStringLiteral("Правильных ответов: 20");
    const QString nineteen = QStringLiteral("Правильных ответов: 19");
    QTest::newRow("pass") << 0 << 0 << 3 << QStringList{passed, ticket, all, untimed};
    QTest::newRow("pass keeps exam pass")
        << 1 << 0 << 1 << QStringList{passed, ticket, all, untimed};
    QTest::newRow("fail after exam pass")
        << 1 << 7 << 2 << QStringList{failed, ticket, nineteen, untimed};
}

void ExamAttemptTest::training_attempt_setsStatusAndResult()
{
    QFETCH(int, status);
    QFETCH(int, wrongAt);
    QFETCH(int, newStatus);
    QFETCH(QStringList, lines);
    ExamTestBench bench;
    globalStatRecord().setTicketStatus(9, status);
    bench.start(1, 9);

    for (int position = 1; position <= 20; ++position) {
        if (position != wrongAt) {
            bench.answerCorrect(position % 2 == 1);
            continue;
        }
        bench.answerWrong();
        // The question stays, commented and locked: no key answers it again.
        QCOMPARE(bench.list()->currentRow(), position - 1);
        QVERIFY(bench.label("Label4")->isVisible());
        QCOMPARE(bench.enabledButtons(), QString());
        for (int n = 1; n <= 5; ++n)
            bench.pressDigit(n);
        QCOMPARE(bench.attempt().wrongCount() + bench.attempt().correctCount(), position);
        // Coming back later shows the same.
        bench.selectPosition(position + 1);
        QVERIFY(!bench.label("Label4")->isVisible());
        QCOMPARE(bench.enabledButtons(), QStringLiteral("12345"));
        bench.selectPosition(position);
        QVERIFY(bench.label("Label4")->isVisible());
        QCOMPARE(bench.enabledButtons(), QString());
        bench.selectPosition(position + 1);
    }

    QCOMPARE(bench.watcher.resultDialogs, QList<QStringList>{lines});
    QCOMPARE(globalStatRecord().ticketStatus(9), newStatus);
    QCOMPARE(globalStatRecord().questionStats(9, 1).correct[1], quint8(1));
    if (wrongAt)
        QCOMPARE(globalStatRecord().questionStats(9, wrongAt).wrong[1], quint8(1));
    QVERIFY(!bench.form.isVisible());
    QCOMPARE(bench.host.closedCount, 1);
    QCOMPARE(bench.statFile(), globalStatRecord().toBytes());
    QVERIFY(bench.watcher.unexpectedBoxes.isEmpty());
}

void ExamAttemptTest::training_wrongAtLastPosition_staysThere()
{
    ExamTestBench bench;
    bench.start(1, 2);
    bench.selectPosition(20);
    bench.answerWrong(true);
    QCOMPARE(bench.list()->currentRow(), 19);
    QVERIFY(bench.label("Label4")->isVisible());
    QVERIFY(bench.form.attemptRunning());
}

void ExamAttemptTest::exam_attempt_setsStatusAndResult_data()
{
    QTest::addColumn<QString>("pattern"); // shorter than 20: STOP afterwards
    QTest::addColumn<QList<int>>("answers");
    QTest::addColumn<int>("threeErrorQuestions");
    QTest::addColumn<int>("newStatus");
    QTest::addColumn<QString>("headline");
    QTest::addColumn<QString>("line3");
    const QString passed = QStringLiteral("Поздравляем вы сдали экзамен!");
    const QString failed = QStringLiteral("К сожалению экзамен не сдан!");
    const QString yes = QString(20, QLatin1Char('c'));
    QTest::newRow("18 correct, 2 unanswered")
        << yes.left(18) << QList<int>{} << 0 << 1 << passed << "Правильных ответов: 18";
    QTest::newRow("all correct") << yes << QList<int>{} << 0 << 1 << passed
                                 << "Правильных ответов: 20";
    QTest::newRow("stopped before any answer")
        << QString() << QList<int>{} << 0 << 2 << failed << "Ошибок: 20";
    QTest::newRow("three errors, Yes, a fourth error")
        << "wwwcwccccccccccccccc" << QList<int>{QMessageBox::Yes} << 1 << 2 << failed
        << "Ошибок: 4";
    QTest::newRow("three errors, No")
        << "ccwww" << QList<int>{QMessageBox::No} << 1 << 2 << failed << "Ошибок: 18";
    QTest::newRow("20th answer is the third error")
        << "wwcccccccccccccccccw" << QList<int>{} << 0 << 2 << failed << "Ошибок: 3";
}

void ExamAttemptTest::exam_attempt_setsStatusAndResult()
{
    QFETCH(QString, pattern);
    QFETCH(QList<int>, answers);
    QFETCH(int, threeErrorQuestions);
    QFETCH(int, newStatus);
    QFETCH(QString, headline);
    QFETCH(QString, line3);
    ExamTestBench bench;
    bench.start(2, 17, false, 1200);
    QList<Button> queued;
    for (int answer : answers)
        queued << Button(answer);
    MessageBoxes::setNextAnswers(queued);

    bench.tick(5);
    for (const QChar c : pattern) {
        if (!bench.form.isVisible())
            break;
        QVERIFY(!bench.label("Label4")->isVisible());
        c == QLatin1Char('c') ? bench.answerCorrect() : bench.answerWrong(true);
    }
    if (bench.form.isVisible())
        QTest::mouseClick(bench.form.findChild<QPushButton *>(QStringLiteral("BitBtn7")),
                          Qt::LeftButton);

    QCOMPARE(shownCount(ThreeErrorsText), threeErrorQuestions);
    QCOMPARE(bench.watcher.resultDialogs.size(), 1);
    const QStringList lines = bench.watcher.resultDialogs.first();
    QCOMPARE(lines.at(0), headline);
    QCOMPARE(lines.at(1), QStringLiteral("Вы отвечали на билет №17"));
    QCOMPARE(lines.at(2), line3);
    QCOMPARE(lines.at(3), QStringLiteral("Время ответа: 0:00:05"));
    QCOMPARE(globalStatRecord().ticketStatus(17), newStatus);
    QVERIFY(!bench.form.isVisible());
    QVERIFY(!bench.label("Label6")->isVisibleTo(&bench.form));
    QVERIFY(!bench.form.findChild<QTimer *>(QStringLiteral("Timer1"))->isActive());
    QCOMPARE(bench.host.closedCount, 1);
    QCOMPARE(bench.statFile(), globalStatRecord().toBytes());
    QVERIFY(bench.watcher.unexpectedBoxes.isEmpty());
}

void ExamAttemptTest::exam_answerAtPosition20_goesToAnsweredPosition1()
{
    ExamTestBench bench;
    bench.start(2, 3);
    bench.answerCorrect();
    bench.selectPosition(20);
    bench.answerWrong();
    QCOMPARE(bench.list()->currentRow(), 0);
    QCOMPARE(bench.enabledButtons(), QString());
    QCOMPARE(bench.label("Label1")->text(), QStringLiteral("Вопрос №1"));
    bench.pressDigit(bench.attempt().correctVariant());
    QCOMPARE(bench.attempt().correctCount() + bench.attempt().wrongCount(), 2);
}

void ExamAttemptTest::exam_timeUp_endsOnTheExactTick_data()
{
    QTest::addColumn<int>("limit");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("firstTick");
    QTest::addColumn<QString>("line3");
    QTest::addColumn<QString>("line4");
    QTest::newRow("20 minutes") << 1200 << QString() << "0:19:59"
                                << "Ошибок: 20"
                                << "Время ответа: 0:20:00";
    QTest::newRow("no limit chosen") << 0 << QString() << "0:00:01"
                                     << "Ошибок: 20"
                                     << "Время ответа: 0:00:01";
    QTest::newRow("15 correct, 2 wrong, 3 unanswered") << 300 << "cccccccwccccccccw"
                                                       << "0:04:59"
                                                       << "Ошибок: 5"
                                                       << "Время ответа: 0:05:00";
}

void ExamAttemptTest::exam_timeUp_endsOnTheExactTick()
{
    QFETCH(int, limit);
    QFETCH(QString, pattern);
    QFETCH(QString, firstTick);
    QFETCH(QString, line3);
    QFETCH(QString, line4);
    ExamTestBench bench;
    bench.start(2, 4, false, limit);
    answerPattern(bench, pattern);
    QLabel *time = bench.label("Label6");

    MessageBoxes::setNextAnswer(QMessageBox::Ok);
    bench.tick(1);
    QCOMPARE(time->text(), firstTick);
    const int ticksToEnd = std::max(limit, 1);
    bench.tick(ticksToEnd - 2);
    if (ticksToEnd > 1) {
        QVERIFY(bench.form.attemptRunning());
        QCOMPARE(time->text(), QStringLiteral("0:00:01"));
        bench.tick(1);
    }
    QVERIFY(!bench.form.attemptRunning());
    QCOMPARE(shownCount(TimeUpText), 1);
    const MessageBoxes::Shown &box = MessageBoxes::shown().last();
    QCOMPARE(box.icon, QMessageBox::Critical);
    QCOMPARE(box.caption, QStringLiteral("Внимание!"));
    QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(bench.watcher.resultDialogs.size(), 1);
    QCOMPARE(bench.watcher.resultDialogs.first().at(2), line3);
    QCOMPARE(bench.watcher.resultDialogs.first().at(3), line4);
    QCOMPARE(globalStatRecord().ticketStatus(4), 2);
    QCOMPARE(bench.host.closedCount, 1);
}

void ExamAttemptTest::exam_timeUpWhileThreeErrorsQuestionOpen_endsOnce()
{
    ExamTestBench bench;
    bench.start(2, 6, false, 10);
    bool scheduled = false;
    bool leftOpen = false;
    // The three-errors question stays open (no answer queued) while the rest
    // of the time runs out underneath it; the end must close it.
    bench.watcher.onMessageBox = [&](QWidget *widget) {
        if (scheduled)
            return;
        auto *box = static_cast<QMessageBox *>(widget);
        // On screen the LF CR pair is one line break.
        QCOMPARE(box->text(), QString(ThreeErrorsText).replace("\n\r", "\n"));
        scheduled = true;
        QTimer::singleShot(0, &bench.form, [&, box = QPointer<QMessageBox>(box)] {
            MessageBoxes::setNextAnswer(QMessageBox::Ok);
            bench.tick(10);
            if (box && box->isVisible()) {
                leftOpen = true;
                box->reject();
            }
        });
    };
    answerPattern(bench, QStringLiteral("cwww"));

    QVERIFY(!leftOpen);
    QCOMPARE(shownCount(ThreeErrorsText), 1);
    QCOMPARE(shownCount(TimeUpText), 1);
    QCOMPARE(bench.watcher.resultDialogs.size(), 1);
    QCOMPARE(bench.watcher.resultDialogs.first().at(2), QStringLiteral("Ошибок: 19"));
    QCOMPARE(bench.host.closedCount, 1);
    QCOMPARE(globalStatRecord().ticketStatus(6), 2);
    QVERIFY(!bench.form.isVisible());
    QVERIFY(!bench.form.attemptRunning());
    QCOMPARE(bench.statFile(), globalStatRecord().toBytes());
}

void ExamAttemptTest::seconds_byMode_goToTheModesCounter_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("preparation");
    QTest::newRow("learning") << 0 << false;
    QTest::newRow("preparation") << 0 << true;
    QTest::newRow("training") << 1 << false;
    QTest::newRow("exam") << 2 << false;
}

void ExamAttemptTest::seconds_byMode_goToTheModesCounter()
{
    QFETCH(int, mode);
    QFETCH(bool, preparation);
    ExamTestBench bench;
    bench.host.showStatistics = true;
    ProgramRandom::setScript(firstTwenty());
    bench.start(mode, 1, preparation, 1200);
    bench.tick(3);
    bench.answerCorrect();
    bench.tick(2);

    std::array<qint32, 3> first{}, second{};
    first[size_t(mode)] = 3;
    second[size_t(mode)] = 2;
    QCOMPARE(globalStatRecord().questionStats(1, 1).seconds, first);
    QCOMPARE(globalStatRecord().questionStats(1, 2).seconds, second);
    if (mode == 0)
        QCOMPARE(bench.label("Label7")->text(), QStringLiteral("2"));
    else
        QVERIFY(!bench.label("Label7")->isVisible());
}

void ExamAttemptTest::attemptEnd_byStopEscapeOrCloseBox_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("STOP") << "stop";
    QTest::newRow("Esc") << "escape";
    QTest::newRow("close box") << "close";
}

void ExamAttemptTest::attemptEnd_byStopEscapeOrCloseBox()
{
    QFETCH(QString, how);
    ExamTestBench bench;
    bench.start(1, 11);
    bench.answerCorrect();
    if (how == QLatin1String("stop"))
        QTest::mouseClick(bench.form.findChild<QPushButton *>(QStringLiteral("BitBtn7")),
                          Qt::LeftButton);
    else if (how == QLatin1String("escape"))
        QTest::keyClick(bench.list(), Qt::Key_Escape);
    else
        bench.form.close();

    QVERIFY(!bench.form.isVisible());
    QCOMPARE(bench.watcher.resultDialogs.size(), 1);
    QCOMPARE(bench.watcher.resultDialogs.first().at(2), QStringLiteral("Правильных ответов: 1"));
    QCOMPARE(globalStatRecord().ticketStatus(11), 2);
    QCOMPARE(bench.host.closedCount, 1);
    QCOMPARE(bench.statFile(), globalStatRecord().toBytes());
}

void ExamAttemptTest::unreadableQuestion_reportsAndKeepsTheAttemptUsable()
{
    ExamTestBench bench;
    // Question 5 of ticket 1 has a broken first line.
    DatabaseWriter writer;
    SyntheticDatabase::fill(writer);
    writer.setQuestion(5, DatabaseWriter::textBlock({"x", "?", "*a", "*b", "", "c"}));
    const QString path = QDir(bench.dir()).filePath(QStringLiteral("damaged.dbv"));
    QVERIFY(writer.writeFile(path));
    globalQuestionDatabase().openDatabase(path);
    bench.start(1, 1);

    answerPattern(bench, QStringLiteral("ccc"));
    MessageBoxes::setNextAnswer(QMessageBox::Ok);
    bench.answerCorrect(); // advances onto question 5
    QCOMPARE(bench.list()->currentRow(), 4);
    QCOMPARE(MessageBoxes::shown().size(), 1);
    QCOMPARE(MessageBoxes::shown().first().icon, QMessageBox::Warning);
    QVERIFY(MessageBoxes::shown().first().text.contains(QStringLiteral("5")));
    QCOMPARE(bench.label("Label1")->text(), QStringLiteral("Билет №1 Вопрос №5"));
    QVERIFY(bench.label("Label3")->text().isEmpty());
    QCOMPARE(bench.enabledButtons(), QString());
    for (int n = 1; n <= 5; ++n)
        bench.pressDigit(n);
    QCOMPARE(globalStatRecord().questionStats(1, 5), QuestionStats());

    bench.selectPosition(6);
    QCOMPARE(bench.enabledButtons(), QStringLiteral("12345"));
    bench.answerCorrect();
    QCOMPARE(bench.attempt().correctCount(), 5);
    QTest::keyClick(bench.list(), Qt::Key_Escape);
    QCOMPARE(bench.watcher.resultDialogs.size(), 1);
    QCOMPARE(bench.statFile(), globalStatRecord().toBytes());
    QCOMPARE(globalStatRecord().questionStats(1, 6).correct[1], quint8(1));
}

void ExamAttemptTest::unreadableQuestion_timeUpWhileReported_endsOnce()
{
    ExamTestBench bench;
    // Question 4 of ticket 1 cannot be read.
    DatabaseWriter writer;
    SyntheticDatabase::fill(writer);
    writer.setQuestion(4, DatabaseWriter::textBlock({"x", "?", "*a", "*b", "", "c"}));
    const QString path = QDir(bench.dir()).filePath(QStringLiteral("damaged.dbv"));
    QVERIFY(writer.writeFile(path));
    globalQuestionDatabase().openDatabase(path);
    bench.start(2, 1, false, 10);

    // The third error advances onto the unreadable question; the time runs
    // out while its report is open. Whatever the answer handler had still to
    // do belongs to the ended attempt: no three-errors question, one end.
    bool scheduled = false;
    QStringList later;
    bench.watcher.onMessageBox = [&](QWidget *widget) {
        auto *box = static_cast<QMessageBox *>(widget);
        if (scheduled) {
            later << box->text();
            box->reject();
            return;
        }
        scheduled = true;
        QTimer::singleShot(0, &bench.form, [&] {
            MessageBoxes::setNextAnswer(QMessageBox::Ok);
            bench.tick(10);
        });
    };
    answerPattern(bench, QStringLiteral("www"));

    QCOMPARE(later, QStringList());
    QCOMPARE(shownCount(ThreeErrorsText), 0);
    QCOMPARE(shownCount(TimeUpText), 1);
    QCOMPARE(bench.watcher.resultDialogs.size(), 1);
    QCOMPARE(bench.host.closedCount, 1);
    QCOMPARE(globalStatRecord().ticketStatus(1), 2);
    QVERIFY(!bench.form.attemptRunning());
    QCOMPARE(bench.statFile(), globalStatRecord().toBytes());
}

void ExamAttemptTest::saveFailure_keepsWindowOpenAndRetriesOnlyTheSave()
{
    ExamTestBench bench;
    const QString statPath = QDir(bench.dir()).filePath(QStringLiteral("stat.dat"));
    const QByteArray before = bench.statFile();
    bench.start(1, 8);
    answerPattern(bench, QStringLiteral("ccw"));
    // A folder in the file's place cannot be written.
    QVERIFY(QFile::remove(statPath));
    QVERIFY(QDir(bench.dir()).mkdir(QStringLiteral("stat.dat")));

    MessageBoxes::setNextAnswer(QMessageBox::Ok);
    QTest::keyClick(bench.list(), Qt::Key_Escape);
    QVERIFY(bench.form.isVisible());
    QCOMPARE(bench.host.closedCount, 0);
    QCOMPARE(bench.watcher.resultDialogs.size(), 1);
    QCOMPARE(MessageBoxes::shown().size(), 1);
    QCOMPARE(MessageBoxes::shown().first().owner.data(), &bench.form);
    QVERIFY(!MessageBoxes::shown().first().text.isEmpty());
    QCOMPARE(globalStatRecord().ticketStatus(8), 2);
    QCOMPARE(globalStatRecord().questionStats(8, 3).wrong[1], quint8(1));
    // The attempt is over: no more answers, no more seconds.
    QCOMPARE(bench.enabledButtons(), QString());
    bench.selectPosition(10);
    QCOMPARE(bench.enabledButtons(), QString());
    bench.tick(3);
    QCOMPARE(globalStatRecord().questionStats(8, 10).seconds[1], 0);

    QVERIFY(QDir(bench.dir()).rmdir(QStringLiteral("stat.dat")));
    QVERIFY(QFile(statPath).open(QIODevice::WriteOnly));
    QTest::mouseClick(bench.form.findChild<QPushButton *>(QStringLiteral("BitBtn7")),
                      Qt::LeftButton);
    QVERIFY(!bench.form.isVisible());
    QCOMPARE(bench.watcher.resultDialogs.size(), 1);
    QCOMPARE(bench.host.closedCount, 1);
    QCOMPARE(bench.statFile(), globalStatRecord().toBytes());
    QVERIFY(bench.statFile() != before);
}

QTEST_MAIN(ExamAttemptTest)
#include "tst_examattempt.moc"
