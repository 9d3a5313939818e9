#include "scaleatstartup.h"

#include <QTest>

// A scale factor from the environment is the user's choice, kept within
// what a screen can use: a factor of 100 would make every window hundreds
// of screens large and the program take gigabytes.
class TestScaleAtStartup : public QObject
{
    Q_OBJECT
private slots:
    void environmentFactor_clampedBeforeQtTakesIt_data();
    void environmentFactor_clampedBeforeQtTakesIt();
    void environmentFactor_notAPositiveNumber_data();
    void environmentFactor_notAPositiveNumber();
};

void TestScaleAtStartup::environmentFactor_clampedBeforeQtTakesIt_data()
{
    QTest::addColumn<QByteArray>("given");
    QTest::addColumn<QByteArray>("used");
    QTest::newRow("100") << QByteArray("100") << QByteArray("4");
    QTest::newRow("1000") << QByteArray("1000") << QByteArray("4");
    QTest::newRow("1e300") << QByteArray("1e300") << QByteArray("4");
    QTest::newRow("infinite") << QByteArray("inf") << QByteArray("4");
    QTest::newRow("tiny") << QByteArray("0.01") << QByteArray("0.5");
    QTest::newRow("within, kept as written") << QByteArray("1.5") << QByteArray("1.5");
    QTest::newRow("the upper end") << QByteArray("4") << QByteArray("4");
}

void TestScaleAtStartup::environmentFactor_clampedBeforeQtTakesIt()
{
    QFETCH(QByteArray, given);
    QFETCH(QByteArray, used);
    qputenv("QT_SCALE_FACTOR", given);
    char name[] = "zeltrak";
    char *argv[] = {name, nullptr};
    // With the factor set, apply() only looks at it: no application is made.
    ScaleAtStartup::apply(1, argv);
    QCOMPARE(qgetenv("QT_SCALE_FACTOR"), used);
    qunsetenv("QT_SCALE_FACTOR");
}

void TestScaleAtStartup::environmentFactor_notAPositiveNumber_data()
{
    QTest::addColumn<QByteArray>("given");
    QTest::newRow("text") << QByteArray("big");
    QTest::newRow("zero") << QByteArray("0");
    QTest::newRow("negative") << QByteArray("-2");
    QTest::newRow("not a number") << QByteArray("nan");
    QTest::newRow("empty") << QByteArray("");
}

void TestScaleAtStartup::environmentFactor_notAPositiveNumber()
{
    QFETCH(QByteArray, given);
    QVERIFY(!ScaleAtStartup::clampedEnvironmentFactor(given).has_value());
}

QTEST_APPLESS_MAIN(TestScaleAtStartup)
#include "tst_scaleatstartup.moc"
