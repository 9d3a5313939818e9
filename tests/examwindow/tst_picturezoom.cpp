#include "examtestbench.h"
#include "picturebox.h"
#include "picturezoomwindow.h"

#include <QApplication>
#include <QTest>

// The question's picture seen large, and back to answering.
class TestPictureZoom : public QObject
{
    Q_OBJECT
private slots:
    void fittedSize_data();
    void fittedSize();
    void openAndClose_eachWay_focusBackOnTheList();
    void noPicture_nothingOpens();
};

void TestPictureZoom::fittedSize_data()
{
    QTest::addColumn<QSize>("image");
    QTest::addColumn<QSize>("available");
    QTest::addColumn<QSize>("fitted");
    QTest::newRow("wide picture, full-HD screen") << QSize(706, 274) << QSize(1920, 1040)
                                                  << QSize(1728, 670);
    QTest::newRow("wide picture, small screen") << QSize(706, 274) << QSize(1024, 728)
                                                << QSize(922, 357);
    QTest::newRow("tall picture") << QSize(300, 600) << QSize(1920, 1040) << QSize(468, 936);
    QTest::newRow("no screen size") << QSize(706, 274) << QSize() << QSize(706, 274);
}

void TestPictureZoom::fittedSize()
{
    QFETCH(QSize, image);
    QFETCH(QSize, available);
    QFETCH(QSize, fitted);
    QCOMPARE(PictureZoomWindow::fittedSize(image, available), fitted);
}

void TestPictureZoom::openAndClose_eachWay_focusBackOnTheList()
{
    ExamTestBench bench;
    bench.start(2, 1); // the exam: its countdown must keep running
    bench.selectPosition(3); // a question with a picture
    auto *picture = bench.form.findChild<PictureBox *>(QStringLiteral("Image1"));
    QVERIFY(picture->toolTip().contains(QStringLiteral("«+»")));
    auto *countdown = bench.form.findChild<QTimer *>(QStringLiteral("Timer1"));
    auto *seconds = bench.form.findChild<QTimer *>(QStringLiteral("SpTimer"));
    countdown->start();
    seconds->start();

    const auto zoom = [&] { return bench.form.findChild<PictureZoomWindow *>(); };
    const auto closedBackOnList = [&] {
        QTRY_VERIFY(!zoom()->isVisible());
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget *>(bench.list()));
    };

    // A click on the picture opens it, large and the same picture.
    QTest::mouseClick(picture, Qt::LeftButton);
    QVERIFY(zoom() && zoom()->isVisible());
    QCOMPARE(zoom()->image(), picture->image());
    QVERIFY(zoom()->width() > picture->width() * 2);
    QVERIFY(countdown->isActive() && seconds->isActive());
    // Esc closes it.
    QTest::keyClick(zoom(), Qt::Key_Escape);
    closedBackOnList();

    // "+" on the question list opens it; a click on it closes it.
    QTest::keyClick(bench.list(), Qt::Key_Plus);
    QVERIFY(zoom()->isVisible());
    QTest::mouseClick(zoom(), Qt::LeftButton);
    closedBackOnList();

    // The window's close box.
    QTest::keyClick(bench.list(), Qt::Key_Equal);
    QVERIFY(zoom()->isVisible());
    zoom()->close();
    closedBackOnList();

    // The digit keys answer again at once, and the clocks never stopped.
    QVERIFY(countdown->isActive() && seconds->isActive());
    bench.answerCorrect(true);
    QCOMPARE(bench.attempt().correctCount(), 1);
}

void TestPictureZoom::noPicture_nothingOpens()
{
    ExamTestBench bench;
    bench.start(0, 1);
    bench.selectPosition(5); // no picture
    QTest::keyClick(bench.list(), Qt::Key_Plus);
    const auto *zoom = bench.form.findChild<PictureZoomWindow *>();
    QVERIFY(!zoom || !zoom->isVisible());
}

QTEST_MAIN(TestPictureZoom)
#include "tst_picturezoom.moc"
