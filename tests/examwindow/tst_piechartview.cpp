#include "piechartview.h"

#include <QTest>

// The exam window's statistics pie as the learner sees it.
class TestPieChartView : public QObject
{
    Q_OBJECT
private slots:
    void centre_data();
    void centre();
};

void TestPieChartView::centre_data()
{
    QTest::addColumn<int>("correct");
    QTest::addColumn<int>("wrong");
    QTest::addColumn<QColor>("colour");
    // A question never answered: a grey disc under the yellow counter, not
    // white paper.
    QTest::newRow("no answers yet") << 0 << 0 << PieChartView::emptyColour();
    QTest::newRow("only right answers") << 4 << 0 << QColor(0, 0x80, 0);
    QTest::newRow("only wrong answers") << 0 << 2 << QColor(0xFF, 0, 0);
}

void TestPieChartView::centre()
{
    QFETCH(int, correct);
    QFETCH(int, wrong);
    QFETCH(QColor, colour);
    PieChartView view;
    view.resize(57, 57);
    view.setCounts(3, 3); // an earlier question's slices are replaced
    view.setCounts(correct, wrong);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    const QImage image = view.grab().toImage();
    // A little off the centre, clear of the slices' common edge.
    const QColor seen = image.pixelColor(image.width() / 2 + 4, image.height() / 2 + 4);
    QCOMPARE(seen.rgb(), colour.rgb());
}

QTEST_MAIN(TestPieChartView)
#include "tst_piechartview.moc"
