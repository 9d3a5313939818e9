#include "priorityrules.h"

#include <QTest>

using PriorityRules::Move;
using PriorityRules::Mover;
using PriorityRules::Roads;

Q_DECLARE_METATYPE(PriorityRules::Roads)

// Right of way at the intersection sketches: the rules every priority
// question's answer is computed from.
class TestPriorityRules : public QObject
{
    Q_OBJECT

private slots:
    void mustYield_data();
    void mustYield();
    void mustYield_conflictsHaveExactlyOneYielder();
    void order_data();
    void order();
};

namespace {

// "S0" = from the south going straight, "L1" = from the east turning left;
// a trailing "T" makes it a tram.
Mover mover(const char *code)
{
    const Move move = code[0] == 'S' ? Move::Straight : code[0] == 'L' ? Move::Left : Move::Right;
    return Mover{code[1] - '0', move, code[2] == 'T'};
}

QList<Mover> movers(const QStringList &codes)
{
    QList<Mover> result;
    for (const QString &code : codes)
        result << mover(code.toLatin1().constData());
    return result;
}

} // namespace

void TestPriorityRules::mustYield_data()
{
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<Roads>("roads");
    QTest::addColumn<bool>("yields");

    // Equal roads: the vehicle on the right goes first.
    QTest::newRow("straight vs straight from the right") << "S0"
                                                         << "S1" << Roads::Equal << true;
    QTest::newRow("straight vs straight from the left") << "S0"
                                                        << "S3" << Roads::Equal << false;
    QTest::newRow("straight vs right turn from the right: same exit")
        << "S0"
        << "R1" << Roads::Equal << true;
    QTest::newRow("right turn vs anything from the right") << "R0"
                                                           << "S1" << Roads::Equal << false;
    QTest::newRow("left turn vs right turn from the right: paths apart")
        << "L0"
        << "R1" << Roads::Equal << false;
    QTest::newRow("right turn vs straight from the left: same exit, left one yields")
        << "S3"
        << "R0" << Roads::Equal << true;
    // Oncoming: a left turn gives way to straight on and right turns.
    QTest::newRow("left turn vs oncoming straight") << "L0"
                                                    << "S2" << Roads::Equal << true;
    QTest::newRow("left turn vs oncoming right turn") << "L0"
                                                      << "R2" << Roads::Equal << true;
    QTest::newRow("straight vs oncoming left turn") << "S0"
                                                    << "L2" << Roads::Equal << false;
    QTest::newRow("oncoming straights do not meet") << "S0"
                                                    << "S2" << Roads::Equal << false;
    // A main road outranks the right-hand rule.
    QTest::newRow("main road: vehicle from the right on the minor road")
        << "S0"
        << "S1" << Roads::MainNorthSouth << false;
    QTest::newRow("minor road: vehicle from the left on the main road")
        << "S0"
        << "S3" << Roads::MainEastWest << true;
    QTest::newRow("main road: left turn still yields to oncoming")
        << "L0"
        << "S2" << Roads::MainNorthSouth << true;
    QTest::newRow("minor road: both minor, left turn yields to oncoming")
        << "L0"
        << "R2" << Roads::MainEastWest << true;
    // Trams.
    QTest::newRow("tram from the left on equal roads goes first") << "S0"
                                                                  << "S3T" << Roads::Equal << true;
    QTest::newRow("tram does not give way to a car on its right") << "S3T"
                                                                  << "S0" << Roads::Equal << false;
    QTest::newRow("tram on the minor road gives way to the main road")
        << "S1T"
        << "S0" << Roads::MainNorthSouth << true;
    QTest::newRow("left turn vs oncoming tram") << "L1"
                                                << "S3T" << Roads::Equal << true;
    QTest::newRow("right turn into the tram's way yields to it") << "R0"
                                                                 << "S3T" << Roads::Equal << true;
    QTest::newRow("minor road: right turn meets nobody on the main road's far lane")
        << "R0"
        << "S1" << Roads::MainEastWest << false;
}

void TestPriorityRules::mustYield()
{
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(Roads, roads);
    QFETCH(bool, yields);
    QCOMPARE(PriorityRules::mustYield(mover(a.toLatin1()), mover(b.toLatin1()), roads), yields);
}

void TestPriorityRules::mustYield_conflictsHaveExactlyOneYielder()
{
    // Every pair of manoeuvres that meet must have exactly one driver who
    // gives way, on every kind of intersection; pairs that do not meet have
    // none.
    const QList<Move> moves = {Move::Straight, Move::Left, Move::Right};
    for (Roads roads : {Roads::Equal, Roads::MainNorthSouth, Roads::MainEastWest}) {
        for (int from = 1; from < 4; ++from) {
            for (Move m0 : moves) {
                for (Move m1 : moves) {
                    const Mover a{0, m0};
                    const Mover b{from, m1};
                    if (PriorityRules::unresolved(a, b))
                        continue;
                    const int yielders = int(PriorityRules::mustYield(a, b, roads)) +
                                         int(PriorityRules::mustYield(b, a, roads));
                    QCOMPARE(PriorityRules::conflicts(a, b), PriorityRules::conflicts(b, a));
                    QCOMPARE(yielders, PriorityRules::conflicts(a, b) ? 1 : 0);
                }
            }
        }
    }
}

void TestPriorityRules::order_data()
{
    QTest::addColumn<QStringList>("codes");
    QTest::addColumn<Roads>("roads");
    QTest::addColumn<QString>("expected"); // groups separated by "|"

    QTest::newRow("right-hand rule chain")
        << QStringList{"S0", "S1", "S2"} << Roads::Equal << "2|1|0";
    QTest::newRow("left turner waits for oncoming")
        << QStringList{"L0", "S2"} << Roads::Equal << "1|0";
    QTest::newRow("main road first, then the minor road")
        << QStringList{"S0", "S1", "L3"} << Roads::MainEastWest << "1|2|0";
    QTest::newRow("right turns from opposite sides go together")
        << QStringList{"R0", "R2"} << Roads::Equal << "0 1";
    QTest::newRow("circle of waiting: no order")
        << QStringList{"S0", "L1", "S3"} << Roads::Equal << "";
    QTest::newRow("two oncoming left turns: left open")
        << QStringList{"L0", "L2"} << Roads::Equal << "";
}

void TestPriorityRules::order()
{
    QFETCH(QStringList, codes);
    QFETCH(Roads, roads);
    QFETCH(QString, expected);
    QStringList groups;
    for (const QList<int> &step : PriorityRules::order(movers(codes), roads)) {
        QStringList members;
        for (int i : step)
            members << QString::number(i);
        groups << members.join(u' ');
    }
    QCOMPARE(groups.join(u'|'), expected);
}

QTEST_GUILESS_MAIN(TestPriorityRules)
#include "tst_priorityrules.moc"
