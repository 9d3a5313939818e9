#include "jpegcodec.h"

#include <QPainter>
#include <QTest>

// JPEG through libjpeg-turbo: round trip, reproducibility and hostile input.
class TestJpegCodec : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip_keepsSizeAndColours();
    void encode_isReproducible();
    void decode_rejectsGarbage_data();
    void decode_rejectsGarbage();
    void decode_rejectsHugeDimensionsBeforeAllocating();

private:
    static QImage drawing();
};

QImage TestJpegCodec::drawing()
{
    QImage image(706, 274, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(0xD3, 0x2F, 0x2F));
    p.drawEllipse(QPoint(137, 137), 100, 100);
    p.fillRect(400, 50, 200, 150, QColor(0x1F, 0x4E, 0x8C));
    return image;
}

void TestJpegCodec::roundTrip_keepsSizeAndColours()
{
    const QByteArray jpeg = JpegCodec::encode(drawing(), 85);
    QVERIFY(jpeg.startsWith("\xFF\xD8"));
    QVERIFY2(jpeg.size() < 30000, QByteArray::number(jpeg.size()));
    const std::optional<QImage> image = JpegCodec::decode(jpeg);
    QVERIFY(image.has_value());
    QCOMPARE(image->size(), QSize(706, 274));
    const QColor blue = image->pixelColor(500, 125);
    QVERIFY(qAbs(blue.blue() - 0x8C) < 12 && qAbs(blue.red() - 0x1F) < 12);
}

void TestJpegCodec::encode_isReproducible()
{
    QCOMPARE(JpegCodec::encode(drawing()), JpegCodec::encode(drawing()));
}

void TestJpegCodec::decode_rejectsGarbage_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray good = JpegCodec::encode(drawing());
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("text") << QByteArray("not a picture at all");
    QTest::newRow("only the start marker") << QByteArray("\xFF\xD8\xFF", 3);
    QTest::newRow("header only") << good.left(20);
}

void TestJpegCodec::decode_rejectsGarbage()
{
    QFETCH(QByteArray, bytes);
    QVERIFY(!JpegCodec::decode(bytes).has_value());
}

void TestJpegCodec::decode_rejectsHugeDimensionsBeforeAllocating()
{
    QByteArray jpeg = JpegCodec::encode(drawing());
    const qsizetype sof = jpeg.indexOf("\xFF\xC0");
    QVERIFY(sof > 0);
    // SOF0: marker, length (2), precision (1), height (2), width (2).
    jpeg[sof + 5] = char(0xFF);
    jpeg[sof + 6] = char(0xFF);
    jpeg[sof + 7] = char(0xFF);
    jpeg[sof + 8] = char(0xFF);
    QVERIFY(!JpegCodec::decode(jpeg).has_value());
}

QTEST_GUILESS_MAIN(TestJpegCodec)
#include "tst_jpegcodec.moc"
