#include "picturestyle.h"
#include "questionbuilder.h"
#include "signpainter.h"
#include "signtable.h"
#include "speedrules.h"

#include <QCryptographicHash>
#include <QSet>
#include <QTest>

using SpeedRules::Road;
using SpeedRules::Vehicle;

Q_DECLARE_METATYPE(SpeedRules::Road)
Q_DECLARE_METATYPE(SpeedRules::Vehicle)

// The rule tables behind the generated questions: speed limits, the table
// of signs and their drawings, and how variants are shuffled.
class TestContentRules : public QObject
{
    Q_OBJECT

private slots:
    void speedLimit_data();
    void speedLimit();
    void signTable_everySignIsDrawnAndDistinct();
    void signTable_situationsAreWellFormed();
    void shuffled_correctNumberAlwaysPointsAtTheRightAnswer();
    void encode_busyPicture_staysWithinTheLimit();
};

void TestContentRules::speedLimit_data()
{
    QTest::addColumn<Vehicle>("vehicle");
    QTest::addColumn<Road>("road");
    QTest::addColumn<int>("limit");

    QTest::newRow("car in a settlement") << Vehicle::Car << Road::Settlement << 60;
    QTest::newRow("heavy truck in a settlement") << Vehicle::HeavyTruck << Road::Settlement << 60;
    QTest::newRow("car outside") << Vehicle::Car << Road::Outside << 90;
    QTest::newRow("car on a motorway") << Vehicle::Car << Road::Motorway << 110;
    QTest::newRow("light truck on a motorway") << Vehicle::LightTruck << Road::Motorway << 110;
    QTest::newRow("motorcycle on a motorway") << Vehicle::Motorcycle << Road::Motorway << 110;
    QTest::newRow("motorcycle outside") << Vehicle::Motorcycle << Road::Outside << 90;
    QTest::newRow("heavy truck outside") << Vehicle::HeavyTruck << Road::Outside << 70;
    QTest::newRow("heavy truck on a motorway") << Vehicle::HeavyTruck << Road::Motorway << 90;
    QTest::newRow("car with trailer outside") << Vehicle::CarWithTrailer << Road::Outside << 70;
    QTest::newRow("car with trailer on a motorway")
        << Vehicle::CarWithTrailer << Road::Motorway << 90;
    QTest::newRow("towing in a settlement") << Vehicle::TowingCar << Road::Settlement << 50;
    QTest::newRow("towing outside") << Vehicle::TowingCar << Road::Outside << 50;
    QTest::newRow("towing on a motorway is not asked") << Vehicle::TowingCar << Road::Motorway << 0;
    QTest::newRow("residential zone, any vehicle")
        << Vehicle::Motorcycle << Road::Residential << 20;
}

void TestContentRules::speedLimit()
{
    QFETCH(Vehicle, vehicle);
    QFETCH(Road, road);
    QFETCH(int, limit);
    QCOMPARE(SpeedRules::limit(vehicle, road), limit);
}

void TestContentRules::signTable_everySignIsDrawnAndDistinct()
{
    QSet<QString> numbers;
    QSet<QByteArray> drawings;
    for (const SignInfo &sign : SignTable::signs()) {
        QVERIFY2(!numbers.contains(sign.number), qPrintable(sign.number));
        numbers.insert(sign.number);
        QVERIFY2(SignPainter::canPaint(sign.number), qPrintable(sign.number));
        QVERIFY2((sign.meaning.startsWith(QStringLiteral("Знак ") + sign.number + u' ') ||
                  sign.meaning.startsWith(QStringLiteral("Табличка ") + sign.number + u' ')) &&
                     sign.meaning.endsWith(u'.'),
                 qPrintable(sign.meaning));
        QImage image(120, 120, QImage::Format_RGB32);
        image.fill(Qt::gray);
        QPainter painter(&image);
        SignPainter::paint(painter, sign.number, QPointF(60, 60), 100);
        painter.end();
        // Something was drawn in the middle, and no two signs look alike.
        QVERIFY2(image.pixel(60, 60) != QColor(Qt::gray).rgb() ||
                     image.pixel(50, 45) != QColor(Qt::gray).rgb(),
                 qPrintable(sign.number));
        const QByteArray hash = QCryptographicHash::hash(
            QByteArrayView(image.constBits(), image.sizeInBytes()), QCryptographicHash::Sha1);
        QVERIFY2(!drawings.contains(hash), qPrintable(sign.number));
        drawings.insert(hash);
    }
    // Every drawing belongs to a sign the questions know.
    for (const QString &number : SignPainter::numbers())
        QVERIFY2(numbers.contains(number), qPrintable(number));
}

void TestContentRules::signTable_situationsAreWellFormed()
{
    QSet<QString> texts;
    for (const SignSituation &situation : SignTable::situations()) {
        for (const QString &number : situation.signs)
            QVERIFY2(SignTable::find(number), qPrintable(number));
        QVERIFY(situation.correct >= 1 && situation.correct <= situation.variants.size());
        // The same wording may come back only with other signs.
        const QString key = situation.text + situation.signs.join(u' ');
        QVERIFY2(!texts.contains(key), qPrintable(situation.text));
        texts.insert(key);
    }
}

void TestContentRules::shuffled_correctNumberAlwaysPointsAtTheRightAnswer()
{
    DemoRandom random(7);
    QSet<int> positions;
    for (int i = 0; i < 200; ++i) {
        const int wrong = 1 + i % 4;
        QStringList wrongAnswers;
        for (int w = 0; w < wrong; ++w)
            wrongAnswers << QStringLiteral("Неверно %1.").arg(w);
        const DemoQuestion question =
            QuestionBuilder::shuffled(QStringLiteral("Вопрос?"), QStringLiteral("Верно."),
                                      wrongAnswers, QStringLiteral("Пояснение."), random);
        QCOMPARE(question.variants.size(), wrong + 1);
        QCOMPARE(question.variants.at(question.correct - 1), QStringLiteral("Верно."));
        positions.insert(question.correct);
    }
    QCOMPARE(positions.size(), 5);
}

void TestContentRules::encode_busyPicture_staysWithinTheLimit()
{
    // Far busier than any drawing: fine stripes of every colour.
    QImage image = PictureStyle::canvas();
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb((x * 37) % 256, (y * 53) % 256, ((x ^ y) * 11) % 256));
    }
    const QByteArray jpeg = PictureStyle::encode(image);
    QVERIFY(!jpeg.isEmpty());
    QVERIFY2(jpeg.size() < 30000, qPrintable(QString::number(jpeg.size())));
}

QTEST_MAIN(TestContentRules)
#include "tst_contentrules.moc"
