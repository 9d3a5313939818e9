// The classroom's windows by clicks, with the real server: the sign-in of a
// classroom PC (from the class list and by a typed name), the program as it
// was with the classroom off, «Класс…», and the instructor's table with its
// exports and a learner's window opened read-only. «Класс…» takes effect at
// once (on, a new server, off), and «Сменить ученика…» lets the next learner
// sit down without a restart.
#include "answerhistory.h"
#include "appsandbox.h"
#include "classroomlearners.h"
#include "databasefingerprint.h"
#include "filedialogs.h"
#include "instructorwindow.h"
#include "learnerhistory.h"
#include "learnerwindow.h"
#include "mainwindow.h"
#include "messageboxes.h"
#include "program.h"
#include "syncengine.h"
#include "syncround.h"
#include "testserver.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <functional>

using namespace TestServer;

namespace {

const ClassroomLearner Anna{QStringLiteral("0b7c4f8e-5b1a-4c56-9a54-1f2e3d4c5b6a"),
                            QStringLiteral("Анна Петрова")};
const ClassroomLearner Boris{QStringLiteral("1c8d5a9f-6c2b-4d67-8b65-2a3f4e5d6c7b"),
                             QStringLiteral("Борис Иванов")};

// Runs `step` on the modal dialog named `name` as soon as it is shown.
void whenModal(const QString &name, std::function<void(QDialog *)> step)
{
    auto *poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, name, step] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!dialog || dialog->objectName() != name)
            return;
        poll->stop();
        poll->deleteLater();
        step(dialog);
    });
    poll->start(5);
}

void click(QWidget *parent, const QString &name)
{
    auto *button = parent->findChild<QPushButton *>(name);
    QVERIFY2(button, qPrintable(name));
    QTest::mouseClick(button, Qt::LeftButton);
}

// Answers «Кто учится?» with `name` from the class list when it is shown.
void signInAsWhenAsked(const QString &name)
{
    whenModal(QStringLiteral("SignInDialog"), [name](QDialog *dialog) {
        auto *list = dialog->findChild<QListWidget *>(QStringLiteral("classList"));
        const QList<QListWidgetItem *> found = list->findItems(name, Qt::MatchExactly);
        QCOMPARE(found.size(), 1);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(found[0]).center());
        click(dialog, QStringLiteral("signInButton"));
    });
}

// Opens the settings menu by its button and clicks the item named `item`.
void chooseFromSettingsMenu(MainWindow *main, const QString &item)
{
    auto *menu = main->findChild<QMenu *>(QStringLiteral("PopupMenu1"));
    QTest::mouseClick(main->findChild<QToolButton *>(QStringLiteral("SpeedButton1")),
                      Qt::LeftButton);
    QTRY_VERIFY(menu->isVisible());
    QAction *action = main->findChild<QAction *>(item);
    QVERIFY2(action && action->isVisible(), qPrintable(item));
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
    QTRY_VERIFY(!menu->isVisible());
}

bool shownTextContains(const QString &part)
{
    return std::any_of(MessageBoxes::shown().cbegin(), MessageBoxes::shown().cend(),
                       [&](const auto &box) { return box.text.contains(part); });
}

} // namespace

class TestClassroomWindows : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void classroomOff_programAsBefore();
    void signIn_fromTheClassList_bringsTheLearnersHistory();
    void signIn_byTypedName_newLearnerOnTheList();
    void instructor_tableOfTwoLearners_sortedExportedAndOpened();
    void classroomTurnedOn_asksWhoIsLearningAtOnce();
    void switchLearner_nextLearnersHistory_earlierRowsStillSent_notDuringAttempt();
    void newServer_syncGoesThere_turnedOff_backToThePcsOwnHistory();

private:
    // Answers of `learner` recorded on another PC and sent to the server:
    // `right` of `count` answered right, and an exam by the official rules.
    void answerElsewhere(const ClassroomLearner &learner, int count, int right, bool examPassed);
    void writeSettings(bool learnerPc);
    // The program with the classroom's settings written, shown and its
    // history opened.
    std::unique_ptr<ZeltrakProgram> startShown();
    QString historyPathOf(const ClassroomLearner &learner) const;

    QString m_db;
    std::unique_ptr<AppSandbox> m_sandbox;
    QString m_database;
};

void TestClassroomWindows::initTestCase()
{
    if (const QString why = skipReason(); !why.isEmpty())
        QSKIP(qPrintable(why));
    QStandardPaths::setTestModeEnabled(true);
}

void TestClassroomWindows::init()
{
    m_db = freshDatabase(QStringLiteral("zt_windows"));
    m_sandbox = std::make_unique<AppSandbox>();
    m_database = m_sandbox->writeDatabase(QStringLiteral("program/dataAB.dbv"), "База");
    MessageBoxes::clearShown();
}

void TestClassroomWindows::cleanup()
{
    m_sandbox.reset();
}

void TestClassroomWindows::writeSettings(bool learnerPc)
{
    const ServerAddress server = address(PcRole, m_db);
    m_sandbox->writeSettings(QStringLiteral("Kol=2\nRnd=2\nSta=1\nTim=4\nBas=%1\n\n[Classroom]\n"
                                            "LearnerPc=%2\nHost=%3\nPort=%4\nDatabase=%5\n"
                                            "Role=%6\nInstructorRole=%7")
                                 .arg(m_database)
                                 .arg(learnerPc ? 1 : 0)
                                 .arg(server.host)
                                 .arg(server.port)
                                 .arg(m_db, PcRole, InstructorRole));
}

void TestClassroomWindows::answerElsewhere(const ClassroomLearner &learner, int count, int right,
                                           bool examPassed)
{
    QTemporaryDir otherPc;
    const QString root = ClassroomLearners::rootIn(otherPc.path());
    QVERIFY(ClassroomLearners::remember(root, learner));
    const QString fingerprint = DatabaseFingerprint::fromFile(m_database);
    {
        AnswerHistory history(ClassroomLearners::historyPathOf(root, learner.id));
        const qint64 now = QDateTime::currentMSecsSinceEpoch();
        for (int i = 0; i < count; ++i)
            QVERIFY(history.recordAnswer(fingerprint,
                                         AnswerRecord{i + 1, HistoryMode::Learning, 1, i < right, 3,
                                                      now - (count - i) * 60'000, 0}));
        const qint64 exam = history.beginAttempt(fingerprint, HistoryMode::OfficialExam,
                                                 QDateTime::fromMSecsSinceEpoch(now - 1000));
        QVERIFY(history.endAttempt(exam, QDateTime::fromMSecsSinceEpoch(now - 500),
                                   {examPassed ? 20 : 17, examPassed ? 0 : 3, examPassed}));
    }
    const SyncReport report = SyncRound(address(PcRole, m_db), root).run();
    QVERIFY2(report.error.isEmpty() && report.pending == 0, qPrintable(report.error));
}

void TestClassroomWindows::classroomOff_programAsBefore()
{
    writeSettings(false);
    ZeltrakProgram program(m_sandbox->paths);
    MainWindow *main = program.mainWindow();
    QVERIFY(!main->startupFailed());
    QCOMPARE(main->windowTitle(), QStringLiteral("Зелтрак ПДД ZOZAV"));
    QVERIFY(main->learnerName().isEmpty());
    QVERIFY(!main->classroomSync());
    QCOMPARE(main->history().store()->filePath(),
             AnswerHistory::filePathIn(QFileInfo(m_sandbox->statisticsFile()).path()));
    QVERIFY(!QFileInfo::exists(m_sandbox->programFile(QStringLiteral("classroom"))));
}

void TestClassroomWindows::signIn_fromTheClassList_bringsTheLearnersHistory()
{
    answerElsewhere(Anna, 12, 9, true);
    answerElsewhere(Boris, 3, 3, false);
    writeSettings(true);
    QStringList listed;
    whenModal(QStringLiteral("SignInDialog"), [&](QDialog *dialog) {
        auto *list = dialog->findChild<QListWidget *>(QStringLiteral("classList"));
        for (int i = 0; i < list->count(); ++i)
            listed << list->item(i)->text();
        QVERIFY(!dialog->findChild<QPushButton *>(QStringLiteral("signInButton"))->isEnabled());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(0)).center());
        click(dialog, QStringLiteral("signInButton"));
    });
    ZeltrakProgram program(m_sandbox->paths);
    MainWindow *main = program.mainWindow();
    QCOMPARE(listed, (QStringList{Anna.name, Boris.name}));
    QCOMPARE(main->learnerName(), Anna.name);
    QVERIFY2(main->windowTitle().endsWith(QStringLiteral(" — Анна Петрова")),
             qPrintable(main->windowTitle()));
    const QString root = ClassroomLearners::rootIn(QFileInfo(m_sandbox->statisticsFile()).path());
    QCOMPARE(main->history().store()->filePath(), ClassroomLearners::historyPathOf(root, Anna.id));
    // Her twelve answers and her exam came with her.
    QCOMPARE(main->history().outcomes().size(), 12);
    QCOMPARE(main->history().store()->attempts(main->history().fingerprint()).size(), 1);
    QVERIFY(main->classroomSync());
}

void TestClassroomWindows::signIn_byTypedName_newLearnerOnTheList()
{
    writeSettings(true);
    whenModal(QStringLiteral("SignInDialog"), [&](QDialog *dialog) {
        auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("learnerName"));
        // Typed key by key; QTest::keyClicks knows only Latin letters.
        for (const QChar c : QStringLiteral("  Вера   Смирнова "))
            QTest::sendKeyEvent(QTest::Click, name, Qt::Key_unknown, QString(c), Qt::NoModifier);
        click(dialog, QStringLiteral("signInButton"));
    });
    {
        ZeltrakProgram program(m_sandbox->paths);
        QCOMPARE(program.mainWindow()->learnerName(), QStringLiteral("Вера Смирнова"));
        QCOMPARE(program.mainWindow()->history().outcomes().size(), 0);
        // Her first answer reaches the server in the background.
        const QString fingerprint = program.mainWindow()->history().fingerprint();
        AnswerHistory(program.mainWindow()->history().store()->filePath())
            .recordAnswer(fingerprint, AnswerRecord{5, HistoryMode::Learning, 1, true, 3,
                                                    QDateTime::currentMSecsSinceEpoch(), 0});
        program.mainWindow()->classroomSync()->syncNow();
        QTRY_COMPARE_WITH_TIMEOUT(
            scalar(InstructorRole, m_db, "SELECT count(*) FROM zeltrak.answers").toInt(), 1,
            10'000);
    }
    // Next time she is on the list, from the server and from this PC.
    QStringList listed;
    whenModal(QStringLiteral("SignInDialog"), [&](QDialog *dialog) {
        auto *list = dialog->findChild<QListWidget *>(QStringLiteral("classList"));
        for (int i = 0; i < list->count(); ++i)
            listed << list->item(i)->text();
        click(dialog, QStringLiteral("withoutSignInButton"));
    });
    ZeltrakProgram program(m_sandbox->paths);
    QCOMPARE(listed, QStringList{QStringLiteral("Вера Смирнова")});
    // Without a sign-in: the PC's own history, no name, no sync.
    QVERIFY(program.mainWindow()->learnerName().isEmpty());
    QVERIFY(!program.mainWindow()->classroomSync());
}

void TestClassroomWindows::instructor_tableOfTwoLearners_sortedExportedAndOpened()
{
    answerElsewhere(Anna, 12, 9, true);
    answerElsewhere(Boris, 30, 10, false);
    writeSettings(false);
    ZeltrakProgram program(m_sandbox->paths);
    MainWindow *main = program.mainWindow();
    main->show();
    whenModal(QStringLiteral("ClassroomDialog"), [&](QDialog *dialog) {
        click(dialog, QStringLiteral("instructorButton"));
        click(dialog, QStringLiteral("classroomCancel"));
    });
    main->findChild<QAction *>(QStringLiteral("classroomItem"))->trigger();
    InstructorWindow *window = main->instructorWindow();
    QVERIFY(window);
    QVERIFY(window->isVisible());
    QTableView *table = window->table();
    QCOMPARE(table->model()->rowCount(), 2);
    const auto cell = [table](int row, int column) {
        return table->model()->index(row, column).data().toString();
    };
    QCOMPARE(cell(0, 0), Anna.name);
    QCOMPARE(cell(0, 2), QStringLiteral("12"));
    QCOMPARE(cell(0, 3), QStringLiteral("1"));
    QCOMPARE(cell(0, 4), QStringLiteral("1"));
    QCOMPARE(cell(0, 5), QStringLiteral("сдан"));
    QCOMPARE(cell(1, 5), QStringLiteral("не сдан (3 ошибки)"));
    QVERIFY(cell(0, 1).endsWith(QStringLiteral(" %")));

    // A click on a header sorts by it; numbers as numbers (30 after 12).
    const QHeaderView *header = table->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(2) + 5, header->height() / 2));
    const Qt::SortOrder order = header->sortIndicatorOrder();
    QCOMPARE(cell(0, 0), order == Qt::AscendingOrder ? Anna.name : Boris.name);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(2) + 5, header->height() / 2));
    QCOMPARE(cell(0, 0), order == Qt::AscendingOrder ? Boris.name : Anna.name);

    // CSV: the header, then the rows as shown.
    QTemporaryDir out;
    const QString csv = out.filePath(QStringLiteral("класс.csv"));
    FileDialogs::setNextFileName(csv);
    click(window, QStringLiteral("exportCsvButton"));
    QFile csvFile(csv);
    QVERIFY(csvFile.open(QIODevice::ReadOnly));
    const QByteArray bytes = csvFile.readAll();
    QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
    const QStringList lines = QString::fromUtf8(bytes.mid(3)).split(QStringLiteral("\r\n"));
    QCOMPARE(lines.size(), 4); // header, two rows, the empty end
    QVERIFY(lines[0].startsWith(QStringLiteral("Ученик,Готовность,Ответов за 7 дней,")));
    QVERIFY2(lines[1].startsWith(cell(0, 0) + QLatin1Char(',')), qPrintable(lines[1]));
    QVERIFY2(lines[2].contains(QStringLiteral(",не сдан (3 ошибки),")) ||
                 lines[1].contains(QStringLiteral(",не сдан (3 ошибки),")),
             qPrintable(lines.join('\n')));

    // PDF: a real document with both names in it.
    const QString pdf = out.filePath(QStringLiteral("класс.pdf"));
    FileDialogs::setNextFileName(pdf);
    click(window, QStringLiteral("exportPdfButton"));
    QVERIFY(QFileInfo(pdf).size() > 0);
    QFile pdfFile(pdf);
    QVERIFY(pdfFile.open(QIODevice::ReadOnly));
    QVERIFY(pdfFile.read(5) == "%PDF-");
    if (const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
        !tool.isEmpty()) {
        QProcess text;
        text.start(tool, {pdf, QStringLiteral("-")});
        QVERIFY(text.waitForFinished());
        const QString content = QString::fromUtf8(text.readAllStandardOutput());
        QVERIFY2(content.contains(QStringLiteral("Петрова")) &&
                     content.contains(QStringLiteral("Иванов")),
                 qPrintable(content));
    }

    // A double click opens the learner's window, only to look at.
    const QModelIndex boris = table->model()->index(cell(0, 0) == Boris.name ? 0 : 1, 0);
    const QRect rect = table->visualRect(boris);
    // A double click is a press, a release and the double click itself.
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, rect.center());
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, rect.center());
    LearnerWindow *learner = main->viewedLearnerWindow();
    QVERIFY(learner);
    QVERIFY(learner->isVisible());
    QVERIFY(learner->isReadOnly());
    QVERIFY(learner->windowTitle().contains(Boris.name));
    QCOMPARE(learner->overview().answeredQuestions, 30);
    for (QPushButton *button : learner->findChildren<QPushButton *>()) {
        if (button->objectName() != QLatin1String("referenceButton"))
            QVERIFY2(!button->isEnabled(), qPrintable(button->objectName()));
    }
    window->close();
}

std::unique_ptr<ZeltrakProgram> TestClassroomWindows::startShown()
{
    auto program = std::make_unique<ZeltrakProgram>(m_sandbox->paths);
    MainWindow *main = program->mainWindow();
    main->show();
    if (!QTest::qWaitForWindowExposed(main))
        return nullptr;
    main->history();
    return program;
}

QString TestClassroomWindows::historyPathOf(const ClassroomLearner &learner) const
{
    return ClassroomLearners::historyPathOf(
        ClassroomLearners::rootIn(QFileInfo(m_sandbox->statisticsFile()).path()), learner.id);
}

void TestClassroomWindows::classroomTurnedOn_asksWhoIsLearningAtOnce()
{
    answerElsewhere(Anna, 12, 9, true);
    writeSettings(false);
    const auto program = startShown();
    QVERIFY(program);
    MainWindow *main = program->mainWindow();
    QVERIFY(!main->classroomSync());
    QVERIFY(!main->findChild<QAction *>(QStringLiteral("switchLearnerItem"))->isVisible());
    // The PC's own history, before: one answer of whoever used it.
    const QString ownHistory = main->history().store()->filePath();
    QVERIFY(AnswerHistory(ownHistory)
                .recordAnswer(main->history().fingerprint(),
                              AnswerRecord{1, HistoryMode::Learning, 1, true, 3,
                                           QDateTime::currentMSecsSinceEpoch(), 0}));

    whenModal(QStringLiteral("ClassroomDialog"), [](QDialog *dialog) {
        auto *box = dialog->findChild<QCheckBox *>(QStringLiteral("learnerPcBox"));
        QVERIFY(!box->isChecked());
        QTest::mouseClick(box, Qt::LeftButton);
        click(dialog, QStringLiteral("classroomOk"));
    });
    signInAsWhenAsked(Anna.name);
    chooseFromSettingsMenu(main, QStringLiteral("classroomItem"));

    // Asked at once, and her history is the one in use now.
    QTRY_COMPARE(main->learnerName(), Anna.name);
    QVERIFY2(main->windowTitle().endsWith(QStringLiteral(" — Анна Петрова")),
             qPrintable(main->windowTitle()));
    QCOMPARE(main->history().store()->filePath(), historyPathOf(Anna));
    QCOMPARE(main->history().outcomes().size(), 12);
    QVERIFY(main->classroomSync());
    QVERIFY(main->findChild<QAction *>(QStringLiteral("switchLearnerItem"))->isVisible());
    QVERIFY(!shownTextContains(QStringLiteral("следующем запуске")));
    // The setting is kept for the next start too.
    QCOMPARE(m_sandbox->stored(QStringLiteral("Classroom/LearnerPc")), QStringLiteral("1"));
    // The PC's own history is untouched.
    QCOMPARE(AnswerHistory(ownHistory).outcomes(main->history().fingerprint()).size(), 1);
}

void TestClassroomWindows::switchLearner_nextLearnersHistory_earlierRowsStillSent_notDuringAttempt()
{
    answerElsewhere(Anna, 12, 9, true);
    answerElsewhere(Boris, 3, 3, false);
    writeSettings(true);
    signInAsWhenAsked(Anna.name);
    const auto program = startShown();
    QVERIFY(program);
    MainWindow *main = program->mainWindow();
    QCOMPARE(main->learnerName(), Anna.name);
    QTest::mouseClick(main->findChild<QToolButton *>(QStringLiteral("learnerButton")),
                      Qt::LeftButton);
    QTRY_VERIFY(main->learnerWindow() && main->learnerWindow()->isVisible());
    QCOMPARE(main->learnerWindow()->overview().answeredQuestions, 12);
    // Her last answer, perhaps not yet on the server when she leaves.
    const QString fingerprint = main->history().fingerprint();
    QVERIFY(AnswerHistory(historyPathOf(Anna))
                .recordAnswer(fingerprint, AnswerRecord{700, HistoryMode::Learning, 1, true, 3,
                                                        QDateTime::currentMSecsSinceEpoch(), 0}));

    signInAsWhenAsked(Boris.name);
    chooseFromSettingsMenu(main, QStringLiteral("switchLearnerItem"));
    QTRY_COMPARE(main->learnerName(), Boris.name);
    QVERIFY2(main->windowTitle().endsWith(Boris.name), qPrintable(main->windowTitle()));
    QCOMPARE(main->history().store()->filePath(), historyPathOf(Boris));
    QCOMPARE(main->history().outcomes().size(), 3);
    // «Моя подготовка» shows Boris now, not what it had read of Anna.
    QVERIFY(main->learnerWindow() && main->learnerWindow()->isVisible());
    QCOMPARE(main->learnerWindow()->overview().answeredQuestions, 3);
    // Anna's answer reaches the server all the same.
    QTRY_COMPARE_WITH_TIMEOUT(
        scalar(InstructorRole, m_db,
               QStringLiteral("SELECT count(*) FROM zeltrak.answers WHERE learner = '%1'")
                   .arg(Anna.id))
            .toInt(),
        13, 15'000);

    // «Без входа» for the next one: the PC's own history, no name.
    whenModal(QStringLiteral("SignInDialog"),
              [](QDialog *dialog) { click(dialog, QStringLiteral("withoutSignInButton")); });
    chooseFromSettingsMenu(main, QStringLiteral("switchLearnerItem"));
    QTRY_VERIFY(main->learnerName().isEmpty());
    QCOMPARE(main->history().store()->filePath(),
             AnswerHistory::filePathIn(QFileInfo(m_sandbox->statisticsFile()).path()));
    QCOMPARE(main->windowTitle(), QStringLiteral("Зелтрак ПДД ZOZAV"));

    // Back to Boris; then an attempt runs: no switching until it ends.
    signInAsWhenAsked(Boris.name);
    chooseFromSettingsMenu(main, QStringLiteral("switchLearnerItem"));
    QTRY_COMPARE(main->learnerName(), Boris.name);
    main->learnerWindow()->close();
    auto *tickets = main->findChild<QListWidget *>(QStringLiteral("ListView1"));
    QTest::mouseClick(tickets->viewport(), Qt::LeftButton, {},
                      tickets->visualItemRect(tickets->item(0)).center());
    QTest::mouseClick(main->findChild<QPushButton *>(QStringLiteral("BitBtn1")), Qt::LeftButton);
    QTRY_VERIFY(main->examWindow() && main->examWindow()->isVisible());
    MessageBoxes::clearShown();
    MessageBoxes::setNextAnswer(QMessageBox::Ok);
    main->findChild<QAction *>(QStringLiteral("switchLearnerItem"))->trigger();
    QVERIFY(shownTextContains(QStringLiteral("Сначала закончите попытку")));
    QCOMPARE(main->learnerName(), Boris.name);
    QCOMPARE(main->history().store()->filePath(), historyPathOf(Boris));
}

void TestClassroomWindows::newServer_syncGoesThere_turnedOff_backToThePcsOwnHistory()
{
    answerElsewhere(Anna, 12, 9, true);
    writeSettings(true);
    signInAsWhenAsked(Anna.name);
    const auto program = startShown();
    QVERIFY(program);
    MainWindow *main = program->mainWindow();
    QCOMPARE(main->learnerName(), Anna.name);

    // The school moves to another database: the sync follows at once.
    const QString other = freshDatabase(QStringLiteral("zt_windows_other"));
    whenModal(QStringLiteral("ClassroomDialog"), [&](QDialog *dialog) {
        auto *database = dialog->findChild<QLineEdit *>(QStringLiteral("serverDatabase"));
        database->clear();
        QTest::keyClicks(database, other);
        click(dialog, QStringLiteral("classroomOk"));
    });
    chooseFromSettingsMenu(main, QStringLiteral("classroomItem"));
    QTRY_COMPARE(m_sandbox->stored(QStringLiteral("Classroom/Database")), other);
    QCOMPARE(main->learnerName(), Anna.name);
    QVERIFY(main->classroomSync());
    QVERIFY(AnswerHistory(historyPathOf(Anna))
                .recordAnswer(main->history().fingerprint(),
                              AnswerRecord{700, HistoryMode::Learning, 1, true, 3,
                                           QDateTime::currentMSecsSinceEpoch(), 0}));
    main->classroomSync()->syncNow();
    QTRY_COMPARE_WITH_TIMEOUT(
        scalar(InstructorRole, other, "SELECT count(*) FROM zeltrak.answers").toInt(), 1, 15'000);

    // Off: no sync, no name, the PC's own history again.
    whenModal(QStringLiteral("ClassroomDialog"), [](QDialog *dialog) {
        QTest::mouseClick(dialog->findChild<QCheckBox *>(QStringLiteral("learnerPcBox")),
                          Qt::LeftButton);
        click(dialog, QStringLiteral("classroomOk"));
    });
    chooseFromSettingsMenu(main, QStringLiteral("classroomItem"));
    QTRY_VERIFY(!main->classroomSync());
    QVERIFY(main->learnerName().isEmpty());
    QCOMPARE(main->windowTitle(), QStringLiteral("Зелтрак ПДД ZOZAV"));
    QCOMPARE(main->history().store()->filePath(),
             AnswerHistory::filePathIn(QFileInfo(m_sandbox->statisticsFile()).path()));
    QCOMPARE(main->history().outcomes().size(), 0);
    QVERIFY(!main->findChild<QAction *>(QStringLiteral("switchLearnerItem"))->isVisible());
}

QTEST_MAIN(TestClassroomWindows)
#include "tst_classroomwindows.moc"
