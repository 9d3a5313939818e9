// Draws the exam window's pictures at build time: the result dialog's car,
// the answer-button glyphs, the STOP, OK and help glyphs and the three
// question-list icons. Usage: draw_exam_art <output folder>

#include "artpalette.h"

#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>
#include <functional>

namespace {

using namespace ArtPalette;

// Device pixels per logical pixel of the pictures being drawn: each is drawn
// once at 1 and once at 2 (the "@2x" files for HiDPI screens).
qreal drawingScale = 1.0;

QImage canvas(int width, int height)
{
    QImage image(QSize(width, height) * drawingScale, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(drawingScale);
    image.fill(Qt::transparent);
    return image;
}

void beginPainting(QPainter &p)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
}

QFont glyphFont(int pixelSize)
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelSize);
    font.setBold(true);
    return font;
}

// A blue disc with a white digit: the glyph of answer button n.
QImage answerGlyph(int n)
{
    QImage image = canvas(20, 20);
    QPainter p(&image);
    beginPainting(p);
    p.setPen(Qt::NoPen);
    p.setBrush(DeepBlue);
    p.drawEllipse(QRectF(0.5, 0.5, 19, 19));
    p.setPen(White);
    p.setFont(glyphFont(14));
    p.drawText(QRectF(0, 0, 20, 20), Qt::AlignCenter, QString::number(n));
    return image;
}

// A red octagon with a white bar.
QImage stopGlyph()
{
    QImage image = canvas(16, 16);
    QPainter p(&image);
    beginPainting(p);
    QPolygonF octagon;
    const double a = 4.5, b = 15.5 - 4.5;
    octagon << QPointF(a, 0.5) << QPointF(b, 0.5) << QPointF(15.5, a) << QPointF(15.5, b)
            << QPointF(b, 15.5) << QPointF(a, 15.5) << QPointF(0.5, b) << QPointF(0.5, a);
    p.setPen(Qt::NoPen);
    p.setBrush(SignalRed);
    p.drawPolygon(octagon);
    p.setBrush(White);
    p.drawRect(QRectF(3.5, 6.5, 9, 3));
    return image;
}

void drawCheck(QPainter &p, const QRectF &box, const QColor &colour, double width)
{
    QPainterPath path;
    path.moveTo(box.left() + box.width() * 0.15, box.top() + box.height() * 0.55);
    path.lineTo(box.left() + box.width() * 0.42, box.top() + box.height() * 0.8);
    path.lineTo(box.left() + box.width() * 0.88, box.top() + box.height() * 0.22);
    p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
}

QImage okGlyph()
{
    QImage image = canvas(16, 16);
    QPainter p(&image);
    beginPainting(p);
    drawCheck(p, QRectF(0, 0, 16, 16), Green, 2.6);
    return image;
}

QImage helpGlyph()
{
    QImage image = canvas(13, 13);
    QPainter p(&image);
    beginPainting(p);
    p.setPen(Qt::NoPen);
    p.setBrush(DeepBlue);
    p.drawEllipse(QRectF(0.5, 0.5, 12, 12));
    p.setPen(White);
    p.setFont(glyphFont(10));
    p.drawText(QRectF(0, 0, 13, 13.5), Qt::AlignCenter, QStringLiteral("?"));
    return image;
}

// Question-list icons: an empty ring, a red cross and a green check.
QImage itemIcon(int state)
{
    QImage image = canvas(16, 16);
    QPainter p(&image);
    beginPainting(p);
    switch (state) {
    case 0:
        p.setPen(QPen(RoadGrey, 1.5));
        p.setBrush(White);
        p.drawEllipse(QRectF(2.5, 2.5, 11, 11));
        break;
    case 1:
        p.setPen(Qt::NoPen);
        p.setBrush(SignalRed);
        p.drawEllipse(QRectF(0.5, 0.5, 15, 15));
        p.setPen(QPen(White, 2.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(5, 5), QPointF(11, 11));
        p.drawLine(QPointF(11, 5), QPointF(5, 11));
        break;
    default:
        p.setPen(Qt::NoPen);
        p.setBrush(Green);
        p.drawEllipse(QRectF(0.5, 0.5, 15, 15));
        drawCheck(p, QRectF(2, 2, 12, 12), White, 2.2);
        break;
    }
    return image;
}

// A blue passenger car seen from the front on a pale ground, 192 x 192.
QImage carPicture()
{
    QImage image(QSize(192, 192) * drawingScale, QImage::Format_RGB32);
    image.setDevicePixelRatio(drawingScale);
    image.fill(White);
    QPainter p(&image);
    beginPainting(p);

    // Road and shadow.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xE6, 0xE8, 0xEB));
    p.drawRect(QRectF(0, 138, 192, 54));
    p.setBrush(QColor(0, 0, 0, 50));
    p.drawEllipse(QRectF(20, 150, 152, 18));

    // Wheels.
    p.setBrush(QColor(0x2A, 0x2D, 0x31));
    p.drawRoundedRect(QRectF(32, 128, 26, 32), 6, 6);
    p.drawRoundedRect(QRectF(134, 128, 26, 32), 6, 6);

    // Cabin and windscreen.
    QPainterPath cabin;
    cabin.moveTo(50, 92);
    cabin.lineTo(64, 52);
    cabin.quadTo(96, 44, 128, 52);
    cabin.lineTo(142, 92);
    cabin.closeSubpath();
    p.setBrush(DeepBlue.darker(115));
    p.drawPath(cabin);
    QPainterPath glass;
    glass.moveTo(58, 90);
    glass.lineTo(69, 58);
    glass.quadTo(96, 52, 123, 58);
    glass.lineTo(134, 90);
    glass.closeSubpath();
    p.setBrush(QColor(0xBF, 0xD9, 0xF2));
    p.drawPath(glass);
    p.setBrush(QColor(255, 255, 255, 110));
    p.drawPolygon(QPolygonF{QPointF(72, 60), QPointF(88, 57), QPointF(74, 88), QPointF(62, 88)});

    // Body.
    p.setBrush(DeepBlue);
    p.drawRoundedRect(QRectF(26, 88, 140, 50), 14, 14);
    // Mirrors.
    p.drawRoundedRect(QRectF(34, 80, 16, 9), 3, 3);
    p.drawRoundedRect(QRectF(142, 80, 16, 9), 3, 3);

    // Headlights, grille, plate.
    p.setBrush(Amber.lighter(130));
    p.drawEllipse(QRectF(36, 100, 26, 16));
    p.drawEllipse(QRectF(130, 100, 26, 16));
    p.setBrush(RoadGrey);
    p.drawRoundedRect(QRectF(70, 102, 52, 14), 4, 4);
    p.setPen(QPen(QColor(0x7A, 0x80, 0x88), 1.2));
    for (int x = 78; x < 120; x += 8)
        p.drawLine(QPointF(x, 104), QPointF(x, 114));
    p.setPen(QPen(RoadGrey, 1.2));
    p.setBrush(White);
    p.drawRect(QRectF(78, 122, 36, 10));
    // Bumper.
    p.setPen(Qt::NoPen);
    p.setBrush(RoadGrey);
    p.drawRoundedRect(QRectF(30, 132, 132, 7), 3, 3);
    return image;
}

bool save(const QDir &folder, const QString &name, const QImage &image)
{
    if (image.save(folder.filePath(name), "PNG"))
        return true;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(folder.filePath(name)));
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: draw_exam_art <output folder>\n");
        return 2;
    }
    QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.mkpath(QStringLiteral(".")))
        return 1;

    bool ok = true;
    for (const qreal scale : {1.0, 2.0}) {
        drawingScale = scale;
        const QString x = scale == 1.0 ? QString() : QStringLiteral("@2x");
        ok &= save(folder, QStringLiteral("car%1.png").arg(x), carPicture());
        for (int n = 1; n <= 5; ++n)
            ok &= save(folder, QStringLiteral("answer%1%2.png").arg(n).arg(x), answerGlyph(n));
        ok &= save(folder, QStringLiteral("stop%1.png").arg(x), stopGlyph());
        ok &= save(folder, QStringLiteral("ok%1.png").arg(x), okGlyph());
        ok &= save(folder, QStringLiteral("help%1.png").arg(x), helpGlyph());
        ok &= save(folder, QStringLiteral("item-notanswered%1.png").arg(x), itemIcon(0));
        ok &= save(folder, QStringLiteral("item-wrong%1.png").arg(x), itemIcon(1));
        ok &= save(folder, QStringLiteral("item-correct%1.png").arg(x), itemIcon(2));
    }
    return ok ? 0 : 1;
}
