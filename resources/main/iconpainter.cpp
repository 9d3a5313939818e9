#include "iconpainter.h"

#include "artpalette.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace IconPainter {

using namespace ArtPalette;

namespace {

QImage blank(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

void begin(QPainter &p)
{
    p.setRenderHint(QPainter::Antialiasing);
}

void tick(QPainter &p, const QColor &colour, double width)
{
    p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    QPainterPath path;
    path.moveTo(4.2, 8.3);
    path.lineTo(6.9, 11.0);
    path.lineTo(11.8, 5.2);
    p.drawPath(path);
}

void disc(QPainter &p, const QColor &colour)
{
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawEllipse(QRectF(1, 1, 14, 14));
}

} // namespace

QImage statusIcon(int status, qreal scale)
{
    QImage image = blank(qRound(16 * scale));
    image.setDevicePixelRatio(scale);
    QPainter p(&image);
    begin(p);
    switch (status) {
    case 1: // exam passed
        disc(p, Green);
        tick(p, White, 2.0);
        break;
    case 2: // failed
        disc(p, SignalRed);
        p.setPen(QPen(White, 2.0, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(5.2, 5.2), QPointF(10.8, 10.8));
        p.drawLine(QPointF(10.8, 5.2), QPointF(5.2, 10.8));
        break;
    case 3: // training passed
        disc(p, Amber);
        tick(p, White, 2.0);
        break;
    case 4: // learning completed: an open book
        disc(p, DeepBlue);
        p.setPen(QPen(White, 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawLine(QPointF(8, 5.5), QPointF(8, 11));
        p.drawPolyline(QList<QPointF>{{8, 5.5}, {4.5, 4.8}, {4.5, 10.3}, {8, 11}});
        p.drawPolyline(QList<QPointF>{{8, 5.5}, {11.5, 4.8}, {11.5, 10.3}, {8, 11}});
        break;
    default: // not passed yet
        p.setPen(QPen(RoadGrey, 1.6));
        p.setBrush(White);
        p.drawEllipse(QRectF(2, 2, 12, 12));
        break;
    }
    return image;
}

QStringList glyphNames()
{
    return {QStringLiteral("exam"),          QStringLiteral("training"),
            QStringLiteral("preparation"),   QStringLiteral("learning"),
            QStringLiteral("help"),          QStringLiteral("statistics"),
            QStringLiteral("settings"),      QStringLiteral("menu_time"),
            QStringLiteral("menu_options"),  QStringLiteral("menu_reset"),
            QStringLiteral("menu_database"), QStringLiteral("menu_about")};
}

namespace {

void stopwatch(QPainter &p)
{
    p.setPen(QPen(DeepBlue, 1.6));
    p.setBrush(White);
    p.drawEllipse(QRectF(2, 3, 12, 12));
    p.setPen(QPen(DeepBlue, 2.0, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(8, 0.8), QPointF(8, 2.4));
    p.setPen(QPen(SignalRed, 1.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(8, 9), QPointF(10.8, 6.2));
}

void target(QPainter &p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(SignalRed);
    p.drawEllipse(QRectF(1, 1, 14, 14));
    p.setBrush(White);
    p.drawEllipse(QRectF(3.5, 3.5, 9, 9));
    p.setBrush(SignalRed);
    p.drawEllipse(QRectF(6, 6, 4, 4));
}

void shuffleArrows(QPainter &p)
{
    p.setPen(QPen(Amber, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    QPainterPath a;
    a.moveTo(1.5, 4.5);
    a.cubicTo(7, 4.5, 8, 11.5, 13, 11.5);
    QPainterPath b;
    b.moveTo(1.5, 11.5);
    b.cubicTo(7, 11.5, 8, 4.5, 13, 4.5);
    p.drawPath(a);
    p.setPen(QPen(DeepBlue, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(b);
    p.setPen(Qt::NoPen);
    p.setBrush(Amber);
    p.drawPolygon(QPolygonF{{15.5, 11.5}, {12, 8.5}, {12, 14.5}});
    p.setBrush(DeepBlue);
    p.drawPolygon(QPolygonF{{15.5, 4.5}, {12, 1.5}, {12, 7.5}});
}

void book(QPainter &p)
{
    p.setPen(QPen(DeepBlue, 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(White);
    p.drawPolygon(QPolygonF{{8, 4}, {1.5, 2.5}, {1.5, 12.5}, {8, 14}});
    p.drawPolygon(QPolygonF{{8, 4}, {14.5, 2.5}, {14.5, 12.5}, {8, 14}});
    p.setPen(QPen(Green, 1.0));
    for (double y : {6.0, 8.5, 11.0}) {
        p.drawLine(QPointF(3.2, y - 1.2), QPointF(6.5, y - 0.4));
        p.drawLine(QPointF(9.5, y - 0.4), QPointF(12.8, y - 1.2));
    }
}

void letterDisc(QPainter &p, const QColor &colour, const QString &letter)
{
    disc(p, colour);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(11);
    font.setBold(true);
    p.setFont(font);
    p.setPen(White);
    p.drawText(QRectF(1, 1, 14, 14), Qt::AlignCenter, letter);
}

void bars(QPainter &p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(Green);
    p.drawRect(QRectF(2, 8, 3, 6));
    p.setBrush(DeepBlue);
    p.drawRect(QRectF(6.5, 3, 3, 11));
    p.setBrush(SignalRed);
    p.drawRect(QRectF(11, 6, 3, 8));
    p.setPen(QPen(RoadGrey, 1.0));
    p.drawLine(QPointF(1, 14.5), QPointF(15, 14.5));
}

void gear(QPainter &p)
{
    QPainterPath teeth;
    const QPointF c(8, 8);
    for (int i = 0; i < 8; ++i) {
        QTransform t;
        t.translate(c.x(), c.y());
        t.rotate(i * 45.0);
        teeth.addPolygon(t.map(QPolygonF(QRectF(-1.6, -7.5, 3.2, 4))));
    }
    teeth.addEllipse(c, 5.2, 5.2);
    p.setPen(Qt::NoPen);
    p.setBrush(RoadGrey);
    p.drawPath(teeth.simplified());
    p.setBrush(White);
    p.drawEllipse(c, 2.2, 2.2);
}

void clock(QPainter &p)
{
    p.setPen(QPen(DeepBlue, 1.6));
    p.setBrush(White);
    p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
    p.setPen(QPen(DeepBlue, 1.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(8, 8), QPointF(8, 4));
    p.setPen(QPen(SignalRed, 1.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(8, 8), QPointF(11, 9.5));
}

void checkbox(QPainter &p)
{
    p.setPen(QPen(RoadGrey, 1.2));
    p.setBrush(White);
    p.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 2, 2);
    tick(p, Green, 2.2);
}

void resetArrow(QPainter &p)
{
    p.setPen(QPen(SignalRed, 2.0, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(2.5, 2.5, 11, 11), 100 * 16, 290 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(SignalRed);
    p.drawPolygon(QPolygonF{{6.2, 0.4}, {9.6, 3.0}, {6.0, 5.6}});
}

void cylinder(QPainter &p)
{
    p.setPen(QPen(DeepBlue, 1.0));
    p.setBrush(DeepBlue.lighter(160));
    QPainterPath body;
    body.moveTo(2.5, 3.5);
    body.lineTo(2.5, 12.5);
    body.arcTo(QRectF(2.5, 10.5, 11, 4), 180, 180);
    body.lineTo(13.5, 3.5);
    body.closeSubpath();
    p.drawPath(body);
    p.setBrush(White);
    p.drawEllipse(QRectF(2.5, 1.5, 11, 4));
    p.setPen(QPen(DeepBlue, 0.9));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(2.5, 5.5, 11, 4), 180 * 16, 180 * 16);
    p.drawArc(QRectF(2.5, 8.5, 11, 4), 180 * 16, 180 * 16);
}

} // namespace

QImage glyph(const QString &name, qreal scale)
{
    QImage image = blank(qRound(16 * scale));
    image.setDevicePixelRatio(scale);
    QPainter p(&image);
    begin(p);
    if (name == QLatin1String("exam"))
        stopwatch(p);
    else if (name == QLatin1String("training"))
        target(p);
    else if (name == QLatin1String("preparation"))
        shuffleArrows(p);
    else if (name == QLatin1String("learning"))
        book(p);
    else if (name == QLatin1String("help"))
        letterDisc(p, DeepBlue, QStringLiteral("?"));
    else if (name == QLatin1String("statistics"))
        bars(p);
    else if (name == QLatin1String("settings"))
        gear(p);
    else if (name == QLatin1String("menu_time"))
        clock(p);
    else if (name == QLatin1String("menu_options"))
        checkbox(p);
    else if (name == QLatin1String("menu_reset"))
        resetArrow(p);
    else if (name == QLatin1String("menu_database"))
        cylinder(p);
    else if (name == QLatin1String("menu_about"))
        letterDisc(p, DeepBlue, QStringLiteral("i"));
    return image;
}

QImage programIcon(int size)
{
    QImage image = blank(size);
    QPainter p(&image);
    begin(p);
    p.scale(size / 64.0, size / 64.0);
    // A blue rounded square with a road running to the horizon and a round
    // speed-limit sign beside it.
    p.setPen(Qt::NoPen);
    p.setBrush(DeepBlue);
    p.drawRoundedRect(QRectF(2, 2, 60, 60), 12, 12);
    p.setBrush(Green);
    p.drawRect(QRectF(2, 38, 60, 10));
    QPainterPath road;
    road.moveTo(28, 34);
    road.lineTo(36, 34);
    road.lineTo(54, 62);
    road.lineTo(10, 62);
    road.closeSubpath();
    QPainterPath clip;
    clip.addRoundedRect(QRectF(2, 2, 60, 60), 12, 12);
    p.setClipPath(clip);
    p.setBrush(RoadGrey);
    p.drawPath(road);
    p.setPen(QPen(White, 2.0));
    p.drawLine(QPointF(32, 37), QPointF(32, 42));
    p.drawLine(QPointF(32, 46), QPointF(32, 53));
    p.drawLine(QPointF(32, 57), QPointF(32, 62));
    p.setClipping(false);
    p.setPen(Qt::NoPen);
    p.setBrush(SignalRed);
    p.drawEllipse(QPointF(42, 18), 13, 13);
    p.setBrush(White);
    p.drawEllipse(QPointF(42, 18), 9.5, 9.5);
    p.setPen(QPen(DeepBlue, 3.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    QPainterPath check;
    check.moveTo(37, 18.5);
    check.lineTo(40.5, 22);
    check.lineTo(47, 14);
    p.drawPath(check);
    p.setPen(QPen(White, 2.0));
    p.drawLine(QPointF(14, 26), QPointF(14, 34));
    p.setPen(Qt::NoPen);
    p.setBrush(Amber);
    p.drawPolygon(QPolygonF{{14, 12}, {21, 25}, {7, 25}});
    return image;
}

} // namespace IconPainter
