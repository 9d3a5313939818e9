#include "percenttext.h"

#include <QTest>

#include <cmath>

// A chance as the learner reads it: one rounding rule, and no false
// certainty at either end.
class TestPercentText : public QObject
{
    Q_OBJECT
private slots:
    void chanceText_data();
    void chanceText();
};

void TestPercentText::chanceText_data()
{
    QTest::addColumn<double>("probability");
    QTest::addColumn<QString>("text");
    QTest::newRow("none") << 0.0 << "0 %";
    QTest::newRow("a trace") << 0.0002 << "меньше 1 %";
    QTest::newRow("just under 1 %") << 0.0099 << "меньше 1 %";
    QTest::newRow("1 %") << 0.01 << "1 %";
    QTest::newRow("half up") << 0.125 << "13 %";
    QTest::newRow("below half") << 0.1249 << "12 %";
    QTest::newRow("99 %") << 0.99 << "99 %";
    QTest::newRow("almost sure") << 0.9951 << "больше 99 %";
    QTest::newRow("sure") << 1.0 << "100 %";
    QTest::newRow("out of range low") << -0.5 << "0 %";
    QTest::newRow("out of range high") << 1.5 << "100 %";
    QTest::newRow("not a number") << std::nan("") << "0 %";
}

void TestPercentText::chanceText()
{
    QFETCH(double, probability);
    QFETCH(QString, text);
    QCOMPARE(::chanceText(probability), text);
}

QTEST_APPLESS_MAIN(TestPercentText)
#include "tst_percenttext.moc"
