#include "anchorlayout.h"

#include <QTest>
#include <QWidget>

// Controls keep their anchored edges when the parent is resized.
class TestAnchorLayout : public QObject
{
    Q_OBJECT

private slots:
    void anchoredRect_data();
    void anchoredRect();
    void apply_movesRegisteredWidgets();
};

void TestAnchorLayout::anchoredRect_data()
{
    using A = AnchorLayout;
    QTest::addColumn<int>("anchors");
    QTest::addColumn<QRect>("expected");
    // Design: control at (10, 20, 100 x 30) in a 400 x 300 parent, grown to 600 x 400.
    QTest::newRow("top left stays") << int(A::Left | A::Top) << QRect(10, 20, 100, 30);
    QTest::newRow("all four stretch") << int(A::All) << QRect(10, 20, 300, 130);
    QTest::newRow("right moves") << int(A::Right | A::Top) << QRect(210, 20, 100, 30);
    QTest::newRow("bottom right moves") << int(A::Right | A::Bottom) << QRect(210, 120, 100, 30);
    QTest::newRow("left right stretch width")
        << int(A::Left | A::Right | A::Top) << QRect(10, 20, 300, 30);
    // Centre x 60 of 400 -> 90 of 600; centre y 35 of 300 -> 46.67 of 400.
    QTest::newRow("no anchors keep relative centre") << 0 << QRect(40, 32, 100, 30);
}

void TestAnchorLayout::anchoredRect()
{
    QFETCH(int, anchors);
    QFETCH(QRect, expected);
    QCOMPARE(AnchorLayout::anchoredRect(QRect(10, 20, 100, 30),
                                        AnchorLayout::Anchors::fromInt(anchors), QSize(400, 300),
                                        QSize(600, 400)),
             expected);
}

void TestAnchorLayout::apply_movesRegisteredWidgets()
{
    QWidget parent;
    auto *child = new QWidget(&parent);
    AnchorLayout layout(QSize(400, 300));
    layout.add(child, QRect(10, 20, 100, 30), AnchorLayout::All);
    QCOMPARE(child->geometry(), QRect(10, 20, 100, 30));
    layout.apply(QSize(600, 400));
    QCOMPARE(child->geometry(), QRect(10, 20, 300, 130));
    // Shrinking below the design size never gives a negative size.
    layout.apply(QSize(300, 250));
    QCOMPARE(child->geometry(), QRect(10, 20, 0, 0));
}

QTEST_MAIN(TestAnchorLayout)
#include "tst_anchorlayout.moc"
