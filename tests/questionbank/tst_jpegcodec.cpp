#include "hostilejpeg.h"
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

    // Pictures that would stall the program are refused before decoding.
    void decode_tooManyScans_refusedWithReason_data();
    void decode_tooManyScans_refusedWithReason();
    // A decode that ends in a warning is reported, whatever it shows.
    void decodeChecked_damagedPicture_reportsProblem_data();
    void decodeChecked_damagedPicture_reportsProblem();
    void decodeChecked_soundPicture_reportsNothing();
    // Four-component pictures.
    void decode_adobeCmyk_givesItsColours();
    void cmykToRgb_plainAndInverted_data();
    void cmykToRgb_plainAndInverted();

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

void TestJpegCodec::decode_tooManyScans_refusedWithReason_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("refinements");
    // 694 scans: far beyond any picture a program writes.
    QTest::newRow("694 scans, small") << 256 << 256 << 10;
    // 64 scans are allowed, but not over 4 million pixels.
    QTest::newRow("64 scans, large") << 2048 << 2560 << 0;
}

void TestJpegCodec::decode_tooManyScans_refusedWithReason()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, refinements);
    const QByteArray jpeg = HostileJpeg::manyScans(width, height, refinements);
    QVERIFY(!jpeg.isEmpty());
    const JpegCodec::Decoded decoded = JpegCodec::decodeChecked(jpeg);
    QVERIFY(!decoded.image);
    QVERIFY2(decoded.problem.contains(QStringLiteral("слишком сложен")),
             qPrintable(decoded.problem));
}

void TestJpegCodec::decodeChecked_damagedPicture_reportsProblem_data()
{
    QTest::addColumn<QByteArray>("jpeg");
    const QByteArray sound = JpegCodec::encode(drawing());
    QTest::newRow("cut in half") << sound.left(sound.size() / 2);
    QByteArray scrambled = sound;
    for (qsizetype i = scrambled.size() / 3; i < scrambled.size() / 2; i += 7)
        scrambled[i] = char(scrambled[i] ^ 0x5A);
    QTest::newRow("scrambled bytes") << scrambled;
    QTest::newRow("4096 x 4096 without data") << HostileJpeg::headerOnly(4096, 4096);
    QTest::newRow("65500 x 256 without data") << HostileJpeg::headerOnly(65500, 256);
}

void TestJpegCodec::decodeChecked_damagedPicture_reportsProblem()
{
    QFETCH(QByteArray, jpeg);
    const JpegCodec::Decoded decoded = JpegCodec::decodeChecked(jpeg);
    QVERIFY(!decoded.problem.isEmpty());
}

void TestJpegCodec::decodeChecked_soundPicture_reportsNothing()
{
    const JpegCodec::Decoded decoded = JpegCodec::decodeChecked(JpegCodec::encode(drawing()));
    QVERIFY(decoded.image);
    QCOMPARE(decoded.problem, QString());
}

void TestJpegCodec::decode_adobeCmyk_givesItsColours()
{
    const QImage picture = drawing();
    const QByteArray jpeg = HostileJpeg::adobeCmyk(picture);
    QVERIFY(!jpeg.isEmpty());
    QVERIFY(jpeg.contains("Adobe"));
    const std::optional<QImage> image = JpegCodec::decode(jpeg);
    QVERIFY(image);
    QCOMPARE(image->size(), picture.size());
    for (const QPoint &at : {QPoint(137, 137), QPoint(500, 125), QPoint(650, 250)}) {
        const QColor want = picture.pixelColor(at);
        const QColor got = image->pixelColor(at);
        QVERIFY2(qAbs(want.red() - got.red()) < 12 && qAbs(want.green() - got.green()) < 12 &&
                     qAbs(want.blue() - got.blue()) < 12,
                 qPrintable(QStringLiteral("%1 instead of %2").arg(got.name(), want.name())));
    }
}

void TestJpegCodec::cmykToRgb_plainAndInverted_data()
{
    QTest::addColumn<QList<int>>("cmyk");
    QTest::addColumn<bool>("inverted");
    QTest::addColumn<QColor>("rgb");
    QTest::newRow("no ink") << QList<int>{0, 0, 0, 0} << false << QColor(255, 255, 255);
    QTest::newRow("black ink") << QList<int>{0, 0, 0, 255} << false << QColor(0, 0, 0);
    QTest::newRow("magenta and yellow: red")
        << QList<int>{0, 255, 255, 0} << false << QColor(255, 0, 0);
    QTest::newRow("inverted no ink")
        << QList<int>{255, 255, 255, 255} << true << QColor(255, 255, 255);
    QTest::newRow("inverted red") << QList<int>{255, 0, 0, 255} << true << QColor(255, 0, 0);
    QTest::newRow("inverted half black")
        << QList<int>{255, 255, 255, 128} << true << QColor(128, 128, 128);
}

void TestJpegCodec::cmykToRgb_plainAndInverted()
{
    QFETCH(QList<int>, cmyk);
    QFETCH(bool, inverted);
    QFETCH(QColor, rgb);
    QCOMPARE(QColor(JpegCodec::cmykToRgb(cmyk[0], cmyk[1], cmyk[2], cmyk[3], inverted)), rgb);
}

QTEST_GUILESS_MAIN(TestJpegCodec)
#include "tst_jpegcodec.moc"
