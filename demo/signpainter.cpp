#include "signpainter.h"

#include "picturestyle.h"

#include <QFontMetricsF>
#include <QHash>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QPolygonF>
#include <QtMath>

#include <functional>

using namespace PictureStyle;

namespace {

// All drawing below is in sign units: the plate is 100 units high.
using Draw = std::function<void(QPainter &)>;

const QColor SignYellow{0xF6, 0xC3, 0x1C};

void fillPath(QPainter &p, const QPainterPath &path, const QColor &color)
{
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawPath(path);
}

void disc(QPainter &p, QPointF center, double radius, const QColor &color)
{
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawEllipse(center, radius, radius);
}

void stroke(QPainter &p, const QPainterPath &path, double width, const QColor &color,
            Qt::PenCapStyle cap = Qt::FlatCap)
{
    p.setPen(QPen(color, width, Qt::SolidLine, cap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
}

void line(QPainter &p, QPointF a, QPointF b, double width, const QColor &color,
          Qt::PenCapStyle cap = Qt::RoundCap)
{
    p.setPen(QPen(color, width, Qt::SolidLine, cap, Qt::RoundJoin));
    p.drawLine(a, b);
}

// A filled arrow head whose tip is at `tip`, pointing along `direction`.
void arrowHead(QPainter &p, QPointF tip, QPointF direction, double length, double width,
               const QColor &color)
{
    const double norm = std::hypot(direction.x(), direction.y());
    const QPointF d = direction / norm;
    const QPointF n(-d.y(), d.x());
    const QPointF base = tip - d * length;
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawPolygon(QPolygonF{tip, base + n * (width / 2), base - n * (width / 2)});
}

// A shaft ending where its head begins, then the head.
void arrow(QPainter &p, const QPainterPath &shaft, QPointF direction, double shaftWidth,
           double headLength, double headWidth, const QColor &color)
{
    stroke(p, shaft, shaftWidth, color);
    const QPointF end = shaft.currentPosition();
    const double norm = std::hypot(direction.x(), direction.y());
    arrowHead(p, end + direction / norm * headLength, direction, headLength + 0.5, headWidth,
              color);
}

QPainterPath pathThrough(std::initializer_list<QPointF> points)
{
    QPainterPath path;
    auto it = points.begin();
    path.moveTo(*it);
    for (++it; it != points.end(); ++it)
        path.lineTo(*it);
    return path;
}

// ---- plates ----

QPolygonF triangleUp()
{
    return QPolygonF{QPointF(50, 7), QPointF(95, 88), QPointF(5, 88)};
}

QPolygonF shrink(const QPolygonF &polygon, double factor)
{
    QPointF centre;
    for (const QPointF &point : polygon)
        centre += point;
    centre /= polygon.size();
    QPolygonF result;
    for (const QPointF &point : polygon)
        result << centre + (point - centre) * factor;
    return result;
}

void roundedPolygon(QPainter &p, const QPolygonF &polygon, const QColor &color, double rounding)
{
    p.setPen(QPen(color, rounding, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(color);
    p.drawPolygon(polygon);
}

void warningPlate(QPainter &p)
{
    roundedPolygon(p, triangleUp(), SignalRed, 8);
    roundedPolygon(p, shrink(triangleUp(), 0.66), White, 2);
}

void prohibitoryPlate(QPainter &p, const QColor &field = White)
{
    disc(p, {50, 50}, 48, SignalRed);
    disc(p, {50, 50}, 37, field);
}

void mandatoryPlate(QPainter &p)
{
    disc(p, {50, 50}, 48.5, White);
    disc(p, {50, 50}, 46, DeepBlue);
}

void endPlate(QPainter &p)
{
    disc(p, {50, 50}, 48.5, Black);
    disc(p, {50, 50}, 47, White);
}

// Straight stripes cut to `area`: each stroke's outline is intersected with
// it and filled, instead of a clip, so that painters that do not clip (the
// SVG generator of the reference's pictures) draw them the same.
void stripesWithin(QPainter &p, const QPainterPath &area, const QList<QLineF> &stripes,
                   double width, const QColor &color)
{
    QPainterPathStroker stroker;
    stroker.setWidth(width);
    stroker.setCapStyle(Qt::FlatCap);
    QPainterPath outlines;
    for (const QLineF &stripe : stripes) {
        QPainterPath path(stripe.p1());
        path.lineTo(stripe.p2());
        outlines.addPath(stroker.createStroke(path));
    }
    fillPath(p, outlines.intersected(area), color);
}

// Thin black stripes from upper right to lower left: the mark of "end of".
void endStripes(QPainter &p, double clipRadius)
{
    QPainterPath area;
    area.addEllipse(QPointF(50, 50), clipRadius, clipRadius);
    QList<QLineF> stripes;
    for (int i = -2; i <= 2; ++i) {
        const QPointF shift(i * 4.2, i * 4.2);
        stripes << QLineF(QPointF(88, 12) + shift, QPointF(12, 88) + shift);
    }
    stripesWithin(p, area, stripes, 1.6, Black);
}

void rectanglePlate(QPainter &p, double width, const QColor &field, const QColor &rim)
{
    p.setPen(Qt::NoPen);
    p.setBrush(rim);
    p.drawRoundedRect(QRectF(0, 0, width, 100), 9, 9);
    p.setBrush(field);
    p.drawRoundedRect(QRectF(3.5, 3.5, width - 7, 93), 6.5, 6.5);
}

void bluePlate(QPainter &p, double width = 100)
{
    rectanglePlate(p, width, DeepBlue, White);
}

// Red line from lower left to upper right across a rectangular plate.
void endLine(QPainter &p, double width, double thickness = 7)
{
    line(p, QPointF(width * 0.1, 92), QPointF(width * 0.9, 8), thickness, SignalRed, Qt::FlatCap);
}

void prohibitSlash(QPainter &p)
{
    line(p, QPointF(24.5, 24.5), QPointF(75.5, 75.5), 8, SignalRed, Qt::FlatCap);
}

// Centred in `box` as drawText() centres it, but drawn as the glyphs'
// outlines, so that a sign's picture kept as SVG does not depend on the
// fonts of the machine that shows it.
void text(QPainter &p, const QRectF &box, const QString &value, double size, const QColor &color,
          bool bold = true)
{
    const QFont font = PictureStyle::font(size, bold);
    const QFontMetricsF metrics(font);
    QPainterPath outlines;
    outlines.addText(box.center().x() - metrics.horizontalAdvance(value) / 2,
                     box.center().y() - metrics.height() / 2 + metrics.ascent(), font, value);
    fillPath(p, outlines, color);
}

// ---- symbols ----

// A walking figure whose feet stand on `feet`; `h` is its height.
void pedestrian(QPainter &p, QPointF feet, double h, const QColor &color, bool facingRight = true)
{
    const double s = facingRight ? 1 : -1;
    const double w = h * 0.12;
    auto at = [&](double dx, double dy) { return feet + QPointF(s * dx * h, -dy * h); };
    disc(p, at(0.05, 0.9), h * 0.1, color);
    line(p, at(0.02, 0.74), at(-0.02, 0.4), w * 1.15, color);
    line(p, at(-0.02, 0.4), at(0.12, 0.2), w, color);
    line(p, at(0.12, 0.2), at(0.2, 0.02), w, color);
    line(p, at(-0.02, 0.4), at(-0.1, 0.2), w, color);
    line(p, at(-0.1, 0.2), at(-0.24, 0.04), w, color);
    line(p, at(0.02, 0.7), at(0.16, 0.52), w * 0.85, color);
    line(p, at(0.16, 0.52), at(0.22, 0.4), w * 0.85, color);
    line(p, at(0.01, 0.7), at(-0.14, 0.52), w * 0.85, color);
}

void carRear(QPainter &p, const QRectF &r, const QColor &color)
{
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    const double w = r.width();
    const double h = r.height();
    QPolygonF roof{QPointF(r.left() + w * 0.2, r.top() + h * 0.45),
                   QPointF(r.left() + w * 0.28, r.top()), QPointF(r.right() - w * 0.28, r.top()),
                   QPointF(r.right() - w * 0.2, r.top() + h * 0.45)};
    p.drawPolygon(roof);
    p.drawRoundedRect(QRectF(r.left(), r.top() + h * 0.4, w, h * 0.45), w * 0.12, w * 0.12);
    p.drawRect(QRectF(r.left() + w * 0.06, r.top() + h * 0.8, w * 0.2, h * 0.2));
    p.drawRect(QRectF(r.right() - w * 0.26, r.top() + h * 0.8, w * 0.2, h * 0.2));
    p.setBrush(White);
    p.drawPolygon(QPolygonF{QPointF(r.left() + w * 0.28, r.top() + h * 0.38),
                            QPointF(r.left() + w * 0.32, r.top() + h * 0.1),
                            QPointF(r.right() - w * 0.32, r.top() + h * 0.1),
                            QPointF(r.right() - w * 0.28, r.top() + h * 0.38)});
}

// Side views face right; `r` is the outline's box.
void carSide(QPainter &p, const QRectF &r, const QColor &color, const QColor &windows)
{
    const double w = r.width();
    const double h = r.height();
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawRoundedRect(QRectF(r.left(), r.top() + h * 0.38, w, h * 0.42), h * 0.12, h * 0.12);
    p.drawPolygon(QPolygonF{
        QPointF(r.left() + w * 0.18, r.top() + h * 0.4), QPointF(r.left() + w * 0.3, r.top()),
        QPointF(r.left() + w * 0.66, r.top()), QPointF(r.left() + w * 0.8, r.top() + h * 0.4)});
    p.setBrush(windows);
    p.drawPolygon(QPolygonF{QPointF(r.left() + w * 0.27, r.top() + h * 0.36),
                            QPointF(r.left() + w * 0.34, r.top() + h * 0.1),
                            QPointF(r.left() + w * 0.63, r.top() + h * 0.1),
                            QPointF(r.left() + w * 0.72, r.top() + h * 0.36)});
    p.setBrush(color);
    p.drawRect(QRectF(r.left() + w * 0.47, r.top() + h * 0.05, w * 0.04, h * 0.33));
    p.setBrush(windows);
    for (double x : {0.22, 0.78}) {
        disc(p, QPointF(r.left() + w * x, r.top() + h * 0.8), h * 0.2, windows);
        disc(p, QPointF(r.left() + w * x, r.top() + h * 0.8), h * 0.14, color);
    }
}

void truckSide(QPainter &p, const QRectF &r, const QColor &color, const QColor &gap)
{
    const double w = r.width();
    const double h = r.height();
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawRect(QRectF(r.left(), r.top(), w * 0.66, h * 0.72));
    p.drawRoundedRect(QRectF(r.left() + w * 0.7, r.top() + h * 0.2, w * 0.3, h * 0.52), 2, 2);
    p.setBrush(gap);
    p.drawRect(QRectF(r.left() + w * 0.8, r.top() + h * 0.28, w * 0.14, h * 0.18));
    for (double x : {0.14, 0.5, 0.84}) {
        disc(p, QPointF(r.left() + w * x, r.top() + h * 0.8), h * 0.2, gap);
        disc(p, QPointF(r.left() + w * x, r.top() + h * 0.8), h * 0.15, color);
    }
}

void busSide(QPainter &p, const QRectF &r, const QColor &color, const QColor &gap)
{
    const double w = r.width();
    const double h = r.height();
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawRoundedRect(QRectF(r.left(), r.top(), w, h * 0.8), h * 0.12, h * 0.12);
    p.setBrush(gap);
    for (int i = 0; i < 4; ++i)
        p.drawRect(
            QRectF(r.left() + w * (0.06 + i * 0.18), r.top() + h * 0.14, w * 0.14, h * 0.26));
    p.drawRect(QRectF(r.left() + w * 0.8, r.top() + h * 0.14, w * 0.14, h * 0.5));
    for (double x : {0.2, 0.72}) {
        disc(p, QPointF(r.left() + w * x, r.top() + h * 0.82), h * 0.18, gap);
        disc(p, QPointF(r.left() + w * x, r.top() + h * 0.82), h * 0.13, color);
    }
}

void motorcycle(QPainter &p, const QRectF &r, const QColor &color)
{
    const double w = r.width();
    const double h = r.height();
    const double radius = h * 0.26;
    const QPointF back(r.left() + radius, r.bottom() - radius);
    const QPointF front(r.right() - radius, r.bottom() - radius);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(color, h * 0.09));
    p.drawEllipse(back, radius * 0.85, radius * 0.85);
    p.drawEllipse(front, radius * 0.85, radius * 0.85);
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawPolygon(QPolygonF{back, QPointF(r.left() + w * 0.3, r.top() + h * 0.4),
                            QPointF(r.left() + w * 0.68, r.top() + h * 0.36), front,
                            QPointF(r.left() + w * 0.55, r.bottom() - radius * 0.8)});
    line(p, QPointF(r.left() + w * 0.66, r.top() + h * 0.38), QPointF(r.right() - w * 0.2, r.top()),
         h * 0.08, color);
    disc(p, QPointF(r.left() + w * 0.42, r.top() + h * 0.1), h * 0.11, color);
    line(p, QPointF(r.left() + w * 0.42, r.top() + h * 0.18),
         QPointF(r.left() + w * 0.36, r.top() + h * 0.42), h * 0.12, color);
}

void bicycle(QPainter &p, const QRectF &r, const QColor &color)
{
    const double h = r.height();
    const double radius = h * 0.3;
    const QPointF back(r.left() + radius, r.bottom() - radius);
    const QPointF front(r.right() - radius, r.bottom() - radius);
    const QPointF crank((back.x() + front.x()) / 2 - h * 0.04, back.y());
    const QPointF seat(crank.x() - h * 0.12, r.top() + h * 0.18);
    const QPointF bar(front.x() - h * 0.1, r.top() + h * 0.12);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(color, h * 0.07));
    p.drawEllipse(back, radius, radius);
    p.drawEllipse(front, radius, radius);
    p.setPen(QPen(color, h * 0.065, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(QPolygonF{back, crank, seat, back});
    p.drawPolyline(QPolygonF{crank, QPointF(bar.x() - h * 0.02, seat.y() + h * 0.1), seat});
    p.drawLine(front, bar);
    p.drawLine(bar, bar + QPointF(-h * 0.1, 0));
    p.drawLine(seat + QPointF(-h * 0.08, 0), seat + QPointF(h * 0.06, 0));
}

void tram(QPainter &p, const QRectF &r, const QColor &color, const QColor &gap)
{
    const double w = r.width();
    const double h = r.height();
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawRoundedRect(QRectF(r.left(), r.top() + h * 0.3, w, h * 0.56), h * 0.08, h * 0.08);
    p.setBrush(gap);
    for (int i = 0; i < 3; ++i)
        p.drawRect(QRectF(r.left() + w * (0.1 + i * 0.28), r.top() + h * 0.4, w * 0.2, h * 0.2));
    p.setPen(QPen(color, h * 0.05));
    p.drawPolyline(QPolygonF{QPointF(r.left() + w * 0.35, r.top() + h * 0.3),
                             QPointF(r.left() + w * 0.55, r.top() + h * 0.08),
                             QPointF(r.left() + w * 0.4, r.top())});
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawRect(QRectF(r.left() + w * 0.08, r.bottom() - h * 0.08, w * 0.84, h * 0.08));
}

void locomotive(QPainter &p, const QRectF &r, const QColor &color, const QColor &gap)
{
    const double w = r.width();
    const double h = r.height();
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawRect(QRectF(r.left() + w * 0.22, r.top() + h * 0.32, w * 0.55, h * 0.36));
    p.drawRect(QRectF(r.left(), r.top() + h * 0.1, w * 0.3, h * 0.58));
    p.drawRect(QRectF(r.left() + w * 0.62, r.top(), w * 0.1, h * 0.34));
    p.drawPolygon(QPolygonF{QPointF(r.left() + w * 0.77, r.top() + h * 0.68),
                            QPointF(r.right(), r.top() + h * 0.86),
                            QPointF(r.left() + w * 0.77, r.top() + h * 0.86)});
    p.setBrush(gap);
    p.drawRect(QRectF(r.left() + w * 0.06, r.top() + h * 0.2, w * 0.16, h * 0.18));
    for (double x : {0.16, 0.4, 0.64}) {
        disc(p, QPointF(r.left() + w * x, r.top() + h * 0.82), h * 0.17, color);
        disc(p, QPointF(r.left() + w * x, r.top() + h * 0.82), h * 0.07, gap);
    }
}

void house(QPainter &p, const QRectF &r, const QColor &color)
{
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawPolygon(QPolygonF{QPointF(r.left(), r.top() + r.height() * 0.45),
                            QPointF(r.center().x(), r.top()),
                            QPointF(r.right(), r.top() + r.height() * 0.45),
                            QPointF(r.right() - r.width() * 0.1, r.top() + r.height() * 0.45),
                            QPointF(r.right() - r.width() * 0.1, r.bottom()),
                            QPointF(r.left() + r.width() * 0.1, r.bottom()),
                            QPointF(r.left() + r.width() * 0.1, r.top() + r.height() * 0.45)});
}

void trafficLightIcon(QPainter &p, const QRectF &r)
{
    p.setPen(Qt::NoPen);
    p.setBrush(Black);
    p.drawRoundedRect(r, r.width() * 0.3, r.width() * 0.3);
    const double step = r.height() / 3;
    const QColor colors[3] = {SignalRed, Amber, Green};
    for (int i = 0; i < 3; ++i)
        disc(p, QPointF(r.center().x(), r.top() + step * (i + 0.5)), r.width() * 0.32, colors[i]);
}

void bump(QPainter &p, const QRectF &r, const QColor &color)
{
    QPainterPath path;
    path.moveTo(r.left(), r.bottom());
    path.lineTo(r.left() + r.width() * 0.22, r.bottom());
    path.cubicTo(r.left() + r.width() * 0.3, r.top(), r.right() - r.width() * 0.3, r.top(),
                 r.right() - r.width() * 0.22, r.bottom());
    path.lineTo(r.right(), r.bottom());
    path.lineTo(r.right(), r.bottom() + r.height() * 0.2);
    path.lineTo(r.left(), r.bottom() + r.height() * 0.2);
    path.closeSubpath();
    fillPath(p, path, color);
}

void uturnArrow(QPainter &p, const QColor &color, double cx, double shaft)
{
    QPainterPath path;
    path.moveTo(cx + 14, 84);
    path.lineTo(cx + 14, 44);
    path.arcTo(QRectF(cx - 14, 30, 28, 28), 0, 180);
    path.lineTo(cx - 14, 54);
    arrow(p, path, QPointF(0, 1), shaft, 14, 24, color);
}

// ---- the table of drawings ----

QHash<QString, Draw> &drawings()
{
    static QHash<QString, Draw> table;
    if (!table.isEmpty())
        return table;

    auto warning = [](Draw symbol) {
        return [symbol](QPainter &p) {
            warningPlate(p);
            symbol(p);
        };
    };

    table[QStringLiteral("1.1")] = warning([](QPainter &p) {
        p.setPen(Qt::NoPen);
        p.setBrush(Black);
        for (double x : {31.0, 49.0, 67.0})
            p.drawRect(QRectF(x - 1, 52, 4, 24));
        p.drawRect(QRectF(27, 56, 46, 5));
        p.drawRect(QRectF(27, 66, 46, 5));
    });
    table[QStringLiteral("1.2")] =
        warning([](QPainter &p) { locomotive(p, QRectF(29, 48, 42, 30), Black, White); });
    table[QStringLiteral("1.5")] =
        warning([](QPainter &p) { tram(p, QRectF(30, 44, 40, 34), Black, White); });
    table[QStringLiteral("1.6")] = warning([](QPainter &p) {
        p.setPen(Qt::NoPen);
        p.setBrush(Black);
        p.drawRect(QRectF(46, 40, 8, 40));
        p.drawRect(QRectF(30, 56, 40, 8));
    });
    table[QStringLiteral("1.7")] = warning([](QPainter &p) {
        for (int k = 0; k < 3; ++k) {
            const double a0 = 90 + 120 * k;
            QPainterPath path;
            path.arcMoveTo(QRectF(38, 50, 24, 24), a0);
            path.arcTo(QRectF(38, 50, 24, 24), a0, 70);
            const double a1 = qDegreesToRadians(a0 + 70);
            arrow(p, path, QPointF(-std::sin(a1), -std::cos(a1)), 4, 6, 9, Black);
        }
    });
    table[QStringLiteral("1.8")] =
        warning([](QPainter &p) { trafficLightIcon(p, QRectF(43, 42, 14, 38)); });
    table[QStringLiteral("1.11.1")] = warning([](QPainter &p) {
        QPainterPath path;
        path.moveTo(42, 82);
        path.lineTo(42, 64);
        path.quadTo(42, 50, 54, 46);
        arrow(p, path, QPointF(1, -0.35), 7, 12, 18, Black);
    });
    table[QStringLiteral("1.16")] = warning([](QPainter &p) {
        bump(p, QRectF(26, 64, 24, 10), Black);
        bump(p, QRectF(50, 64, 24, 10), Black);
    });
    table[QStringLiteral("1.17")] =
        warning([](QPainter &p) { bump(p, QRectF(27, 60, 46, 14), Black); });
    table[QStringLiteral("1.20.1")] = warning([](QPainter &p) {
        stroke(p, pathThrough({{36, 80}, {36, 64}, {44, 54}, {44, 44}}), 5, Black);
        stroke(p, pathThrough({{64, 80}, {64, 64}, {56, 54}, {56, 44}}), 5, Black);
    });
    table[QStringLiteral("1.21")] = warning([](QPainter &p) {
        arrow(p, pathThrough({{42, 44}, {42, 68}}), QPointF(0, 1), 5, 10, 13, Black);
        arrow(p, pathThrough({{58, 80}, {58, 56}}), QPointF(0, -1), 5, 10, 13, Black);
    });
    table[QStringLiteral("1.22")] = warning([](QPainter &p) {
        p.setPen(Qt::NoPen);
        p.setBrush(Black);
        for (int i = 0; i < 4; ++i)
            p.drawRect(QRectF(31 + i * 10.5, 76, 6.5, 4));
        pedestrian(p, QPointF(50, 73), 32, Black);
    });
    table[QStringLiteral("1.23")] = warning([](QPainter &p) {
        pedestrian(p, QPointF(44, 79), 36, Black);
        pedestrian(p, QPointF(59, 79), 24, Black);
    });
    table[QStringLiteral("1.33")] = warning([](QPainter &p) {
        p.setPen(Qt::NoPen);
        p.setBrush(Black);
        p.drawPolygon(
            QPolygonF{QPointF(46, 40), QPointF(54, 40), QPointF(52, 68), QPointF(48, 68)});
        disc(p, {50, 75}, 4, Black);
    });
    table[QStringLiteral("2.3.1")] = warning([](QPainter &p) {
        p.setPen(Qt::NoPen);
        p.setBrush(Black);
        // The main road thick, the crossing secondary road a thin line, so
        // that the sign never reads as the cross of 1.6.
        p.drawRect(QRectF(44, 36, 12, 46));
        p.drawRect(QRectF(28, 58, 44, 3));
    });

    table[QStringLiteral("1.3.1")] = [](QPainter &p) {
        for (double angle : {45.0, -45.0}) {
            p.save();
            p.translate(50, 50);
            p.rotate(angle);
            p.setPen(Qt::NoPen);
            p.setBrush(SignalRed);
            p.drawRect(QRectF(-52, -10, 104, 20));
            p.restore();
        }
        for (double angle : {45.0, -45.0}) {
            p.save();
            p.translate(50, 50);
            p.rotate(angle);
            p.setBrush(White);
            p.drawRect(QRectF(-49, -6.5, 98, 13));
            p.restore();
        }
    };

    table[QStringLiteral("2.1")] = [](QPainter &p) {
        const QPolygonF outer{QPointF(50, 1), QPointF(99, 50), QPointF(50, 99), QPointF(1, 50)};
        roundedPolygon(p, outer, Black, 2);
        roundedPolygon(p, shrink(outer, 0.94), White, 2);
        roundedPolygon(p, shrink(outer, 0.62), SignYellow, 1);
    };
    table[QStringLiteral("2.2")] = [](QPainter &p) {
        drawings()[QStringLiteral("2.1")](p);
        QPainterPath area;
        area.addPolygon(shrink(
            QPolygonF{QPointF(50, 1), QPointF(99, 50), QPointF(50, 99), QPointF(1, 50)}, 0.94));
        area.closeSubpath();
        QList<QLineF> stripes;
        for (int i = -3; i <= 3; ++i) {
            const QPointF shift(i * 3.6, i * 3.6);
            stripes << QLineF(QPointF(80, 20) + shift, QPointF(20, 80) + shift);
        }
        stripesWithin(p, area, stripes, 1.4, Black);
    };
    table[QStringLiteral("2.4")] = [](QPainter &p) {
        const QPolygonF outer{QPointF(5, 12), QPointF(95, 12), QPointF(50, 93)};
        roundedPolygon(p, outer, SignalRed, 8);
        roundedPolygon(p, shrink(outer, 0.62), White, 2);
    };
    table[QStringLiteral("2.5")] = [](QPainter &p) {
        QPolygonF octagon;
        for (int i = 0; i < 8; ++i) {
            const double a = qDegreesToRadians(22.5 + 45 * i);
            octagon << QPointF(50 + 49 * std::cos(a), 50 + 49 * std::sin(a));
        }
        roundedPolygon(p, octagon, White, 1);
        roundedPolygon(p, shrink(octagon, 0.92), SignalRed, 1);
        text(p, QRectF(0, 30, 100, 40), QStringLiteral("STOP"), 27, White);
    };

    auto prohibitory = [](Draw symbol) {
        return [symbol](QPainter &p) {
            prohibitoryPlate(p);
            symbol(p);
        };
    };
    table[QStringLiteral("3.1")] = [](QPainter &p) {
        disc(p, {50, 50}, 48, SignalRed);
        p.setPen(Qt::NoPen);
        p.setBrush(White);
        p.drawRect(QRectF(18, 42, 64, 16));
    };
    table[QStringLiteral("3.2")] = prohibitory([](QPainter &) {});
    table[QStringLiteral("3.4")] =
        prohibitory([](QPainter &p) { truckSide(p, QRectF(24, 36, 52, 28), Black, White); });
    table[QStringLiteral("3.5")] =
        prohibitory([](QPainter &p) { motorcycle(p, QRectF(27, 34, 46, 32), Black); });
    table[QStringLiteral("3.10")] =
        prohibitory([](QPainter &p) { pedestrian(p, QPointF(50, 77), 52, Black); });
    table[QStringLiteral("3.18.1")] = prohibitory([](QPainter &p) {
        QPainterPath path;
        path.moveTo(40, 80);
        path.lineTo(40, 52);
        path.quadTo(40, 40, 52, 40);
        arrow(p, path, QPointF(1, 0), 8, 13, 20, Black);
        prohibitSlash(p);
    });
    table[QStringLiteral("3.18.2")] = prohibitory([](QPainter &p) {
        QPainterPath path;
        path.moveTo(60, 80);
        path.lineTo(60, 52);
        path.quadTo(60, 40, 48, 40);
        arrow(p, path, QPointF(-1, 0), 8, 13, 20, Black);
        prohibitSlash(p);
    });
    table[QStringLiteral("3.19")] = prohibitory([](QPainter &p) {
        uturnArrow(p, Black, 50, 7);
        prohibitSlash(p);
    });
    table[QStringLiteral("3.20")] = prohibitory([](QPainter &p) {
        carRear(p, QRectF(22, 38, 26, 24), SignalRed);
        carRear(p, QRectF(52, 38, 26, 24), Black);
    });
    table[QStringLiteral("3.21")] = [](QPainter &p) {
        endPlate(p);
        carRear(p, QRectF(22, 38, 26, 24), EndGrey);
        carRear(p, QRectF(52, 38, 26, 24), EndGrey);
        endStripes(p, 47);
    };
    table[QStringLiteral("3.24")] = prohibitory(
        [](QPainter &p) { text(p, QRectF(0, 25, 100, 50), QStringLiteral("50"), 38, Black); });
    table[QStringLiteral("3.25")] = [](QPainter &p) {
        endPlate(p);
        text(p, QRectF(0, 25, 100, 50), QStringLiteral("50"), 38, EndGrey);
        endStripes(p, 47);
    };
    table[QStringLiteral("3.27")] = [](QPainter &p) {
        prohibitoryPlate(p, DeepBlue);
        line(p, QPointF(24.5, 24.5), QPointF(75.5, 75.5), 8, SignalRed, Qt::FlatCap);
        line(p, QPointF(75.5, 24.5), QPointF(24.5, 75.5), 8, SignalRed, Qt::FlatCap);
    };
    table[QStringLiteral("3.28")] = [](QPainter &p) {
        prohibitoryPlate(p, DeepBlue);
        prohibitSlash(p);
    };
    table[QStringLiteral("3.29")] = [](QPainter &p) {
        prohibitoryPlate(p, DeepBlue);
        prohibitSlash(p);
        p.setPen(Qt::NoPen);
        p.setBrush(White);
        p.drawRect(QRectF(47, 30, 6, 20));
    };
    table[QStringLiteral("3.30")] = [](QPainter &p) {
        prohibitoryPlate(p, DeepBlue);
        prohibitSlash(p);
        p.setPen(Qt::NoPen);
        p.setBrush(White);
        p.drawRect(QRectF(41, 28, 6, 20));
        p.drawRect(QRectF(52, 28, 6, 20));
    };
    table[QStringLiteral("3.31")] = [](QPainter &p) {
        endPlate(p);
        endStripes(p, 47);
    };

    auto mandatory = [](Draw symbol) {
        return [symbol](QPainter &p) {
            mandatoryPlate(p);
            symbol(p);
        };
    };
    const double shaft = 10;
    const double headLength = 17;
    const double headWidth = 28;
    table[QStringLiteral("4.1.1")] = mandatory([=](QPainter &p) {
        arrow(p, pathThrough({{50, 84}, {50, 36}}), QPointF(0, -1), shaft, headLength + 2,
              headWidth + 2, White);
    });
    auto turn = [=](double side) {
        return mandatory([=](QPainter &p) {
            QPainterPath path;
            path.moveTo(50 - side * 8, 84);
            path.lineTo(50 - side * 8, 56);
            path.quadTo(50 - side * 8, 42, 50 + side * 6, 42);
            path.lineTo(50 + side * 12, 42);
            arrow(p, path, QPointF(side, 0), shaft, headLength, headWidth, White);
        });
    };
    table[QStringLiteral("4.1.2")] = turn(1);
    table[QStringLiteral("4.1.3")] = turn(-1);
    auto straightOrTurn = [=](double side) {
        return mandatory([=](QPainter &p) {
            const double x = 50 - side * 9;
            arrow(p, pathThrough({{x, 84}, {x, 36}}), QPointF(0, -1), shaft, headLength, headWidth,
                  White);
            QPainterPath path;
            path.moveTo(x, 70);
            path.quadTo(x, 54, x + side * 14, 54);
            path.lineTo(x + side * 18, 54);
            arrow(p, path, QPointF(side, 0), shaft, headLength - 2, headWidth - 4, White);
        });
    };
    table[QStringLiteral("4.1.4")] = straightOrTurn(1);
    table[QStringLiteral("4.1.5")] = straightOrTurn(-1);
    table[QStringLiteral("4.1.6")] = mandatory([=](QPainter &p) {
        for (double side : {-1.0, 1.0}) {
            QPainterPath path;
            path.moveTo(50, 84);
            path.lineTo(50, 62);
            path.quadTo(50, 46, 50 + side * 14, 46);
            path.lineTo(50 + side * 20, 46);
            arrow(p, path, QPointF(side, 0), shaft, headLength - 2, headWidth - 2, White);
        }
    });
    table[QStringLiteral("4.2.1")] = mandatory([=](QPainter &p) {
        arrow(p, pathThrough({{28, 28}, {60, 60}}), QPointF(1, 1), shaft, headLength, headWidth,
              White);
    });
    table[QStringLiteral("4.2.2")] = mandatory([=](QPainter &p) {
        arrow(p, pathThrough({{72, 28}, {40, 60}}), QPointF(-1, 1), shaft, headLength, headWidth,
              White);
    });
    table[QStringLiteral("4.3")] = mandatory([](QPainter &p) {
        const QRectF ring(26, 26, 48, 48);
        for (int k = 0; k < 3; ++k) {
            const double a0 = 100 + 120 * k;
            QPainterPath path;
            path.arcMoveTo(ring, a0);
            path.arcTo(ring, a0, 62);
            const double a1 = qDegreesToRadians(a0 + 62);
            arrow(p, path, QPointF(-std::sin(a1), -std::cos(a1)), 8, 13, 20, White);
        }
    });
    table[QStringLiteral("4.4.1")] =
        mandatory([](QPainter &p) { bicycle(p, QRectF(20, 32, 60, 36), White); });
    table[QStringLiteral("4.5.1")] =
        mandatory([](QPainter &p) { pedestrian(p, QPointF(50, 80), 58, White); });
    table[QStringLiteral("4.6")] = mandatory(
        [](QPainter &p) { text(p, QRectF(0, 25, 100, 50), QStringLiteral("40"), 40, White); });

    table[QStringLiteral("5.1")] = [](QPainter &p) {
        bluePlate(p);
        p.setPen(Qt::NoPen);
        p.setBrush(White);
        p.drawPolygon(
            QPolygonF{QPointF(18, 88), QPointF(44, 50), QPointF(56, 50), QPointF(82, 88)});
        p.setBrush(DeepBlue);
        p.drawPolygon(
            QPolygonF{QPointF(47.5, 88), QPointF(49.2, 52), QPointF(50.8, 52), QPointF(52.5, 88)});
        p.setBrush(White);
        p.drawRect(QRectF(12, 30, 76, 9));
        p.drawRect(QRectF(16, 39, 7, 18));
        p.drawRect(QRectF(77, 39, 7, 18));
        p.drawRect(QRectF(12, 20, 76, 3));
    };
    table[QStringLiteral("5.2")] = [](QPainter &p) {
        drawings()[QStringLiteral("5.1")](p);
        endLine(p, 100);
    };
    table[QStringLiteral("5.3")] = [](QPainter &p) {
        bluePlate(p);
        carSide(p, QRectF(16, 36, 68, 32), White, DeepBlue);
    };
    table[QStringLiteral("5.5")] = [=](QPainter &p) {
        bluePlate(p);
        arrow(p, pathThrough({{50, 86}, {50, 36}}), QPointF(0, -1), 14, 20, 36, White);
    };
    table[QStringLiteral("5.6")] = [](QPainter &p) {
        drawings()[QStringLiteral("5.5")](p);
        endLine(p, 100);
    };
    table[QStringLiteral("5.7.1")] = [](QPainter &p) {
        bluePlate(p, 160);
        arrow(p, pathThrough({{22, 50}, {112, 50}}), QPointF(1, 0), 16, 24, 44, White);
    };
    table[QStringLiteral("5.16")] = [](QPainter &p) {
        bluePlate(p);
        p.setPen(Qt::NoPen);
        p.setBrush(White);
        p.drawRect(QRectF(14, 14, 72, 72));
        busSide(p, QRectF(20, 34, 60, 32), Black, White);
    };
    auto triangleOnBlue = [](Draw symbol) {
        return [symbol](QPainter &p) {
            bluePlate(p);
            roundedPolygon(p, QPolygonF{QPointF(50, 10), QPointF(91, 86), QPointF(9, 86)}, White,
                           3);
            symbol(p);
        };
    };
    table[QStringLiteral("5.19.1")] = triangleOnBlue([](QPainter &p) {
        p.setPen(Qt::NoPen);
        p.setBrush(Black);
        for (int i = 0; i < 4; ++i)
            p.drawRect(QRectF(24 + i * 14, 79, 8, 4));
        pedestrian(p, QPointF(50, 76), 46, Black);
    });
    table[QStringLiteral("5.20")] =
        triangleOnBlue([](QPainter &p) { bump(p, QRectF(24, 62, 52, 14), Black); });
    table[QStringLiteral("5.21")] = [](QPainter &p) {
        bluePlate(p);
        house(p, QRectF(14, 18, 40, 34), White);
        pedestrian(p, QPointF(70, 54), 34, White);
        carSide(p, QRectF(22, 64, 56, 24), White, DeepBlue);
    };
    table[QStringLiteral("5.22")] = [](QPainter &p) {
        drawings()[QStringLiteral("5.21")](p);
        endLine(p, 100);
    };
    auto town = [](const QColor &field, const QColor &ink, bool end) {
        return [=](QPainter &p) {
            rectanglePlate(p, 220, ink, field);
            p.setBrush(field);
            p.drawRoundedRect(QRectF(6, 6, 208, 88), 5, 5);
            text(p, QRectF(0, 0, 220, 100), QStringLiteral("ЛЕСНОЕ"), 34, ink);
            if (end)
                endLine(p, 220, 6);
        };
    };
    table[QStringLiteral("5.23.1")] = town(White, Black, false);
    table[QStringLiteral("5.24.1")] = town(White, Black, true);
    table[QStringLiteral("5.25")] = town(DeepBlue, White, false);
    table[QStringLiteral("5.31")] = [](QPainter &p) {
        rectanglePlate(p, 80, Black, White);
        p.setBrush(White);
        p.drawRoundedRect(QRectF(3, 3, 74, 94), 6, 6);
        text(p, QRectF(0, 4, 80, 24), QStringLiteral("ЗОНА"), 16, Black);
        p.save();
        p.translate(14, 31);
        p.scale(0.52, 0.52);
        drawings()[QStringLiteral("3.24")](p);
        p.restore();
    };

    // Plates 8.x, drawn under a sign on its post: white, black rim, as wide
    // as the sign and half as high.
    auto plate = [](Draw content) {
        return [content](QPainter &p) {
            rectanglePlate(p, 200, White, Black);
            content(p);
        };
    };
    table[QStringLiteral("8.1.1")] = plate(
        [](QPainter &p) { text(p, QRectF(0, 0, 200, 100), QStringLiteral("250 м"), 52, Black); });
    table[QStringLiteral("8.2.1")] = plate([](QPainter &p) {
        // The zone's extent: a double-headed vertical arrow beside the length.
        line(p, QPointF(40, 22), QPointF(40, 78), 6, Black, Qt::FlatCap);
        arrowHead(p, QPointF(40, 12), QPointF(0, -1), 16, 22, Black);
        arrowHead(p, QPointF(40, 88), QPointF(0, 1), 16, 22, Black);
        text(p, QRectF(60, 0, 140, 100), QStringLiteral("150 м"), 48, Black);
    });
    table[QStringLiteral("8.4.1")] =
        plate([](QPainter &p) { truckSide(p, QRectF(50, 18, 100, 64), Black, White); });
    table[QStringLiteral("8.5.4")] = plate([](QPainter &p) {
        text(p, QRectF(0, 0, 200, 100), QStringLiteral("8.00–17.00"), 30, Black);
    });
    table[QStringLiteral("8.13")] = plate([](QPainter &p) {
        // The main road (thick) comes from below and turns right; the
        // secondary roads (thin) go on straight and to the left.
        line(p, QPointF(100, 50), QPointF(100, 14), 5, Black, Qt::FlatCap);
        line(p, QPointF(100, 50), QPointF(50, 50), 5, Black, Qt::FlatCap);
        stroke(p, pathThrough({QPointF(100, 88), QPointF(100, 50), QPointF(150, 50)}), 14, Black,
               Qt::FlatCap);
    });

    table[QStringLiteral("6.2")] = [](QPainter &p) {
        bluePlate(p);
        text(p, QRectF(0, 20, 100, 60), QStringLiteral("50"), 44, White);
    };
    table[QStringLiteral("6.3.1")] = [](QPainter &p) {
        bluePlate(p);
        uturnArrow(p, White, 50, 10);
    };
    table[QStringLiteral("6.4")] = [](QPainter &p) {
        bluePlate(p);
        text(p, QRectF(0, 10, 100, 80), QStringLiteral("P"), 70, White);
    };
    return table;
}

} // namespace

namespace SignPainter {

QStringList numbers()
{
    QStringList result = drawings().keys();
    std::sort(result.begin(), result.end());
    return result;
}

bool canPaint(const QString &number)
{
    return drawings().contains(number);
}

double aspect(const QString &number)
{
    if (number == QLatin1String("5.23.1") || number == QLatin1String("5.24.1") ||
        number == QLatin1String("5.25"))
        return 2.2;
    if (number == QLatin1String("5.7.1"))
        return 1.6;
    if (number == QLatin1String("5.31"))
        return 0.8;
    if (number.startsWith(QLatin1String("8.")))
        return 2.0;
    return 1.0;
}

void paint(QPainter &painter, const QString &number, const QPointF &center, double height)
{
    const auto found = drawings().constFind(number);
    if (found == drawings().constEnd())
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const double scale = height / 100.0;
    painter.translate(center.x() - aspect(number) * height / 2, center.y() - height / 2);
    painter.scale(scale, scale);
    (*found)(painter);
    painter.restore();
}

} // namespace SignPainter
