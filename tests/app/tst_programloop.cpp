#include "appsandbox.h"
#include "dbvtool.h"
#include "examwindow.h"
#include "filedialogs.h"
#include "jsonticketfixture.h"
#include "picturebox.h"
#include "knowledgegauge.h"
#include "mainwindow.h"
#include "messageboxes.h"
#include "program.h"
#include "programrandom.h"
#include "statrecord.h"

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

// The whole program with its real windows: from the main window through an
// exam attempt and back, with the catalogue and the speedometer refreshed.
class TestProgramLoop : public QObject
{
    Q_OBJECT
private slots:
    void passedExam_showsInCatalogueAndSpeedometer();
    void importedTickets_openThroughTheMenu_andAnExamRunsOnThem();

private:
    // Answers every question of the running attempt with its correct
    // variant, closing the result dialog at the end; the attempt's question
    // texts in order.
    QStringList answerAllCorrectly(AttemptWindow *exam);
};

QStringList TestProgramLoop::answerAllCorrectly(AttemptWindow *exam)
{
    ExamAttempt *attempt = static_cast<ExamWindow *>(exam)->attempt();
    QStringList texts;
    QTimer closer;
    closer.setInterval(0);
    connect(&closer, &QTimer::timeout, this, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal && modal->objectName() == QLatin1String("Form4"))
            modal->findChild<QPushButton *>(QStringLiteral("BitBtn1"))->click();
    });
    closer.start();
    for (int answer = 0; answer < 20 && exam->isVisible(); ++answer) {
        texts << attempt->questionText();
        auto *button = exam->findChild<QPushButton *>(
            QStringLiteral("BitBtn%1").arg(attempt->correctVariant()));
        if (!button || !button->isEnabled())
            break;
        QTest::mouseClick(button, Qt::LeftButton);
    }
    return texts;
}

void TestProgramLoop::passedExam_showsInCatalogueAndSpeedometer()
{
    AppSandbox sandbox;
    const QString db = sandbox.writeDatabase(QStringLiteral("program/dataAB.dbv"), "База");
    sandbox.writeSettings(QStringLiteral("Kol=2\nRnd=1\nSta=1\nTim=4\nBas=") + db);
    StatRecord record;
    record.setTicketStatus(1, 1);
    record.setTicketStatus(2, 1); // 5.0: picture 2
    QFile stat(sandbox.statisticsFile());
    QVERIFY(stat.open(QIODevice::WriteOnly));
    stat.write(record.toBytes());
    stat.close();

    ZeltrakProgram program(sandbox.paths);
    QVERIFY(!program.startupFailed());
    MainWindow *main = program.mainWindow();
    KnowledgeGauge *pictures = nullptr;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (auto *holder = qobject_cast<KnowledgeGauge *>(w))
            pictures = holder;
    }
    QVERIFY(pictures);
    main->show();
    auto *image = main->findChild<QLabel *>(QStringLiteral("Image1"));
    QCOMPARE(image->pixmap().toImage(), QPixmap::fromImage(pictures->picture(2)).toImage());

    ProgramRandom::setScript({9}); // ticket 10
    QTest::mouseClick(main->findChild<QPushButton *>(QStringLiteral("BitBtn3")), Qt::LeftButton);
    AttemptWindow *exam = program.examWindow();
    QVERIFY(exam->isVisible());
    QVERIFY(!main->isVisible());
    ExamAttempt *attempt = static_cast<ExamWindow *>(exam)->attempt();
    QCOMPARE(attempt->ticket(), 10);

    // The result dialog at the end is closed with its OK button.
    QTimer closer;
    closer.setInterval(0);
    bool resultShown = false;
    connect(&closer, &QTimer::timeout, this, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal && modal->objectName() == QLatin1String("Form4")) {
            resultShown = true;
            modal->findChild<QPushButton *>(QStringLiteral("BitBtn1"))->click();
        }
    });
    closer.start();
    for (int answer = 0; answer < 20 && exam->isVisible(); ++answer) {
        auto *button = exam->findChild<QPushButton *>(
            QStringLiteral("BitBtn%1").arg(attempt->correctVariant()));
        QVERIFY(button && button->isEnabled());
        QTest::mouseClick(button, Qt::LeftButton);
    }
    closer.stop();

    QVERIFY(resultShown);
    QVERIFY(!exam->isVisible());
    QVERIFY(main->isVisible());
    auto *list = main->findChild<QListWidget *>(QStringLiteral("ListView1"));
    QCOMPARE(list->item(9)->icon().pixmap(16).toImage(),
             main->statusIcons()[1].pixmap(16).toImage());
    // Three exams passed: 7.5 rounds to picture 3.
    QCOMPARE(image->pixmap().toImage(), QPixmap::fromImage(pictures->picture(3)).toImage());
    QCOMPARE(list->selectedItems(), QList<QListWidgetItem *>{list->item(0)});
    QVERIFY(stat.open(QIODevice::ReadOnly));
    QCOMPARE(StatRecord::fromBytes(stat.read(StatRecord::Size)).ticketStatus(10), 1);
}

void TestProgramLoop::importedTickets_openThroughTheMenu_andAnExamRunsOnThem()
{
    AppSandbox sandbox;
    const QString db = sandbox.writeDatabase(QStringLiteral("program/dataAB.dbv"), "База");
    sandbox.writeSettings(QStringLiteral("Kol=2\nRnd=1\nSta=1\nTim=4\nBas=") + db);

    // A folder of JSON tickets, its third ticket's first question with a
    // WebP picture named .jpg, turned into a database by dbv import.
    JsonTicketFolderFixture folder(sandbox.path(QStringLiteral("json")));
    folder.writePicture(QStringLiteral("images/A_B/scene.jpg"),
                        JsonTicketFolderFixture::webp({604, 225}));
    folder.setImage(3, 1, QStringLiteral("./images/A_B/scene.jpg"));
    folder.write();
    const QString imported = sandbox.path(QStringLiteral("tickets-AB.dbv"));
    QBuffer out, err;
    out.open(QIODevice::WriteOnly);
    err.open(QIODevice::WriteOnly);
    QCOMPARE(runDbv({"import", folder.root(), imported, "--title", "Билеты из JSON"}, out, err), 0);

    ZeltrakProgram program(sandbox.paths);
    QVERIFY(!program.startupFailed());
    MainWindow *main = program.mainWindow();
    main->show();
    FileDialogs::setNextFileName(imported);
    main->findChild<QAction *>(QStringLiteral("N7"))->trigger();
    QCOMPARE(main->findChild<QLabel *>(QStringLiteral("Label5"))->text(),
             QStringLiteral("Билеты из JSON"));
    QVERIFY(MessageBoxes::shown().isEmpty());

    ProgramRandom::setScript({2}); // ticket 3
    QTest::mouseClick(main->findChild<QPushButton *>(QStringLiteral("BitBtn3")), Qt::LeftButton);
    AttemptWindow *exam = program.examWindow();
    QVERIFY(exam->isVisible());
    // The first question shows its picture, decoded from the imported JPEG.
    auto *picture = exam->findChild<PictureBox *>(QStringLiteral("Image1"));
    QVERIFY(picture && picture->isVisible());
    QCOMPARE(picture->image().size(), QSize(604, 225));

    const QStringList texts = answerAllCorrectly(exam);
    QCOMPARE(texts.size(), 20);
    QVERIFY(texts.contains(QStringLiteral("Вопрос 1 билета 3?")));
    QVERIFY(texts.contains(QStringLiteral("Вопрос 20 билета 3?")));
    QVERIFY(!exam->isVisible());
    QVERIFY(main->isVisible());
    QVERIFY(MessageBoxes::shown().isEmpty());
}

QTEST_MAIN(TestProgramLoop)
#include "tst_programloop.moc"
