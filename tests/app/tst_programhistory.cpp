// The answer history in the running program: an attempt through the real
// exam window lands in it, the results reset clears it, a history that
// cannot be used costs one message and nothing else, and one another program
// holds locked costs one message and no answer.
#include "answerhistory.h"
#include "appsandbox.h"
#include "databasefingerprint.h"
#include "dynamicspage.h"
#include "examwindow.h"
#include "learnerhistory.h"
#include "mainwindow.h"
#include "messageboxes.h"
#include "program.h"
#include "programrandom.h"
#include "question.h"
#include "questiondatabase.h"
#include "statrecord.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>
#include <QTimer>
#include <QToolButton>

class TestProgramHistory : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void examThroughTheWindow_landsInHistory_andResetClearsIt();
    void unusableHistory_oneMessageAndStatDatAsBefore();
    void history_openedAfterTheFirstPaint();
    void lockedHistory_examKeptUntilReleased_toldOnce();
    void statDatNotSaved_learnerRetriesThenClosesWithoutSaving_answersStayInHistory();

private:
    // Runs an exam on ticket 10 through the real window: the first answer
    // wrong, the rest right; the result dialog is closed with its button.
    void runExam(ZeltrakProgram &program);

    std::unique_ptr<AppSandbox> m_sandbox;
    QString m_database;
};

void TestProgramHistory::init()
{
    m_sandbox = std::make_unique<AppSandbox>();
    m_database = m_sandbox->writeDatabase(QStringLiteral("program/dataAB.dbv"), "База");
    // Shuffled variants, so that stored numbers differ from shown places.
    m_sandbox->writeSettings(QStringLiteral("Kol=2\nRnd=1\nSta=1\nTim=4\nBas=") + m_database);
    MessageBoxes::clearShown();
    ProgramRandom::clearScript();
}

void TestProgramHistory::cleanup()
{
    MessageBoxes::setNextAnswers({});
    ProgramRandom::clearScript();
    m_sandbox.reset();
}

void TestProgramHistory::runExam(ZeltrakProgram &program)
{
    MainWindow *main = program.mainWindow();
    main->show();
    ProgramRandom::setScript({9}); // ticket 10
    QTest::mouseClick(main->findChild<QPushButton *>(QStringLiteral("BitBtn3")), Qt::LeftButton);
    AttemptWindow *exam = program.examWindow();
    QVERIFY(exam->isVisible());
    ExamAttempt *attempt = static_cast<ExamWindow *>(exam)->attempt();

    QTimer closer;
    closer.setInterval(0);
    connect(&closer, &QTimer::timeout, this, [] {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal && modal->objectName() == QLatin1String("Form4"))
            modal->findChild<QPushButton *>(QStringLiteral("BitBtn1"))->click();
    });
    closer.start();
    for (int answer = 0; answer < 20 && exam->isVisible(); ++answer) {
        const int correct = attempt->correctVariant();
        const int chosen = answer == 0 ? (correct == 1 ? 2 : 1) : correct;
        QTest::mouseClick(exam->findChild<QPushButton *>(QStringLiteral("BitBtn%1").arg(chosen)),
                          Qt::LeftButton);
    }
    closer.stop();
    QVERIFY(!exam->isVisible());
    QVERIFY(main->isVisible());
}

void TestProgramHistory::examThroughTheWindow_landsInHistory_andResetClearsIt()
{
    const QDateTime before = QDateTime::currentDateTimeUtc().addSecs(-1);
    ZeltrakProgram program(m_sandbox->paths);
    QVERIFY(!program.startupFailed());
    runExam(program);
    QVERIFY(MessageBoxes::shown().isEmpty());

    const QString fingerprint = DatabaseFingerprint::fromFile(m_database);
    AnswerHistory history(AnswerHistory::filePathIn(m_sandbox->paths.programFolder));
    QVERIFY(history.isAvailable());
    const QList<AnswerRecord> answers = history.answers(fingerprint);
    QCOMPARE(answers.size(), 20);
    const QList<AttemptRecord> attempts = history.attempts(fingerprint);
    QCOMPARE(attempts.size(), 1);
    QCOMPARE(attempts[0].mode, HistoryMode::Exam);
    QVERIFY(attempts[0].endedAtMs.has_value());
    QCOMPARE(attempts[0].result->correct, 19);
    QCOMPARE(attempts[0].result->wrong, 1);
    QCOMPARE(attempts[0].result->passed, std::optional<bool>(true));

    for (int i = 0; i < answers.size(); ++i) {
        const AnswerRecord &a = answers[i];
        QCOMPARE(a.question, 180 + i + 1);
        QCOMPARE(a.mode, HistoryMode::Exam);
        QCOMPARE(a.attemptId, attempts[0].id);
        QCOMPARE(a.right, i != 0);
        QVERIFY(a.answeredAt() >= before);
        QVERIFY(a.answeredAt() <= QDateTime::currentDateTimeUtc());
        // Right answers name the stored correct variant, whatever its place.
        Question question;
        globalQuestionDatabase().readQuestion(a.question, question);
        if (a.right)
            QCOMPARE(a.variant, question.correctVariant);
        else
            QVERIFY(a.variant != question.correctVariant);
    }

    MessageBoxes::setNextAnswers({QMessageBox::Yes});
    program.mainWindow()->findChild<QAction *>(QStringLiteral("N3"))->trigger();
    QCOMPARE(MessageBoxes::shown().size(), 1); // the existing confirmation only
    QVERIFY(history.answers(fingerprint).isEmpty());
    QVERIFY(history.attempts(fingerprint).isEmpty());
}

void TestProgramHistory::
    statDatNotSaved_learnerRetriesThenClosesWithoutSaving_answersStayInHistory()
{
    ZeltrakProgram program(m_sandbox->paths);
    QVERIFY(!program.startupFailed());
    // A folder in the file's place: every save of "stat.dat" fails.
    const QString statPath = m_sandbox->statisticsFile();
    QVERIFY(QFile::remove(statPath));
    QVERIFY(QDir().mkdir(statPath));

    // Try again (still failing: the warning comes back), then close.
    MessageBoxes::setNextAnswers({QMessageBox::Retry, QMessageBox::Discard});
    runExam(program);
    QCOMPARE(MessageBoxes::shown().size(), 2);
    for (const MessageBoxes::Shown &box : MessageBoxes::shown()) {
        QCOMPARE(box.buttons, QMessageBox::Retry | QMessageBox::Discard);
        QCOMPARE(box.buttonTexts.value(QMessageBox::Retry), QStringLiteral("Повторить"));
        QCOMPARE(box.buttonTexts.value(QMessageBox::Discard),
                 QStringLiteral("Закрыть без сохранения"));
        QVERIFY2(box.text.contains(ExamWindow::unsavedAttemptText()), qPrintable(box.text));
    }
    QVERIFY(QFileInfo(statPath).isDir());

    // The answers are in the history all the same.
    const QString fingerprint = DatabaseFingerprint::fromFile(m_database);
    AnswerHistory history(AnswerHistory::filePathIn(m_sandbox->paths.programFolder));
    QCOMPARE(history.answers(fingerprint).size(), 20);
    // The counters stay in memory and reach the file with the next save.
    const int wrongBefore = globalStatRecord().questionStats(10, 1).wrong[2];
    QCOMPARE(wrongBefore, 1);
    QVERIFY(QDir().rmdir(statPath));
    MessageBoxes::clearShown();
    MessageBoxes::setNextAnswers({});
    runExam(program);
    QVERIFY(MessageBoxes::shown().isEmpty());
    QCOMPARE(history.answers(fingerprint).size(), 40);
    QFile stat(statPath);
    QVERIFY(stat.open(QIODevice::ReadOnly));
    QCOMPARE(StatRecord::fromBytes(stat.read(StatRecord::Size)).questionStats(10, 1).wrong[2],
             quint8(2));
}

void TestProgramHistory::unusableHistory_oneMessageAndStatDatAsBefore()
{
    // A history from a newer program: refused and left alone.
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "newer");
        db.setDatabaseName(AnswerHistory::filePathIn(m_sandbox->paths.programFolder));
        QVERIFY(db.open());
        QSqlQuery(db).exec(QStringLiteral("CREATE TABLE future (x)"));
        QSqlQuery(db).exec(QStringLiteral("PRAGMA user_version = 99"));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("newer"));

    MessageBoxes::setNextAnswers({QMessageBox::Ok, QMessageBox::Ok, QMessageBox::Ok});
    ZeltrakProgram program(m_sandbox->paths);
    QVERIFY(!program.startupFailed());
    // Said once the main window has painted, after anything about
    // "stat.dat".
    QVERIFY(MessageBoxes::shown().isEmpty());
    program.mainWindow()->show();
    QVERIFY(MessageBoxes::shown().isEmpty());
    QTRY_COMPARE(MessageBoxes::shown().size(), 1);
    QCOMPARE(MessageBoxes::shown()[0].icon, QMessageBox::Warning);
    QVERIFY2(MessageBoxes::shown()[0].text.contains(QStringLiteral("stat.dat")) ||
                 MessageBoxes::shown()[0].text.contains(QStringLiteral("истори")),
             qPrintable(MessageBoxes::shown()[0].text));

    runExam(program);
    // Nothing more is said, and "stat.dat" took the exam as always.
    QCOMPARE(MessageBoxes::shown().size(), 1);
    QFile stat(m_sandbox->statisticsFile());
    QVERIFY(stat.open(QIODevice::ReadOnly));
    const StatRecord saved = StatRecord::fromBytes(stat.read(StatRecord::Size));
    QCOMPARE(saved.ticketStatus(10), 1);
    QCOMPARE(saved.questionStats(10, 1).wrong[2], 1);
    QCOMPARE(saved.questionStats(10, 2).correct[2], 1);
}

void TestProgramHistory::history_openedAfterTheFirstPaint()
{
    // The first paint does not wait for the history: the file is created
    // only once the window has painted. (An attempt started before that
    // opens it at once: the exam test above clicks before any paint.)
    const QString file = AnswerHistory::filePathIn(m_sandbox->paths.programFolder);
    ZeltrakProgram program(m_sandbox->paths);
    QVERIFY(!program.startupFailed());
    MainWindow *main = program.mainWindow();
    main->show();
    QVERIFY(!QFile::exists(file));
    QVERIFY(QTest::qWaitForWindowExposed(main));
    QTRY_VERIFY(QFile::exists(file));
    QVERIFY(main->history().isAvailable());
    QVERIFY(MessageBoxes::shown().isEmpty());
}

void TestProgramHistory::lockedHistory_examKeptUntilReleased_toldOnce()
{
    ZeltrakProgram program(m_sandbox->paths);
    QVERIFY(!program.startupFailed());
    program.mainWindow()->show();
    // The history opens after the first paint; the lock comes later.
    const QString path = AnswerHistory::filePathIn(m_sandbox->paths.programFolder);
    QVERIFY(QTest::qWaitForWindowExposed(program.mainWindow()));
    QTRY_VERIFY(QFile::exists(path));
    QVERIFY(MessageBoxes::shown().isEmpty());

    // Another connection takes the write lock and keeps it through the exam.
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "locker");
        db.setDatabaseName(path);
        QVERIFY(db.open());
        QVERIFY(QSqlQuery(db).exec(QStringLiteral("BEGIN EXCLUSIVE")));
    }
    MessageBoxes::setNextAnswers({QMessageBox::Ok});
    runExam(program);
    // Told once, when the main window came back; "stat.dat" as always.
    QCOMPARE(MessageBoxes::shown().size(), 1);
    QVERIFY2(MessageBoxes::shown()[0].text.contains(QStringLiteral("занят другой программой")),
             qPrintable(MessageBoxes::shown()[0].text));
    QFile stat(m_sandbox->statisticsFile());
    QVERIFY(stat.open(QIODevice::ReadOnly));
    QCOMPARE(StatRecord::fromBytes(stat.read(StatRecord::Size)).ticketStatus(10), 1);
    // The learner window and the statistics' "Динамика" say the answers wait.
    QVERIFY(!program.mainWindow()->history().statusNote().isEmpty());
    // The statistics window is made when first opened: open it once.
    DynamicsPage *dynamics = nullptr;
    QTimer::singleShot(0, this, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal && modal->objectName() == QLatin1String("Form5")) {
            dynamics = modal->findChild<DynamicsPage *>();
            modal->close();
        }
    });
    QTest::mouseClick(
        program.mainWindow()->findChild<QToolButton *>(QStringLiteral("SpeedButton2")),
        Qt::LeftButton);
    QVERIFY(dynamics);
    dynamics->refresh();
    auto *note = dynamics->findChild<QLabel *>(QStringLiteral("dynamicsHistoryNote"));
    QVERIFY(note && !note->isHidden());
    QVERIFY2(note->text().contains(QStringLiteral("ещё не записаны")), qPrintable(note->text()));

    {
        QSqlDatabase db = QSqlDatabase::database(QStringLiteral("locker"));
        QVERIFY(QSqlQuery(db).exec(QStringLiteral("COMMIT")));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("locker"));

    // The queue writes them when it next tries: each once, in order.
    const QString fingerprint = DatabaseFingerprint::fromFile(m_database);
    AnswerHistory history(path);
    QTRY_COMPARE_WITH_TIMEOUT(history.answers(fingerprint).size(), 20, 10000);
    const QList<AttemptRecord> attempts = history.attempts(fingerprint);
    QCOMPARE(attempts.size(), 1);
    QCOMPARE(attempts[0].result->wrong, 1);
    const QList<AnswerRecord> answers = history.answers(fingerprint);
    for (int i = 0; i < answers.size(); ++i) {
        QCOMPARE(answers[i].question, 180 + i + 1);
        QCOMPARE(answers[i].attemptId, attempts[0].id);
        QCOMPARE(answers[i].right, i != 0);
    }
    QVERIFY(program.mainWindow()->history().statusNote().isEmpty());
    dynamics->refresh();
    QVERIFY(note->isHidden());
    QCOMPARE(MessageBoxes::shown().size(), 1);
}

QTEST_MAIN(TestProgramHistory)
#include "tst_programhistory.moc"
