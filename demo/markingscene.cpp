#include "markingscene.h"

#include "picturestyle.h"
#include "vehiclepainter.h"

#include <QPainter>
#include <QPainterPath>

using namespace PictureStyle;

namespace {

constexpr double RoadTop = 50;
constexpr double RoadBottom = 224;
const QColor MarkingYellow{0xF2, 0xB7, 0x00};
// Where a speed-change lane starts to narrow and where it has merged.
constexpr double TaperStart = 400;
constexpr double TaperEnd = 640;

void dashes(QPainter &p, double y, double from, double to, double dash, double gap,
            double thickness, const QColor &color)
{
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    for (double x = from; x < to; x += dash + gap)
        p.drawRect(QRectF(x, y - thickness / 2, std::min(dash, to - x), thickness));
}

void solid(QPainter &p, double y, double from, double to, double thickness, const QColor &color)
{
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawRect(QRectF(from, y - thickness / 2, to - from, thickness));
}

// A lane arrow pointing right, with branches for the letters in `kind`.
void laneArrow(QPainter &p, QPointF base, const QString &kind)
{
    p.save();
    p.translate(base);
    p.setPen(Qt::NoPen);
    p.setBrush(White);
    QPainterPath path;
    path.addRect(QRectF(0, -3.5, 60, 7));
    if (kind.contains(u'S')) {
        path.addRect(QRectF(59, -3.5, 31, 7));
        path.addPolygon(QPolygonF{QPointF(88, -11), QPointF(110, 0), QPointF(88, 11)});
    }
    if (kind.contains(u'L')) {
        path.addRect(QRectF(52, -13, 7, 13));
        path.addPolygon(QPolygonF{QPointF(46, -12), QPointF(55.5, -22), QPointF(65, -12)});
    }
    if (kind.contains(u'R')) {
        path.addRect(QRectF(52, 0, 7, 13));
        path.addPolygon(QPolygonF{QPointF(46, 12), QPointF(55.5, 22), QPointF(65, 12)});
    }
    p.drawPath(path.simplified());
    p.restore();
}

} // namespace

MarkingLayout MarkingScene::road(MarkingLayout::Centre centre, int lanesEachWay)
{
    MarkingLayout layout;
    layout.centre = centre;
    layout.oncomingLanes = lanesEachWay;
    layout.ourLanes = lanesEachWay;
    layout.carLane = lanesEachWay - 1;
    return layout;
}

QImage MarkingScene::picture(const MarkingLayout &layout)
{
    QImage image = canvas(Grass);
    QPainter painter(&image);
    paint(painter, layout);
    return image;
}

void MarkingScene::paint(QPainter &p, const MarkingLayout &layout)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(QRectF(0, 0, Width, Height), Grass);
    p.fillRect(QRectF(0, RoadTop - 14, Width, 14), Pavement);
    p.fillRect(QRectF(0, RoadBottom, Width, 14), Pavement);
    p.fillRect(QRectF(0, RoadTop, Width, RoadBottom - RoadTop), RoadGrey);

    const int lanes = layout.oncomingLanes + layout.ourLanes;
    const double lane = (RoadBottom - RoadTop) / lanes;
    const double centre = RoadTop + layout.oncomingLanes * lane;
    auto ourLaneY = [&](int fromRight) { return RoadBottom - lane * (fromRight + 0.5); };

    // Lane lines within each direction.
    for (int i = 1; i < layout.oncomingLanes; ++i)
        dashes(p, RoadTop + i * lane, 0, Width, 30, 60, 4, White);
    for (int i = 1; i < layout.ourLanes; ++i) {
        if (layout.wideBroken && i == 1) {
            // A speed-change lane: full width, then tapering into the main
            // lane; 1.8 runs along it in short wide strokes three times
            // shorter than the gaps.
            const double line = RoadBottom - lane;
            p.setPen(Qt::NoPen);
            p.setBrush(Grass);
            p.drawPolygon(QPolygonF{QPointF(TaperStart, RoadBottom + 0.5), QPointF(TaperEnd, line),
                                    QPointF(Width + 1, line),
                                    QPointF(Width + 1, RoadBottom + 0.5)});
            p.setBrush(Pavement);
            p.drawPolygon(QPolygonF{QPointF(TaperStart, RoadBottom), QPointF(TaperEnd, line - 2),
                                    QPointF(Width + 1, line - 2), QPointF(Width + 1, line + 6),
                                    QPointF(TaperEnd + 20, line + 6),
                                    QPointF(TaperStart, RoadBottom + 14)});
            dashes(p, line, 0, TaperEnd - 20, 14, 42, 11, White);
        } else
            dashes(p, RoadBottom - i * lane, 0, Width, 30, 60, 4, White);
    }

    using Centre = MarkingLayout::Centre;
    switch (layout.centre) {
    case Centre::Solid:
        solid(p, centre, 0, Width, 4, White);
        break;
    case Centre::DoubleSolid:
        solid(p, centre - 5, 0, Width, 4, White);
        solid(p, centre + 5, 0, Width, 4, White);
        break;
    case Centre::Broken:
        dashes(p, centre, 0, Width, 30, 60, 4, White);
        break;
    case Centre::Approach:
        dashes(p, centre, 0, Width, 60, 20, 4, White);
        break;
    case Centre::SolidOnOurSide:
        dashes(p, centre - 5, 0, Width, 30, 60, 4, White);
        solid(p, centre + 5, 0, Width, 4, White);
        break;
    case Centre::BrokenOnOurSide:
        solid(p, centre - 5, 0, Width, 4, White);
        dashes(p, centre + 5, 0, Width, 30, 60, 4, White);
        break;
    case Centre::ReversibleDouble:
        dashes(p, centre - 5, 0, Width, 30, 60, 4, White);
        dashes(p, centre + 5, 0, Width, 30, 60, 4, White);
        break;
    }

    if (layout.edgeLine) {
        solid(p, RoadTop + 5, 0, Width, 3, White);
        solid(p, RoadBottom - 5, 0, Width, 3, White);
    }
    if (layout.yellowSolidEdge)
        solid(p, RoadBottom - 3, 0, Width, 5, MarkingYellow);
    if (layout.yellowBrokenEdge)
        dashes(p, RoadBottom - 3, 0, Width, 20, 20, 5, MarkingYellow);
    if (layout.zigzag) {
        solid(p, RoadBottom - 3, 0, 300, 5, MarkingYellow);
        solid(p, RoadBottom - 3, 580, Width, 5, MarkingYellow);
        QPolygonF zig;
        for (int i = 0; i <= 10; ++i)
            zig << QPointF(300 + i * 28, i % 2 == 0 ? RoadBottom - 3 : RoadBottom - 26);
        p.setPen(QPen(MarkingYellow, 4, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(zig);
        p.setPen(Qt::NoPen);
    }
    const double crossX = 470;
    if (layout.zebra) {
        p.setBrush(White);
        for (double y = RoadTop + 6; y < RoadBottom - 10; y += 22)
            p.drawRect(QRectF(crossX, y, 56, 12));
    }
    if (layout.stopLine)
        p.fillRect(QRectF(crossX - 30, centre, 8, RoadBottom - centre), White);
    if (layout.giveWayLine) {
        p.setBrush(White);
        for (double y = centre + 4; y + 14 <= RoadBottom; y += 20)
            p.drawPolygon(QPolygonF{QPointF(crossX - 10, y), QPointF(crossX - 10, y + 14),
                                    QPointF(crossX - 34, y + 7)});
    }
    if (layout.giveWayTriangle) {
        const double y = ourLaneY(0);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(White, 5, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        p.drawPolygon(QPolygonF{QPointF(crossX - 180, y - 24), QPointF(crossX - 180, y + 24),
                                QPointF(crossX - 250, y)});
        p.setPen(Qt::NoPen);
    }
    for (int i = 0; i < layout.arrows.size(); ++i)
        laneArrow(p, QPointF(330, ourLaneY(i)), layout.arrows.at(i));

    if (layout.carInOncomingLane) {
        VehiclePainter::paint(p, VehiclePainter::Type::Car,
                              QPointF(300, RoadTop + lane * (layout.oncomingLanes - 0.5)), 0,
                              SignalRed);
        VehiclePainter::paint(p, VehiclePainter::Type::Truck, QPointF(180, ourLaneY(0)), 0,
                              DeepBlue);
    } else {
        VehiclePainter::paint(p, VehiclePainter::Type::Car, QPointF(170, ourLaneY(layout.carLane)),
                              0, SignalRed);
    }
    p.restore();
}
