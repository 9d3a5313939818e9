#include "streetscene.h"

#include "picturestyle.h"
#include "roadfigures.h"
#include "signpainter.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPolygonF>

#include <algorithm>

using namespace PictureStyle;

namespace {

constexpr double Horizon = 138;
constexpr double VanishingX = 353;
constexpr double Focal = 520;
constexpr double EyeHeight = 1.2;
constexpr double Near = 3.3;
constexpr double Far = 400;

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
           kind == K::TramTracks || kind == K::LaneArrow || kind == K::Houses;
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

void paintLine(QPainter &p, const Camera &c, double across, StreetScene::Line line, bool lowerSide)
{
    using L = StreetScene::Line;
    const auto strip = [&](double u, bool broken) {
        if (!broken) {
            p.drawPolygon(c.patch(u - 0.07, u + 0.07, Near, Far));
            return;
        }
        for (double z = Near; z < 160; z += 9)
            p.drawPolygon(c.patch(u - 0.07, u + 0.07, z, z + 3));
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
        p.drawPolygon(c.patch(across - 0.07, across + 0.07, 15, Far));
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

void paintRoad(QPainter &p, const Camera &c, const StreetScene &s, bool town)
{
    const double left = -s.lanesLeft * s.laneWidth;
    const double right = s.lanesRight * s.laneWidth;
    p.setPen(Qt::NoPen);
    p.fillRect(QRectF(0, Horizon, Width, Height - Horizon), s.winter ? QColor(0xEE, 0xF1, 0xF4)
                                                            : town   ? Pavement
                                                                     : Grass);
    if (town) {
        p.setBrush(QColor(0xC9, 0xCB, 0xC6));
        p.drawPolygon(c.patch(left - 3.5, right + 3.5, Near, Far));
    }
    p.setBrush(QColor(0x7C, 0x81, 0x88));
    p.drawPolygon(c.patch(left - 0.5, right + 0.5, Near, Far));
    p.setBrush(s.winter ? QColor(0x8C, 0x92, 0x99) : RoadGrey);
    p.drawPolygon(c.patch(left, right, Near, Far));
    p.setBrush(White);
    paintLine(p, c, 0, s.centre, true);
    for (int lane = 1; lane < s.lanesRight; ++lane)
        paintLine(p, c, lane * s.laneWidth, s.lanes, true);
    for (int lane = 1; lane < s.lanesLeft; ++lane)
        paintLine(p, c, -lane * s.laneWidth, s.lanes, false);
    // Edge lines outside towns.
    if (!town) {
        paintLine(p, c, left + 0.2, StreetScene::Line::Solid, false);
        paintLine(p, c, right - 0.2, StreetScene::Line::Solid, true);
    }
}

void paintHouses(QPainter &p, const Camera &c, const StreetScene &s)
{
    static const QColor colors[] = {QColor(0xE3, 0xC9, 0xA8), QColor(0xC8, 0xD3, 0xDC),
                                    QColor(0xE8, 0xDD, 0xC4), QColor(0xD2, 0xB4, 0xA6)};
    const double left = -s.lanesLeft * s.laneWidth - 6;
    const double right = s.lanesRight * s.laneWidth + 6;
    for (int i = 9; i >= 0; --i) {
        const double z0 = 7 + i * 16, z1 = z0 + 13;
        // Side roads open a gap between the houses.
        const bool onSideRoad =
            std::any_of(s.items.cbegin(), s.items.cend(), [&](const StreetScene::Item &it) {
                return it.kind == StreetScene::Kind::SideRoad && it.ahead < z1 && it.ahead + 9 > z0;
            });
        if (onSideRoad)
            continue;
        for (double side : {left, right}) {
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
        }
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
    case K::LaneArrow:
        p.setBrush(White);
        p.drawPolygon(RoadFigures::laneArrow(
            it.sign, [&](double u, double z) { return c.at(it.across + u, it.ahead + z); }));
        break;
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
