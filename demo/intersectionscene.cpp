#include "intersectionscene.h"

#include "picturestyle.h"
#include "signpainter.h"

#include <QPainter>
#include <QPainterPath>
#include <QTransform>

using namespace PictureStyle;
using PriorityRules::Move;

namespace {

constexpr double CentreX = Width / 2.0;
constexpr double CentreY = Height / 2.0;
constexpr double Half = 46;  // half the width of a road
constexpr double Lane = 23;  // lane centre from the road's middle

// Everything is laid out for the southern approach (driving up the
// screen) and turned for the others.
QTransform turnFor(int approach)
{
    QTransform transform;
    transform.translate(CentreX, CentreY);
    transform.rotate(-90.0 * approach);
    return transform;
}

void paintRoads(QPainter &p)
{
    p.fillRect(QRectF(0, 0, Width, Height), Grass);
    p.setPen(Qt::NoPen);
    p.setBrush(Pavement);
    p.drawRect(QRectF(0, CentreY - Half - 10, Width, 2 * Half + 20));
    p.drawRect(QRectF(CentreX - Half - 10, 0, 2 * Half + 20, Height));
    p.setBrush(RoadGrey);
    p.drawRect(QRectF(0, CentreY - Half, Width, 2 * Half));
    p.drawRect(QRectF(CentreX - Half, 0, 2 * Half, Height));
    // Rounded kerbs at the corners.
    for (int k = 0; k < 4; ++k) {
        p.save();
        p.setTransform(turnFor(k), true);
        QPainterPath corner;
        corner.moveTo(Half, Half);
        corner.lineTo(Half + 16, Half);
        corner.quadTo(Half, Half, Half, Half + 16);
        corner.closeSubpath();
        p.drawPath(corner);
        p.restore();
    }
    // Broken centre lines on the arms, none inside the intersection.
    p.setBrush(White);
    for (double x = 0; x < CentreX - Half - 10; x += 36) {
        p.drawRect(QRectF(x, CentreY - 1.5, 20, 3));
        p.drawRect(QRectF(Width - x - 20, CentreY - 1.5, 20, 3));
    }
    for (double y = 0; y < CentreY - Half - 10; y += 36) {
        p.drawRect(QRectF(CentreX - 1.5, y, 3, 20));
        p.drawRect(QRectF(CentreX - 1.5, Height - y - 20, 3, 20));
    }
}

QPainterPath route(Move move, double frontGap)
{
    QPainterPath path;
    path.moveTo(Lane, Half + frontGap);
    path.lineTo(Lane, Half);
    switch (move) {
    case Move::Straight:
        path.lineTo(Lane, -Half - 22);
        break;
    case Move::Left:
        path.quadTo(Lane, -Lane, -Half, -Lane);
        path.lineTo(-Half - 22, -Lane);
        break;
    case Move::Right:
        path.quadTo(Lane, Lane, Half, Lane);
        path.lineTo(Half + 22, Lane);
        break;
    }
    return path;
}

void paintRoute(QPainter &p, const QPainterPath &path, const QColor &color)
{
    const QPointF end = path.currentPosition();
    const QPointF before = path.pointAtPercent(0.97);
    QPointF d = end - before;
    d /= std::hypot(d.x(), d.y());
    const QPointF n(-d.y(), d.x());
    const QPolygonF head{end + d * 12, end + n * 8, end - n * 8};
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0x20, 0x22, 0x26), 7, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
    p.drawPath(path);
    p.setPen(QPen(QColor(0x20, 0x22, 0x26), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(0x20, 0x22, 0x26));
    p.drawPolygon(head);
    p.setPen(QPen(color, 3.5, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawPolygon(head);
}

} // namespace

QImage IntersectionScene::picture(const QList<IntersectionVehicle> &vehicles,
                                  PriorityRules::Roads roads)
{
    QImage image = canvas(Grass);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    paintRoads(p);

    if (roads != PriorityRules::Roads::Equal) {
        for (int k = 0; k < 4; ++k) {
            const QPointF at = turnFor(k).map(QPointF(Half + 26, Half + 30));
            SignPainter::paint(p, PriorityRules::onMainRoad(k, roads) ? QStringLiteral("2.1")
                                                                       : QStringLiteral("2.4"),
                               at, 34);
        }
    }
    for (const IntersectionVehicle &vehicle : vehicles) {
        const QTransform turn = turnFor(vehicle.mover.approach);
        const double length = VehiclePainter::length(vehicle.type);
        p.save();
        p.setTransform(turn, true);
        paintRoute(p, route(vehicle.mover.move, 6), White);
        p.restore();
        const QPointF centre = turn.map(QPointF(Lane, Half + 8 + length / 2));
        VehiclePainter::paint(p, vehicle.type, centre, -90.0 - 90.0 * vehicle.mover.approach,
                              vehicle.color);
    }
    return image;
}
