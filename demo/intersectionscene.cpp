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
constexpr double Half = 46; // half the width of a road
constexpr double Lane = 23; // lane centre from the road's middle

// Everything is laid out for the southern approach (driving up the
// screen) and turned for the others.
QTransform turnFor(int approach)
{
    QTransform transform;
    transform.translate(CentreX, CentreY);
    transform.rotate(-90.0 * approach);
    return transform;
}

// Far enough along an arm to leave the picture in every direction.
constexpr double Far = 420;

void paintRoads(QPainter &p, int missingArm)
{
    p.fillRect(QRectF(0, 0, Width, Height), Grass);
    p.setPen(Qt::NoPen);
    auto inArm = [&](int arm, const QRectF &rect, const QColor &color) {
        p.save();
        p.setTransform(turnFor(arm), true);
        p.fillRect(rect, color);
        p.restore();
    };
    for (int arm = 0; arm < 4; ++arm) {
        if (arm != missingArm)
            inArm(arm, QRectF(-Half - 10, Half, 2 * Half + 20, Far), Pavement);
    }
    p.fillRect(QRectF(CentreX - Half, CentreY - Half, 2 * Half, 2 * Half), RoadGrey);
    for (int arm = 0; arm < 4; ++arm) {
        if (arm == missingArm)
            inArm(arm, QRectF(-Half - 10, Half, 2 * Half + 20, 10), Pavement);
        else
            inArm(arm, QRectF(-Half, Half - 1, 2 * Half, Far), RoadGrey);
    }
    // Rounded kerbs where two arms meet.
    p.setBrush(RoadGrey);
    for (int k = 0; k < 4; ++k) {
        if (k == missingArm || (k + 1) % 4 == missingArm)
            continue;
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
    for (int arm = 0; arm < 4; ++arm) {
        if (arm == missingArm)
            continue;
        for (double y = Half + 12; y < Far; y += 36)
            inArm(arm, QRectF(-1.5, y, 3, 20), White);
    }
}

// The path of one vehicle through the junction. `reach` sets how far the
// arrow runs into its exit arm: each vehicle gets its own, so that two
// arrows into one exit lane end in two separate heads.
QPainterPath route(Move move, double frontGap, double reach)
{
    QPainterPath path;
    path.moveTo(Lane, Half + frontGap);
    path.lineTo(Lane, Half);
    switch (move) {
    case Move::Straight:
        path.lineTo(Lane, -Half - reach);
        break;
    case Move::Left:
        path.quadTo(Lane, -Lane, -Half, -Lane);
        path.lineTo(-Half - reach, -Lane);
        break;
    case Move::Right:
        path.quadTo(Lane, Lane, Half, Lane);
        path.lineTo(Half + reach, Lane);
        break;
    }
    return path;
}

// How far the arrow of the i-th vehicle runs into its exit arm.
double reachOf(int index)
{
    return 12 + 22 * index;
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
                                  PriorityRules::Roads roads, int missingArm)
{
    QImage image = canvas(Grass);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    paintRoads(p, missingArm);

    if (roads != PriorityRules::Roads::Equal) {
        for (int k = 0; k < 4; ++k) {
            if (k == missingArm)
                continue;
            const QPointF at = turnFor(k).map(QPointF(Half + 26, Half + 30));
            SignPainter::paint(p,
                               PriorityRules::onMainRoad(k, roads) ? QStringLiteral("2.1")
                                                                   : QStringLiteral("2.4"),
                               at, 34);
        }
    }
    // Tram tracks run along the east-west road, one pair in each lane.
    const bool tracks = std::any_of(vehicles.cbegin(), vehicles.cend(),
                                    [](const IntersectionVehicle &v) { return v.mover.tram; });
    if (tracks) {
        p.setPen(QPen(QColor(0x3B, 0x3F, 0x45), 2.5));
        for (double lane : {-Lane, Lane}) {
            for (double rail : {-7.0, 7.0})
                p.drawLine(QPointF(0, CentreY + lane + rail),
                           QPointF(Width, CentreY + lane + rail));
        }
        p.setPen(Qt::NoPen);
    }
    // Arrows first, each in its vehicle's colour, then the vehicles over
    // their own arrow tails.
    for (int i = 0; i < vehicles.size(); ++i) {
        const IntersectionVehicle &vehicle = vehicles.at(i);
        p.save();
        p.setTransform(turnFor(vehicle.mover.approach), true);
        paintRoute(p, route(vehicle.mover.move, 6, reachOf(i)), vehicle.color);
        p.restore();
    }
    for (const IntersectionVehicle &vehicle : vehicles) {
        const QTransform turn = turnFor(vehicle.mover.approach);
        const double length = VehiclePainter::length(vehicle.type);
        const QPointF centre = turn.map(QPointF(Lane, Half + 8 + length / 2));
        VehiclePainter::paint(p, vehicle.type, centre, -90.0 - 90.0 * vehicle.mover.approach,
                              vehicle.color);
    }
    return image;
}

QList<QPointF> IntersectionScene::arrowTips(const QList<IntersectionVehicle> &vehicles)
{
    QList<QPointF> tips;
    for (int i = 0; i < vehicles.size(); ++i) {
        const IntersectionVehicle &vehicle = vehicles.at(i);
        tips << turnFor(vehicle.mover.approach)
                    .map(route(vehicle.mover.move, 6, reachOf(i)).currentPosition());
    }
    return tips;
}
