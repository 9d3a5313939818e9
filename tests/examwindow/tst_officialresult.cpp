// The end of an exam by the official rules: the reasons the dialog gives,
// and the review of the mistakes in the order the learner saw the variants.
#include "mistakereviewwindow.h"
#include "officialresultdialog.h"
#include "questiondatabase.h"
#include "syntheticdatabase.h"

#include <QBuffer>
#include <QLabel>
#include <QPushButton>
#include <QTest>

using Failure = OfficialExamRules::Failure;

class OfficialResultTest : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void reason_inPlainWords_data();
    void reason_inPlainWords();
    void review_showsTheVariantsAsSeenAndStepsThroughTheMistakes();

private:
    QuestionDatabase m_database;
};

void OfficialResultTest::init()
{
    auto buffer = std::make_unique<QBuffer>();
    buffer->setData(SyntheticDatabase::bytes());
    m_database.openDevice(std::move(buffer));
}

void OfficialResultTest::cleanup()
{
    m_database.closeDatabase();
}

void OfficialResultTest::reason_inPlainWords_data()
{
    QTest::addColumn<int>("failure");
    QTest::addColumn<int>("failedBlock");
    QTest::addColumn<int>("blocks");
    QTest::addColumn<QList<int>>("mistakes");
    QTest::addColumn<QString>("headline");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<QString>("mistakesLine");
    QTest::newRow("no error") << int(Failure::None) << -1 << 0 << QList<int>{} << "Экзамен сдан"
                              << "Все 20 вопросов основной части отвечены верно."
                              << "Ошибок нет.";
    QTest::newRow("two blocks passed")
        << int(Failure::None) << -1 << 2 << QList<int>{4, 18} << "Экзамен сдан"
        << "В основной части две ошибки в разных блоках; все 10 дополнительных вопросов "
           "отвечены верно."
        << "Ошибки в вопросах: 4, 18.";
    QTest::newRow("two in one block")
        << int(Failure::TwoErrorsInOneBlock) << 1 << 0 << QList<int>{6, 9} << "Экзамен не сдан"
        << "Две ошибки в одном тематическом блоке (вопросы 6–10)."
        << "Ошибки в вопросах: 6, 9.";
    QTest::newRow("time up in the additional block")
        << int(Failure::AdditionalTimeUp) << -1 << 1 << QList<int>{2, 25} << "Экзамен не сдан"
        << "Время на дополнительные вопросы истекло."
        << "Ошибки в вопросах: 2, 25.";
}

void OfficialResultTest::reason_inPlainWords()
{
    QFETCH(int, failure);
    QFETCH(int, failedBlock);
    QFETCH(int, blocks);
    QFETCH(QList<int>, mistakes);
    QFETCH(QString, headline);
    QFETCH(QString, reason);
    QFETCH(QString, mistakesLine);
    AttemptResult result;
    result.mode = AttemptMode::OfficialExam;
    result.passed = Failure(failure) == Failure::None;
    result.ticket = 3;
    OfficialExamReport report;
    report.failure = Failure(failure);
    report.failedBlock = failedBlock;
    report.additionalBlockCount = blocks;
    for (int number : mistakes)
        report.mistakes << ExamMistake{number, number, 1, 0};
    result.official = report;

    OfficialResultDialog dialog;
    dialog.setResult(result, m_database);
    QCOMPARE(dialog.findChild<QLabel *>(QStringLiteral("officialHeadline"))->text(), headline);
    QCOMPARE(dialog.findChild<QLabel *>(QStringLiteral("officialReason"))->text(), reason);
    QCOMPARE(dialog.findChild<QLabel *>(QStringLiteral("officialMistakes"))->text(), mistakesLine);
    QCOMPARE(dialog.findChild<QPushButton *>(QStringLiteral("reviewMistakesButton"))->isEnabled(),
             !mistakes.isEmpty());
}

void OfficialResultTest::review_showsTheVariantsAsSeenAndStepsThroughTheMistakes()
{
    // Question 2 has four variants, the third correct; it was shown with the
    // correct one at place 1 (so the first stored variant at place 3), and
    // the learner chose the first stored variant. Question 5 was left
    // unanswered, its variants never shuffled.
    MistakeReviewWindow review(m_database, {ExamMistake{7, 2, 1, 1}, ExamMistake{22, 5, 0, 0}});
    review.show();
    auto *variants = review.findChild<QLabel *>(QStringLiteral("reviewVariants"));
    auto *heading = review.findChild<QLabel *>(QStringLiteral("reviewHeading"));
    auto *previous = review.findChild<QPushButton *>(QStringLiteral("reviewPreviousButton"));
    auto *next = review.findChild<QPushButton *>(QStringLiteral("reviewNextButton"));
    QCOMPARE(heading->text(), QStringLiteral("Вопрос №7 (билет №1, вопрос №2)"));
    QVERIFY(variants->text().contains(QStringLiteral("1. *Ответ 2.3 — верный ответ")));
    QVERIFY(variants->text().contains(QStringLiteral("2. *Ответ 2.2<br>")));
    QVERIFY(variants->text().contains(QStringLiteral("3. *Ответ 2.1 — ваш ответ")));
    QVERIFY(variants->text().contains(QStringLiteral("4. *Ответ 2.4<br>")));
    QVERIFY(!previous->isEnabled());

    QTest::mouseClick(next, Qt::LeftButton);
    QCOMPARE(review.currentIndex(), 1);
    QCOMPARE(heading->text(), QStringLiteral("Вопрос №22 (билет №1, вопрос №5)"));
    QCOMPARE(review.findChild<QLabel *>(QStringLiteral("reviewCounter"))->text(),
             QStringLiteral("2 из 2"));
    QVERIFY(variants->text().contains(QStringLiteral("3. *Ответ 5.3 — верный ответ")));
    QVERIFY(!variants->text().contains(QStringLiteral("ваш ответ")));
    QVERIFY(variants->text().contains(QStringLiteral("Ответ не дан")));
    QCOMPARE(review.findChild<QLabel *>(QStringLiteral("reviewComment"))->text(),
             QStringLiteral("Комментарий: Комментарий к вопросу 5"));
    QVERIFY(!next->isEnabled());
    QTest::mouseClick(previous, Qt::LeftButton);
    QCOMPARE(review.currentIndex(), 0);
}

QTEST_MAIN(OfficialResultTest)
#include "tst_officialresult.moc"
