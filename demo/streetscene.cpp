#include "streetscene.h"

#include "picturestyle.h"
#include "roadfigures.h"
#include "signpainter.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPolygonF>
#include <QTransform>

#include <algorithm>

using namespace PictureStyle;

namespace {

constexpr double Horizon = 138;
constexpr double VanishingX = 353;
constexpr double Focal = 520;
constexpr double EyeHeight = 1.2;
constexpr double Near = 3.3;
constexpr double Far = 400;
// How much a lane arrow leans towards the vanishing point, against the
// lean of the lane lines around it.
constexpr double ArrowLean = 0.15;
// How far a shop stands back from the road's edge behind its car park.
constexpr double ShopSetBack = 14;

// The driver's view: metres on the road to pixels.
class Camera
{
public:
    explicit Camera(double eyeAcross) : m_eye(eyeAcross) {}
    QPointF at(double across, double ahead, double height = 0) const
    {
        return QPointF(VanishingX + Focal * (across - m_eye) / ahead,
                       Horizon + Focal * (EyeHeight - height) / ahead);
    }
    double pixels(double metres, double ahead) const { return Focal * metres / ahead; }
    // A flat patch of road between two distances and two lateral places.
    QPolygonF patch(double left, double right, double near, double far) const
    {
        return QPolygonF{at(left, near), at(right, near), at(right, far), at(left, far)};
    }

private:
    double m_eye;
};

bool onGround(StreetScene::Kind kind)
{
    using K = StreetScene::Kind;
    return kind == K::Crossing || kind == K::StopLine || kind == K::Rails || kind == K::SideRoad ||
           kind == K::TramTracks || kind == K::LaneArrow || kind == K::Houses ||
           kind == K::Driveway || kind == K::Footpath;
}

void paintSky(QPainter &p, bool town)
{
    QLinearGradient sky(0, 0, 0, Horizon);
    sky.setColorAt(0, QColor(0xC4, 0xD9, 0xEE));
    sky.setColorAt(1, QColor(0xE6, 0xEF, 0xF8));
    p.fillRect(QRectF(0, 0, Width, Horizon + 1), sky);
    p.setPen(Qt::NoPen);
    if (!town) {
        p.setBrush(QColor(0x8F, 0xB8, 0x8A));
        for (int i = 0; i < 24; ++i) {
            const double x = i * 31.0 + (i % 3) * 7;
            const double r = 9 + (i * 7 % 5);
            p.drawEllipse(QPointF(x, Horizon - r * 0.4), r * 1.3, r);
        }
    }
}

void paintLine(QPainter &p, const Camera &c, double across, StreetScene::Line line, bool lowerSide,
               double far = Far)
{
    using L = StreetScene::Line;
    const auto strip = [&](double u, bool broken) {
        if (!broken) {
            p.drawPolygon(c.patch(u - 0.07, u + 0.07, Near, far));
            return;
        }
        for (double z = Near; z < std::min(160.0, far); z += 9)
            p.drawPolygon(c.patch(u - 0.07, u + 0.07, z, std::min(far, z + 3)));
    };
    switch (line) {
    case L::None:
        break;
    case L::Broken:
        strip(across, true);
        break;
    case L::Solid:
        strip(across, false);
        break;
    case L::Warning:
        for (double z = Near; z < 15; z += 6)
            p.drawPolygon(c.patch(across - 0.07, across + 0.07, z, std::min(15.0, z + 4.5)));
        p.drawPolygon(c.patch(across - 0.07, across + 0.07, 15, far));
        break;
    case L::DoubleSolid:
        strip(across - 0.15, false);
        strip(across + 0.15, false);
        break;
    case L::SolidNear:
    case L::BrokenNear: {
        // The driver's side of a centre line is its right-hand side.
        const bool solidRight = (line == L::SolidNear) == lowerSide;
        strip(across + 0.15, !solidRight);
        strip(across - 0.15, solidRight);
        break;
    }
    }
}

// Where the driver's road ends: at the road crossing it, or the horizon.
double roadEnd(const StreetScene &s)
{
    return s.endsAt > 0 ? s.endsAt : Far;
}

// A 7 m wide entrance across the pavement to a yard or a car park, and for
// a car park the asphalt in front of the shop with its parking bays.
void paintDriveway(QPainter &p, const Camera &c, const StreetScene &s, const StreetScene::Item &it)
{
    const bool left = it.across < 0;
    const double edge = left ? -s.lanesLeft * s.laneWidth : s.lanesRight * s.laneWidth;
    const double out = left ? -1 : 1;
    const QColor asphalt = s.winter ? QColor(0x8C, 0x92, 0x99) : RoadGrey;
    p.setBrush(asphalt);
    p.drawPolygon(c.patch(std::min(edge, edge + out * 6.2), std::max(edge, edge + out * 6.2),
                          it.ahead, it.ahead + 7));
    if (it.sign != u"shop")
        return;
    // The car park reaches back to the shop, with white bay lines.
    p.drawPolygon(c.patch(std::min(edge + out * 6, edge + out * ShopSetBack),
                          std::max(edge + out * 6, edge + out * ShopSetBack), it.ahead - 4,
                          it.ahead + 30));
    p.setBrush(White);
    for (double z = it.ahead + 2; z < it.ahead + 28; z += 3)
        p.drawPolygon(c.patch(std::min(edge + out * 7.5, edge + out * 12.5),
                              std::max(edge + out * 7.5, edge + out * 12.5), z, z + 0.12));
}

void paintRoad(QPainter &p, const Camera &c, const StreetScene &s, bool town)
{
    const double left = -s.lanesLeft * s.laneWidth;
    const double right = s.lanesRight * s.laneWidth;
    const double end = roadEnd(s);
    p.setPen(Qt::NoPen);
    p.fillRect(QRectF(0, Horizon, Width, Height - Horizon), s.winter ? QColor(0xEE, 0xF1, 0xF4)
                                                            : town   ? Pavement
                                                                     : Grass);
    if (town) {
        p.setBrush(QColor(0xC9, 0xCB, 0xC6));
        p.drawPolygon(c.patch(left - 3.5, right + 3.5, Near, end));
    }
    p.setBrush(QColor(0x7C, 0x81, 0x88));
    p.drawPolygon(c.patch(left - 0.5, right + 0.5, Near, end));
    for (const StreetScene::Item &it : s.items) {
        if (it.kind == StreetScene::Kind::Driveway)
            paintDriveway(p, c, s, it);
        if (it.kind == StreetScene::Kind::Footpath) {
            // A paved path across the grass, its kerb apart from the road's.
            p.setBrush(QColor(0xB9, 0xB2, 0xA4));
            p.drawPolygon(c.patch(right + 0.9, right + 60, it.ahead, it.ahead + 2.5));
        }
    }
    p.setBrush(s.winter ? QColor(0x8C, 0x92, 0x99) : RoadGrey);
    p.drawPolygon(c.patch(left, right, Near, end));
    if (s.endsAt > 0) {
        // The crossing road, and the houses or the field beyond it.
        const QPointF nearEdge = c.at(0, end), farEdge = c.at(0, end + 9);
        p.drawRect(QRectF(0, farEdge.y(), Width, nearEdge.y() - farEdge.y()));
        p.setBrush(QColor(0x7C, 0x81, 0x88));
        p.drawRect(QRectF(0, farEdge.y() - 2, Width, 2));
        if (town) {
            p.setBrush(QColor(0xD9, 0xCC, 0xB4));
            p.drawPolygon(QPolygonF{c.at(-80, end + 13, 0), c.at(80, end + 13, 0),
                                    c.at(80, end + 13, 12), c.at(-80, end + 13, 12)});
            p.setBrush(QColor(0x6F, 0x86, 0x9C));
            for (double x = -40; x < 40; x += 4)
                for (double h = 2; h < 10; h += 3.5)
                    p.drawPolygon(QPolygonF{c.at(x, end + 13, h), c.at(x + 1.8, end + 13, h),
                                            c.at(x + 1.8, end + 13, h + 1.5),
                                            c.at(x, end + 13, h + 1.5)});
        }
        p.setBrush(White);
        // A broken line along the crossing road's middle.
        for (double x = -60; x < 60; x += 6)
            p.drawPolygon(QPolygonF{c.at(x, end + 4.4), c.at(x + 3, end + 4.4),
                                    c.at(x + 3, end + 4.6), c.at(x, end + 4.6)});
    }
    if (s.divided) {
        // A grass dividing strip with a barrier on it between the directions.
        p.setBrush(QColor(0x7C, 0x81, 0x88));
        p.drawPolygon(c.patch(-1.1, 1.1, Near, end));
        p.setBrush(s.winter ? QColor(0xEE, 0xF1, 0xF4) : Grass);
        p.drawPolygon(c.patch(-0.9, 0.9, Near, end));
        p.setBrush(QColor(0xB8, 0xBE, 0xC6));
        for (double z = Near + 0.7; z < 200; z *= 1.18)
            p.drawPolygon(QPolygonF{c.at(0, z, 0.75), c.at(0, z * 1.18, 0.75),
                                    c.at(0, z * 1.18, 0.45), c.at(0, z, 0.45)});
        p.setBrush(White);
        paintLine(p, c, -1.3, StreetScene::Line::Solid, false, end);
        paintLine(p, c, 1.3, StreetScene::Line::Solid, true, end);
    } else {
        p.setBrush(White);
        paintLine(p, c, 0, s.centre, true, end);
    }
    p.setBrush(White);
    for (int lane = 1; lane < s.lanesRight; ++lane)
        paintLine(p, c, lane * s.laneWidth, s.lanes, true, end);
    for (int lane = 1; lane < s.lanesLeft; ++lane)
        paintLine(p, c, -lane * s.laneWidth, s.lanes, false, end);
    // Edge lines outside towns.
    if (!town) {
        paintLine(p, c, left + 0.2, StreetScene::Line::Solid, false, end);
        paintLine(p, c, right - 0.2, StreetScene::Line::Solid, true, end);
    }
}

// The shop behind its car park: a low building with a sign board, seen
// from the road like the houses.
void paintShop(QPainter &p, const Camera &c, double side, double from)
{
    const double z0 = from - 4, z1 = from + 30, h = 5;
    const QPolygonF wall{c.at(side, z0, 0), c.at(side, z1, 0), c.at(side, z1, h),
                         c.at(side, z0, h)};
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xE4, 0xDE, 0xCF));
    p.drawPolygon(wall);
    p.setBrush(QColor(0x6F, 0x86, 0x9C));
    for (double z = z0 + 2; z < z1 - 3; z += 6)
        p.drawPolygon(QPolygonF{c.at(side, z, 0.4), c.at(side, z + 4, 0.4), c.at(side, z + 4, 2.8),
                                c.at(side, z, 2.8)});
    // The board: the word drawn on a flat rectangle and mapped onto the wall.
    const QPolygonF board{c.at(side, z0 + 12, h - 0.3), c.at(side, z1 - 2, h - 0.3),
                          c.at(side, z1 - 2, h - 1.8), c.at(side, z0 + 12, h - 1.8)};
    QTransform onWall;
    const QPolygonF flat{QPointF(side < 0 ? 0 : 400, 0), QPointF(side < 0 ? 400 : 0, 0),
                         QPointF(side < 0 ? 400 : 0, 60), QPointF(side < 0 ? 0 : 400, 60)};
    if (QTransform::quadToQuad(flat, board, onWall)) {
        p.save();
        p.setTransform(onWall, true);
        p.setBrush(QColor(0x2F, 0x6D, 0xB5));
        p.drawRect(QRectF(0, 0, 400, 60));
        p.setPen(White);
        p.setFont(font(40));
        p.drawText(QRectF(0, 0, 400, 60), Qt::AlignCenter, QStringLiteral("МАГАЗИН"));
        p.restore();
    }
}

void paintHouses(QPainter &p, const Camera &c, const StreetScene &s)
{
    static const QColor colors[] = {QColor(0xE3, 0xC9, 0xA8), QColor(0xC8, 0xD3, 0xDC),
                                    QColor(0xE8, 0xDD, 0xC4), QColor(0xD2, 0xB4, 0xA6)};
    const double left = -s.lanesLeft * s.laneWidth - 6;
    const double right = s.lanesRight * s.laneWidth + 6;
    const auto driveway = [&](double side, double z0, double z1) -> const StreetScene::Item * {
        for (const StreetScene::Item &it : s.items) {
            // A car park takes the room of the houses as far back as the shop goes.
            const bool shop = it.sign == u"shop";
            if (it.kind == StreetScene::Kind::Driveway && (it.across < 0) == (side < 0) &&
                it.ahead - (shop ? 4 : 0) < z1 && it.ahead + (shop ? 30 : 7) > z0)
                return &it;
        }
        return nullptr;
    };
    for (int i = 9; i >= 0; --i) {
        const double z0 = 7 + i * 16, z1 = z0 + 13;
        if (s.endsAt > 0 && z1 > s.endsAt)
            continue;
        // Side roads open a gap between the houses.
        const bool onSideRoad =
            std::any_of(s.items.cbegin(), s.items.cend(), [&](const StreetScene::Item &it) {
                return it.kind == StreetScene::Kind::SideRoad && it.ahead < z1 && it.ahead + 9 > z0;
            });
        if (onSideRoad)
            continue;
        for (double side : {left, right}) {
            const StreetScene::Item *entrance = driveway(side, z0, z1);
            // A car park leaves room for the shop behind it.
            if (entrance && entrance->sign == u"shop")
                continue;
            const double h = 9 + (i * 5 % 4) * 2;
            const QPolygonF wall{c.at(side, z0, 0), c.at(side, z1, 0), c.at(side, z1, h),
                                 c.at(side, z0, h)};
            p.setPen(Qt::NoPen);
            p.setBrush(colors[(i + (side > 0 ? 1 : 0)) % 4]);
            p.drawPolygon(wall);
            p.setBrush(QColor(0x6F, 0x86, 0x9C));
            for (double wz = z0 + 1.5; wz < z1 - 1; wz += 3.5) {
                for (double wh = 2; wh < h - 1.5; wh += 3)
                    p.drawPolygon(QPolygonF{c.at(side, wz, wh), c.at(side, wz + 1.6, wh),
                                            c.at(side, wz + 1.6, wh + 1.4),
                                            c.at(side, wz, wh + 1.4)});
            }
            if (entrance) {
                // The archway into the yard, dark under the house.
                const double a0 = std::max(z0, entrance->ahead),
                             a1 = std::min(z1, entrance->ahead + 7);
                p.setBrush(QColor(0x3A, 0x3C, 0x40));
                p.drawPolygon(QPolygonF{c.at(side, a0, 0), c.at(side, a1, 0), c.at(side, a1, 3.6),
                                        c.at(side, a0, 3.6)});
            }
        }
    }
    for (const StreetScene::Item &it : s.items) {
        if (it.kind == StreetScene::Kind::Driveway && it.sign == u"shop")
            paintShop(p, c, it.across < 0 ? left + 6 - ShopSetBack : right - 6 + ShopSetBack,
                      it.ahead);
    }
}

void paintGround(QPainter &p, const Camera &c, const StreetScene &s, const StreetScene::Item &it)
{
    using K = StreetScene::Kind;
    const double left = -s.lanesLeft * s.laneWidth;
    const double right = s.lanesRight * s.laneWidth;
    p.setPen(Qt::NoPen);
    switch (it.kind) {
    case K::Crossing:
        p.setBrush(White);
        for (double u = left + 0.25; u < right - 0.3; u += 1.0)
            p.drawPolygon(c.patch(u, u + 0.5, it.ahead, it.ahead + 4));
        break;
    case K::StopLine:
        p.setBrush(White);
        p.drawPolygon(c.patch(0.2, right, it.ahead, it.ahead + 0.4));
        break;
    case K::SideRoad: {
        const QPointF nearEdge = c.at(0, it.ahead), farEdge = c.at(0, it.ahead + 9);
        p.setBrush(s.winter ? QColor(0x8C, 0x92, 0x99) : RoadGrey);
        p.drawRect(QRectF(0, farEdge.y(), Width, nearEdge.y() - farEdge.y()));
        break;
    }
    case K::Rails: {
        p.setBrush(QColor(0x9A, 0x93, 0x88));
        p.drawPolygon(c.patch(left - 30, right + 30, it.ahead - 1, it.ahead + 2.5));
        p.setBrush(QColor(0x3B, 0x3F, 0x45));
        for (double z : {it.ahead, it.ahead + 1.5})
            p.drawPolygon(c.patch(left - 30, right + 30, z, z + 0.12));
        break;
    }
    case K::TramTracks:
        p.setBrush(QColor(0x3B, 0x3F, 0x45));
        for (double u : {it.across - 0.75, it.across + 0.75})
            p.drawPolygon(c.patch(u - 0.05, u + 0.05, Near, Far));
        break;
    case K::LaneArrow: {
        // Foreshortened along the road but hardly leaning: at the driver's
        // low eye an arrow in the next lane would lie almost flat, and its
        // turn could be misread.
        const QPointF base = c.at(it.across, it.ahead);
        p.setBrush(White);
        p.drawPolygon(RoadFigures::laneArrow(it.sign, [&](double u, double z) {
            const QPointF centre = c.at(it.across, it.ahead + z);
            return QPointF(base.x() + (centre.x() - base.x()) * ArrowLean +
                               c.pixels(u, it.ahead + z),
                           centre.y());
        }));
        break;
    }
    case K::Houses:
        paintHouses(p, c, s);
        break;
    default:
        break;
    }
}

void paintUpright(QPainter &p, const Camera &c, const StreetScene::Item &it)
{
    using K = StreetScene::Kind;
    const double px = c.pixels(1, it.ahead); // pixels per metre at this distance
    const QPointF foot = c.at(it.across, it.ahead);
    switch (it.kind) {
    case K::Car:
    case K::Truck:
    case K::Bus:
    case K::Motorcycle:
    case K::Tram:
        RoadFigures::vehicle(p, it, foot, px);
        break;
    case K::Pedestrian:
    case K::Cyclist:
    case K::Scooter:
    case K::Controller:
        RoadFigures::person(p, it, foot, px);
        break;
    case K::Sign: {
        const double size = 0.75 * px * it.scale;
        const QStringList signs = it.sign.split(u' ');
        // A plate (8.x) is as wide as the sign above it; a wide sign is
        // scaled down so that it is at most one and a half times as wide.
        const auto heightOf = [&](const QString &sign) {
            return sign.startsWith(QLatin1String("8."))
                       ? size / SignPainter::aspect(sign)
                       : size / std::max(1.0, SignPainter::aspect(sign) / 1.5);
        };
        double total = 0;
        for (const QString &sign : signs)
            total += heightOf(sign) + size * 0.08;
        // The post is drawn short so that enlarged signs stay in the picture.
        const double top = foot.y() - 1.2 * px - total;
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x9A, 0x9E, 0xA3));
        p.drawRect(QRectF(foot.x() - std::max(1.5, 0.05 * px), top + size * 0.3,
                          std::max(3.0, 0.1 * px), foot.y() - top - size * 0.3));
        double y = top;
        for (const QString &sign : signs) {
            const double h = heightOf(sign);
            SignPainter::paint(p, sign, QPointF(foot.x(), y + h / 2), h);
            y += h + size * 0.08;
        }
        break;
    }
    case K::Light:
    case K::RailLight:
        RoadFigures::light(p, it, foot, px);
        break;
    default:
        break;
    }
}

} // namespace

double StreetScene::laneCentre(int lane, bool oncoming) const
{
    const double fromCentre = oncoming ? lanesLeft - lane - 0.5 : lanesRight - lane - 0.5;
    return oncoming ? -fromCentre * laneWidth : fromCentre * laneWidth;
}

QImage StreetScene::render() const
{
    QImage image = canvas();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const bool town = std::any_of(items.cbegin(), items.cend(),
                                  [](const Item &it) { return it.kind == Kind::Houses; });
    const Camera camera(laneCentre(driverLane));
    paintSky(p, town);
    paintRoad(p, camera, *this, town);
    // Flat things first, far ones before near ones; then whatever stands up,
    // far to near, so that nearer things cover farther ones.
    QList<Item> ground, upright;
    for (const Item &it : items)
        (onGround(it.kind) ? ground : upright) << it;
    const auto farFirst = [](const Item &a, const Item &b) { return a.ahead > b.ahead; };
    std::stable_sort(ground.begin(), ground.end(), farFirst);
    std::stable_sort(upright.begin(), upright.end(), farFirst);
    for (const Item &it : std::as_const(ground))
        paintGround(p, camera, *this, it);
    // Lines are repainted over side roads only where the road goes on.
    for (const Item &it : std::as_const(upright))
        paintUpright(p, camera, it);
    return image;
}
