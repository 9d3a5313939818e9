#include "messageboxes.h"
#include "programrandom.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTest>
#include <QTimer>
#include <QWidget>

// The seams answer tests without skipping the real code, and the real
// message box comes up when nothing is queued.
class TestSeams : public QObject
{
    Q_OBJECT

private slots:
    void messageBoxes_queuedAnswersAreRecorded();
    void messageBoxes_withoutQueue_showsRealModalBox();
    void random_scriptedAndUniformRange();
};

void TestSeams::messageBoxes_queuedAnswersAreRecorded()
{
    QWidget owner;
    MessageBoxes::clearShown();
    MessageBoxes::setNextAnswers({QMessageBox::No, QMessageBox::Yes});
    QCOMPARE(MessageBoxes::question(&owner, "Вопрос", "Продолжить?"), QMessageBox::No);
    QCOMPARE(MessageBoxes::question(&owner, "Вопрос", "Ещё?"), QMessageBox::Yes);
    QVERIFY(!MessageBoxes::hasQueuedAnswers());
    QCOMPARE(MessageBoxes::shown().size(), 2);
    const MessageBoxes::Shown &first = MessageBoxes::shown().first();
    QCOMPARE(first.owner.data(), &owner);
    QCOMPARE(first.icon, QMessageBox::Question);
    QCOMPARE(first.caption, QStringLiteral("Вопрос"));
    QCOMPARE(first.buttons, QMessageBox::Yes | QMessageBox::No);
}

void TestSeams::messageBoxes_withoutQueue_showsRealModalBox()
{
    QWidget owner;
    owner.show();
    QString seenText;
    QTimer::singleShot(0, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        QVERIFY(box);
        seenText = box->text();
        QCOMPARE(box->parentWidget(), &owner);
        box->button(QMessageBox::Ok)->click();
    });
    MessageBoxes::clearShown();
    QCOMPARE(MessageBoxes::warning(&owner, "Внимание!", "Первая строка,\n\rвторая. "),
             QMessageBox::Ok);
    // LF CR is one line break on screen; the recorded text keeps both bytes.
    QCOMPARE(seenText, QStringLiteral("Первая строка,\nвторая. "));
    QCOMPARE(MessageBoxes::shown().last().text, QStringLiteral("Первая строка,\n\rвторая. "));
}

void TestSeams::random_scriptedAndUniformRange()
{
    ProgramRandom::setScript({7, -1, 3});
    ProgramRandom::randomize(); // does not disturb the script
    QCOMPARE(ProgramRandom::random(5), 2);
    QCOMPARE(ProgramRandom::random(5), 4);
    QCOMPARE(ProgramRandom::random(800), 3);
    ProgramRandom::clearScript();

    ProgramRandom::randomize();
    QList<int> seen(5, 0);
    for (int i = 0; i < 5000; ++i) {
        const int r = ProgramRandom::random(5);
        QVERIFY(r >= 0 && r < 5);
        ++seen[r];
    }
    for (int count : seen)
        QVERIFY(count > 800); // every value comes up, roughly evenly
    QCOMPARE(ProgramRandom::random(0), 0);
}

QTEST_MAIN(TestSeams)
#include "tst_seams.moc"
