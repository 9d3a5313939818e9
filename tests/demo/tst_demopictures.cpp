#include "controllerscene.h"
#include "roadsidescene.h"

#include <QImage>
#include <QTest>

// What the demo pictures must show for their questions to hold: the
// controller's baton in his right hand whichever way he stands, and a sign
// set in a town or outside one as its question says.
class TestDemoPictures : public QObject
{
    Q_OBJECT

private slots:
    void controller_batonInTheRightHand_data();
    void controller_batonInTheRightHand();
    void signSetting_followsTheQuestion_data();
    void signSetting_followsTheQuestion();
};

namespace {

using Facing = ControllerScene::Facing;
using Arms = ControllerScene::Arms;

// The baton's black stripes past the hand, along `direction` from the
// centre: nothing else there is that dark (road markings are white).
bool batonAlong(const QImage &image, QPoint centre, QPoint direction)
{
    for (int t = 76; t <= 116; ++t) {
        if (image.pixelColor(centre + direction * t).lightness() < 40)
            return true;
    }
    return false;
}

} // namespace

void TestDemoPictures::controller_batonInTheRightHand_data()
{
    QTest::addColumn<int>("facing");
    QTest::addColumn<QPoint>("rightHand"); // from the junction's centre, driver at the bottom
    // Arms out to the sides: his right hand is on the viewer's left when he
    // faces the driver, on the right from behind, up the picture when his
    // left side faces the driver.
    QTest::newRow("chest") << int(Facing::Chest) << QPoint(-1, 0);
    QTest::newRow("back") << int(Facing::Back) << QPoint(1, 0);
    QTest::newRow("left side") << int(Facing::LeftSide) << QPoint(0, -1);
    QTest::newRow("right side") << int(Facing::RightSide) << QPoint(0, 1);
}

void TestDemoPictures::controller_batonInTheRightHand()
{
    QFETCH(int, facing);
    QFETCH(QPoint, rightHand);
    const QImage image = ControllerScene::picture(Facing(facing), Arms::Sides);
    const QPoint centre(image.width() / 2, image.height() / 2);
    QVERIFY(batonAlong(image, centre, rightHand));
    QVERIFY(!batonAlong(image, centre, -rightHand));
}

void TestDemoPictures::signSetting_followsTheQuestion_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("setting");
    using S = RoadsideScene::Setting;
    QTest::newRow("outside a town")
        << "До какого места действует этот знак вне населённого пункта?" << int(S::Country);
    QTest::newRow("in a town") << "Можно ли в населённом пункте остановиться у левого края?"
                               << int(S::Town);
    QTest::newRow("neither") << "Что означает этот знак?" << int(S::Either);
}

void TestDemoPictures::signSetting_followsTheQuestion()
{
    QFETCH(QString, text);
    QFETCH(int, setting);
    QCOMPARE(int(RoadsideScene::settingOf(text)), setting);
}

QTEST_MAIN(TestDemoPictures)
#include "tst_demopictures.moc"
