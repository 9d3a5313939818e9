#include "roadfigures.h"

#include "picturestyle.h"

#include <QPainterPath>

using namespace PictureStyle;
using Kind = StreetScene::Kind;

namespace {

const QColor Glass(0x2B, 0x3A, 0x4A);
const QColor Tyre(0x22, 0x24, 0x27);

void indicator(QPainter &p, QPointF c, double r)
{
    p.setBrush(Amber);
    p.drawEllipse(c, r, r);
    p.setPen(QPen(Amber, std::max(1.0, r / 3)));
    for (int k = 0; k < 8; ++k) {
        const double a = k * M_PI / 4;
        p.drawLine(c + QPointF(std::cos(a), std::sin(a)) * r * 1.4,
                   c + QPointF(std::cos(a), std::sin(a)) * r * 2.1);
    }
    p.setPen(Qt::NoPen);
}

// A lorry: a cargo box on a chassis, and seen from the front a lower cab
// with its windscreen and grille before the box, so that it is not taken
// for a bus or a van.
void truck(QPainter &p, const StreetScene::Item &it, const QRectF &body, double px)
{
    const double w = body.width();
    const QColor box = QColor(0xDD, 0xDF, 0xE2);
    if (it.oncoming) {
        p.setBrush(box);
        p.drawRect(QRectF(body.left() + w * 0.02, body.top(), w * 0.96, body.height() * 0.5));
        const QRectF cab(body.left() + w * 0.06, body.top() + body.height() * 0.3, w * 0.88,
                         body.height() * 0.62);
        p.setBrush(it.color);
        p.drawRoundedRect(cab, 0.12 * px, 0.12 * px);
        p.setBrush(Glass);
        p.drawRect(QRectF(cab.left() + cab.width() * 0.08, cab.top() + cab.height() * 0.1,
                          cab.width() * 0.84, cab.height() * 0.36));
        p.setBrush(QColor(0x3A, 0x3C, 0x40));
        for (int k = 0; k < 3; ++k)
            p.drawRect(QRectF(cab.left() + cab.width() * 0.3,
                              cab.top() + cab.height() * (0.6 + 0.09 * k), cab.width() * 0.4,
                              cab.height() * 0.04));
        p.drawRect(QRectF(body.left(), body.bottom() - 0.35 * px, w, 0.15 * px));
        return;
    }
    p.setBrush(box);
    p.drawRect(QRectF(body.left(), body.top(), w, body.height() * 0.8));
    p.setBrush(box.darker(112));
    p.drawRect(QRectF(body.left() + w * 0.05, body.top() + body.height() * 0.05, w * 0.43,
                      body.height() * 0.7));
    p.drawRect(QRectF(body.left() + w * 0.52, body.top() + body.height() * 0.05, w * 0.43,
                      body.height() * 0.7));
    // The chassis under the box, in the lorry's colour.
    p.setBrush(it.color);
    p.drawRect(QRectF(body.left() + w * 0.1, body.top() + body.height() * 0.8, w * 0.8,
                      body.height() * 0.08));
    p.setBrush(QColor(0x3A, 0x3C, 0x40));
    p.drawRect(QRectF(body.left(), body.bottom() - 0.35 * px, w, 0.15 * px));
    p.setBrush(QColor(0xF2, 0xF2, 0xF2));
    p.drawRect(
        QRectF(body.center().x() - 0.26 * px, body.bottom() - 0.55 * px, 0.52 * px, 0.13 * px));
}

} // namespace

namespace RoadFigures {

void vehicle(QPainter &p, const StreetScene::Item &it, QPointF foot, double px)
{
    double width = 1.8, height = 1.45;
    switch (it.kind) {
    case Kind::Truck:
        width = 2.5, height = 3.3;
        break;
    case Kind::Bus:
        width = 2.5, height = 3.0;
        break;
    case Kind::Tram:
        width = 2.6, height = 3.4;
        break;
    case Kind::Motorcycle:
        width = 0.8, height = 1.55;
        break;
    default:
        break;
    }
    const double w = width * px, h = height * px;
    const QRectF body(foot.x() - w / 2, foot.y() - h, w, h);
    p.setPen(Qt::NoPen);
    // Shadow under the vehicle.
    p.setBrush(QColor(0, 0, 0, 50));
    p.drawEllipse(QPointF(foot.x(), foot.y()), w * 0.6, std::max(1.5, 0.12 * px));
    if (it.kind == Kind::Motorcycle) {
        p.setBrush(Tyre);
        p.drawRoundedRect(QRectF(foot.x() - 0.09 * px, foot.y() - 0.6 * px, 0.18 * px, 0.6 * px), 2,
                          2);
        p.setBrush(it.color);
        p.drawRoundedRect(QRectF(foot.x() - 0.35 * px, foot.y() - 0.95 * px, 0.7 * px, 0.4 * px), 3,
                          3);
        // The rider with a helmet.
        p.drawRoundedRect(QRectF(foot.x() - 0.25 * px, foot.y() - 1.45 * px, 0.5 * px, 0.6 * px), 4,
                          4);
        p.setBrush(QColor(0x33, 0x33, 0x33));
        p.drawEllipse(QPointF(foot.x(), foot.y() - 1.6 * px), 0.16 * px, 0.17 * px);
        p.setBrush(it.oncoming ? QColor(0xFF, 0xF6, 0xC8) : SignalRed);
        p.drawEllipse(QPointF(foot.x(), foot.y() - 0.75 * px), 0.07 * px, 0.07 * px);
        if (it.signalLeft)
            indicator(p, QPointF(foot.x() - 0.35 * px, foot.y() - 0.8 * px), 0.06 * px);
        if (it.signalRight)
            indicator(p, QPointF(foot.x() + 0.35 * px, foot.y() - 0.8 * px), 0.06 * px);
        return;
    }
    // Wheels, then the body: a car has a narrower cabin on top.
    p.setBrush(Tyre);
    p.drawRect(QRectF(body.left() + w * 0.06, foot.y() - 0.25 * px, w * 0.16, 0.25 * px));
    p.drawRect(QRectF(body.right() - w * 0.22, foot.y() - 0.25 * px, w * 0.16, 0.25 * px));
    p.setBrush(it.color);
    if (it.kind == Kind::Car) {
        const QRectF lower(body.left(), foot.y() - 0.95 * px, w, 0.75 * px);
        p.drawRoundedRect(lower, 0.12 * px, 0.12 * px);
        QPolygonF cabin{QPointF(body.left() + w * 0.08, lower.top() + 1),
                        QPointF(body.right() - w * 0.08, lower.top() + 1),
                        QPointF(body.right() - w * 0.18, body.top()),
                        QPointF(body.left() + w * 0.18, body.top())};
        p.drawPolygon(cabin);
        p.setBrush(Glass);
        p.drawPolygon(QPolygonF{QPointF(body.left() + w * 0.14, lower.top() - 0.04 * px),
                                QPointF(body.right() - w * 0.14, lower.top() - 0.04 * px),
                                QPointF(body.right() - w * 0.21, body.top() + 0.08 * px),
                                QPointF(body.left() + w * 0.21, body.top() + 0.08 * px)});
    } else if (it.kind == Kind::Truck) {
        truck(p, it, body, px);
    } else {
        p.drawRoundedRect(QRectF(body.left(), body.top(), w, h - 0.2 * px), 0.1 * px, 0.1 * px);
        p.setBrush(Glass);
        if (it.kind == Kind::Truck && !it.oncoming) {
            // The back doors of a van body.
            p.setBrush(it.color.darker(115));
            p.drawRect(QRectF(body.left() + w * 0.06, body.top() + h * 0.06, w * 0.42, h * 0.7));
            p.drawRect(QRectF(body.left() + w * 0.52, body.top() + h * 0.06, w * 0.42, h * 0.7));
        } else {
            p.drawRect(QRectF(body.left() + w * 0.08, body.top() + h * 0.1, w * 0.84, h * 0.32));
        }
        if (it.kind == Kind::Tram || it.kind == Kind::Bus) {
            p.setBrush(Amber);
            p.drawRect(QRectF(body.left() + w * 0.3, body.top() + h * 0.02, w * 0.4, h * 0.07));
        }
    }
    // Lights: white at the front, red at the back (bright when braking).
    const double ly = foot.y() - (it.kind == Kind::Car ? 0.65 : 0.55) * px;
    const double lr = std::max(1.5, 0.11 * px);
    p.setBrush(it.oncoming ? QColor(0xFF, 0xF6, 0xC8)
                           : (it.brake ? QColor(0xFF, 0x30, 0x30) : QColor(0x9E, 0x1B, 0x1B)));
    for (double side : {-1.0, 1.0})
        p.drawEllipse(QPointF(foot.x() + side * w * 0.38, ly), lr * 1.3, lr);
    // A driver's left is the viewer's left from behind, the viewer's right
    // from the front.
    const double leftSide = it.oncoming ? 1 : -1;
    if (it.signalLeft)
        indicator(p, QPointF(foot.x() + leftSide * w * 0.47, ly - lr * 2.2), lr * 1.2);
    if (it.signalRight)
        indicator(p, QPointF(foot.x() - leftSide * w * 0.47, ly - lr * 2.2), lr * 1.2);
}

void person(QPainter &p, const StreetScene::Item &it, QPointF foot, double px)
{
    const double h = 1.75 * px;
    const double lift = it.kind == Kind::Scooter   ? 0.15 * px
                        : it.kind == Kind::Cyclist ? 0.45 * px
                                                   : 0;
    const QPointF feet(foot.x(), foot.y() - lift);
    p.setPen(Qt::NoPen);
    if (it.kind == Kind::Cyclist) {
        p.setPen(QPen(Tyre, std::max(1.5, 0.06 * px)));
        p.setBrush(Qt::NoBrush);
        for (double side : {-0.55, 0.55})
            p.drawEllipse(QPointF(foot.x() + side * px, foot.y() - 0.34 * px), 0.33 * px,
                          0.33 * px);
        p.drawLine(QPointF(foot.x() - 0.55 * px, foot.y() - 0.34 * px),
                   QPointF(foot.x(), foot.y() - 0.75 * px));
        p.drawLine(QPointF(foot.x() + 0.55 * px, foot.y() - 0.34 * px),
                   QPointF(foot.x() + 0.35 * px, foot.y() - 1.0 * px));
        p.setPen(Qt::NoPen);
    } else if (it.kind == Kind::Scooter) {
        p.setBrush(Tyre);
        p.drawRect(QRectF(foot.x() - 0.45 * px, foot.y() - 0.16 * px, 0.9 * px, 0.06 * px));
        for (double side : {-0.42, 0.42})
            p.drawEllipse(QPointF(foot.x() + side * px, foot.y() - 0.08 * px), 0.09 * px,
                          0.09 * px);
        p.drawRect(QRectF(foot.x() + 0.38 * px, foot.y() - 1.15 * px, 0.05 * px, 1.0 * px));
        p.drawRect(QRectF(foot.x() + 0.28 * px, foot.y() - 1.17 * px, 0.25 * px, 0.05 * px));
    }
    const bool controller = it.kind == Kind::Controller;
    const QColor coat = controller ? QColor(0x2C, 0x3E, 0x5C) : it.color;
    // Legs, body, head.
    p.setBrush(QColor(0x3A, 0x3F, 0x4A));
    const bool walking = it.kind == Kind::Pedestrian;
    p.drawPolygon(QPolygonF{feet + QPointF(-0.18 * px, 0), feet + QPointF(-0.02 * px, -0.85 * px),
                            feet + QPointF(0.02 * px, -0.85 * px),
                            feet + QPointF(walking ? -0.05 * px : -0.08 * px, 0)});
    p.drawPolygon(QPolygonF{
        feet + QPointF(walking ? 0.2 * px : 0.1 * px, 0), feet + QPointF(0.02 * px, -0.85 * px),
        feet + QPointF(0.08 * px, -0.85 * px), feet + QPointF(walking ? 0.3 * px : 0.2 * px, 0)});
    p.setBrush(coat);
    const QRectF torso(feet.x() - 0.2 * px, feet.y() - h * 0.82, 0.4 * px, h * 0.36);
    p.drawRoundedRect(torso, 0.08 * px, 0.08 * px);
    p.setBrush(QColor(0xF1, 0xC8, 0xA5));
    p.drawEllipse(QPointF(feet.x(), feet.y() - h * 0.9), 0.12 * px, 0.13 * px);
    if (controller) {
        p.setBrush(QColor(0x2C, 0x3E, 0x5C));
        p.drawRect(QRectF(feet.x() - 0.15 * px, feet.y() - h * 1.02, 0.3 * px, 0.08 * px));
        // Arms with white sleeves: raised, stretched out or down.
        p.setPen(QPen(coat, std::max(2.0, 0.1 * px), Qt::SolidLine, Qt::RoundCap));
        const QPointF shoulderL(torso.left(), torso.top() + 0.05 * px);
        const QPointF shoulderR(torso.right(), torso.top() + 0.05 * px);
        if (it.light == u"up") {
            p.drawLine(shoulderR, shoulderR + QPointF(0.1 * px, -0.7 * px));
            p.drawLine(shoulderL, shoulderL + QPointF(-0.05 * px, 0.6 * px));
        } else if (it.light == u"side") {
            p.drawLine(shoulderR, shoulderR + QPointF(0.7 * px, 0));
            p.drawLine(shoulderL, shoulderL + QPointF(-0.7 * px, 0));
        } else {
            p.drawLine(shoulderR, shoulderR + QPointF(0.05 * px, 0.6 * px));
            p.drawLine(shoulderL, shoulderL + QPointF(-0.05 * px, 0.6 * px));
        }
        p.setPen(Qt::NoPen);
        p.setBrush(White);
        p.drawRect(QRectF(torso.left() + 0.04 * px, torso.top() + 0.3 * px, 0.32 * px, 0.05 * px));
        return;
    }
    if (it.kind != Kind::Pedestrian) {
        // Arms forward to the handlebar.
        p.setPen(QPen(coat, std::max(1.5, 0.08 * px), Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(torso.right() - 0.05 * px, torso.top() + 0.1 * px),
                   QPointF(feet.x() + 0.45 * px, torso.top() + 0.25 * px));
        p.setPen(Qt::NoPen);
    }
}

void light(QPainter &p, const StreetScene::Item &it, QPointF foot, double px)
{
    const double s = px * it.scale;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x9A, 0x9E, 0xA3));
    const double postHeight = it.kind == Kind::RailLight ? 1.8 : 2.1;
    p.drawRect(QRectF(foot.x() - std::max(1.5, 0.05 * px), foot.y() - postHeight * px - 0.3 * s,
                      std::max(3.0, 0.1 * px), postHeight * px + 0.3 * s));
    const double top = foot.y() - postHeight * px;
    const double r = 0.13 * s;
    const QColor off = LightOff;
    if (it.kind == Kind::RailLight) {
        // Two red lamps side by side on a black shield; no bar under them.
        p.setBrush(Black);
        p.drawRoundedRect(QRectF(foot.x() - 0.45 * s, top - 0.42 * s, 0.9 * s, 0.42 * s), 0.08 * s,
                          0.08 * s);
        const bool lit = it.light == u"red";
        p.setBrush(lit ? SignalRed : off);
        p.drawEllipse(QPointF(foot.x() - 0.22 * s, top - 0.21 * s), r, r);
        p.setBrush(off);
        p.drawEllipse(QPointF(foot.x() + 0.22 * s, top - 0.21 * s), r, r);
        return;
    }
    p.setBrush(Black);
    const QRectF box(foot.x() - 0.2 * s, top - 0.95 * s, 0.4 * s, 0.95 * s);
    p.drawRoundedRect(box, 0.06 * s, 0.06 * s);
    const bool flashing = it.light == u"flashing";
    const QColor red = it.light == u"red" || it.light == u"redyellow" ? SignalRed : off;
    const QColor yellow =
        it.light == u"yellow" || it.light == u"redyellow" || flashing ? Amber : off;
    const QColor green = it.light == u"green" ? QColor(0x2E, 0xC0, 0x4F) : off;
    p.setBrush(red);
    p.drawEllipse(QPointF(foot.x(), top - 0.78 * s), r, r);
    p.setBrush(yellow);
    p.drawEllipse(QPointF(foot.x(), top - 0.48 * s), r, r);
    p.setBrush(green);
    p.drawEllipse(QPointF(foot.x(), top - 0.18 * s), r, r);
    if (flashing) {
        p.setPen(QPen(Amber, std::max(1.0, 0.03 * s)));
        for (int k = 0; k < 8; ++k) {
            const double a = k * M_PI / 4;
            const QPointF c(foot.x(), top - 0.48 * s);
            p.drawLine(c + QPointF(std::cos(a), std::sin(a)) * r * 1.3,
                       c + QPointF(std::cos(a), std::sin(a)) * r * 1.9);
        }
        p.setPen(Qt::NoPen);
    }
}

QPolygonF laneArrow(const QString &shape, const std::function<QPointF(double, double)> &at)
{
    // Drawn about twice the true width so that it reads in the picture:
    // a shaft 0.3 m wide, heads 1 m wide, 5 m long in all.
    QPolygonF outline;
    // Stretched along the road as real arrows are, so that they keep their
    // shape when seen at a low angle.
    // Arrows off the driver's line of sight lean towards the vanishing point
    // like the lane lines; their heads are drawn wider than true so that a
    // turn still reads after the low angle flattens them.
    const auto add = [&](double u, double z) { outline << at(u * 1.8, z * 2.8); };
    const bool left = shape.contains(QStringLiteral("left"));
    const bool right = shape.contains(QStringLiteral("right"));
    const bool straight = shape.contains(QStringLiteral("straight"));
    add(-0.15, 0);
    add(0.15, 0);
    if (right) {
        add(0.15, 2.0);
        add(0.75, 2.2);
        add(0.75, 1.7);
        add(1.35, 2.6);
        add(0.75, 3.5);
        add(0.75, 3.0);
        add(0.15, 2.8);
    }
    if (straight || (!left && !right)) {
        add(0.15, 3.6);
        add(0.5, 3.6);
        add(0, 5.2);
        add(-0.5, 3.6);
        add(-0.15, 3.6);
    } else {
        add(0.15, 3.2);
        add(-0.15, 3.2);
    }
    if (left) {
        add(-0.15, 2.8);
        add(-0.75, 3.0);
        add(-0.75, 3.5);
        add(-1.35, 2.6);
        add(-0.75, 1.7);
        add(-0.75, 2.2);
        add(-0.15, 2.0);
    }
    return outline;
}

} // namespace RoadFigures
