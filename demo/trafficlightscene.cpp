#include "trafficlightscene.h"

#include "picturestyle.h"
#include "roadsidescene.h"

#include <QPainter>
#include <QPainterPath>

using namespace PictureStyle;
using Lamp = LightState::Lamp;
using Shape = LightState::Shape;

namespace {

const QColor Housing{0x26, 0x29, 0x2E};
const QColor MoonWhite{0xF4, 0xF7, 0xFF};

QColor dimmed(const QColor &lit)
{
    return QColor((lit.red() + 3 * LightOff.red()) / 4, (lit.green() + 3 * LightOff.green()) / 4,
                  (lit.blue() + 3 * LightOff.blue()) / 4);
}

// Short rays around a lamp mark it as flashing.
void rays(QPainter &p, QPointF centre, double radius, const QColor &color)
{
    p.setPen(QPen(color, 4, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 8; ++i) {
        const double a = M_PI / 8 + i * M_PI / 4;
        const QPointF d(std::cos(a), std::sin(a));
        p.drawLine(centre + d * (radius + 7), centre + d * (radius + 15));
    }
}

void arrowGlyph(QPainter &p, QPointF c, double r, Shape shape, const QColor &color)
{
    QPainterPath path;
    auto polygon = [&](std::initializer_list<QPointF> points) {
        QPolygonF poly;
        for (const QPointF &point : points)
            poly << c + point * r;
        path.addPolygon(poly);
        path.closeSubpath();
    };
    switch (shape) {
    case Shape::ArrowRight:
        polygon({{-0.6, -0.14},
                 {0.1, -0.14},
                 {0.1, -0.42},
                 {0.62, 0},
                 {0.1, 0.42},
                 {0.1, 0.14},
                 {-0.6, 0.14}});
        break;
    case Shape::ArrowLeft:
        polygon({{0.6, -0.14},
                 {-0.1, -0.14},
                 {-0.1, -0.42},
                 {-0.62, 0},
                 {-0.1, 0.42},
                 {-0.1, 0.14},
                 {0.6, 0.14}});
        break;
    case Shape::ArrowDown:
        polygon({{-0.14, -0.6},
                 {-0.14, 0.1},
                 {-0.42, 0.1},
                 {0, 0.62},
                 {0.42, 0.1},
                 {0.14, 0.1},
                 {0.14, -0.6}});
        break;
    case Shape::ArrowDiagonal:
        polygon({{-0.52, -0.36},
                 {0.18, 0.34},
                 {-0.02, 0.54},
                 {0.54, 0.54},
                 {0.54, -0.02},
                 {0.34, 0.18},
                 {-0.36, -0.52}});
        break;
    case Shape::Cross:
        polygon({{-0.5, -0.34},
                 {-0.34, -0.5},
                 {0, -0.16},
                 {0.34, -0.5},
                 {0.5, -0.34},
                 {0.16, 0},
                 {0.5, 0.34},
                 {0.34, 0.5},
                 {0, 0.16},
                 {-0.34, 0.5},
                 {-0.5, 0.34},
                 {-0.16, 0}});
        break;
    case Shape::Round:
        return;
    }
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawPath(path.simplified());
}

// A lamp: a lit or dark disc, or a dark disc with a lit arrow.
void lamp(QPainter &p, QPointF c, double r, const QColor &lit, Lamp state,
          Shape shape = Shape::Round)
{
    const bool on = state != Lamp::Off;
    p.setPen(Qt::NoPen);
    if (shape == Shape::Round) {
        p.setBrush(on ? lit : dimmed(lit));
        p.drawEllipse(c, r, r);
    } else {
        p.setBrush(QColor(0x15, 0x17, 0x1A));
        p.drawEllipse(c, r, r);
        arrowGlyph(p, c, r * 1.45, shape, on ? lit : dimmed(lit));
    }
    if (state == Lamp::Flashing)
        rays(p, c, r, lit);
}

void contourArrows(QPainter &p, QPointF c, double r)
{
    p.setPen(QPen(Black, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPolygon(QPolygonF{c + QPointF(-0.28 * r, 0.6 * r), c + QPointF(-0.28 * r, -0.2 * r),
                            c + QPointF(-0.5 * r, -0.2 * r), c + QPointF(-0.15 * r, -0.62 * r),
                            c + QPointF(0.2 * r, -0.2 * r), c + QPointF(-0.02 * r, -0.2 * r),
                            c + QPointF(-0.02 * r, 0.05 * r), c + QPointF(0.22 * r, 0.05 * r),
                            c + QPointF(0.22 * r, -0.14 * r), c + QPointF(0.6 * r, 0.18 * r),
                            c + QPointF(0.22 * r, 0.5 * r), c + QPointF(0.22 * r, 0.31 * r),
                            c + QPointF(-0.02 * r, 0.31 * r), c + QPointF(-0.02 * r, 0.6 * r)});
}

void post(QPainter &p, double x, double top)
{
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x9A, 0x9E, 0xA3));
    p.drawRect(QRectF(x - 5, top, 10, Height - top - 8));
    p.setBrush(QColor(0x6E, 0x9B, 0x67));
    p.drawEllipse(QPointF(x, Height - 8), 28, 6);
}

void vehicleLight(QPainter &p, const LightState &s)
{
    const double x = 560;
    const double r = 27;
    const double step = 70;
    const double top = 22;
    post(p, x, top + 200);
    p.setPen(Qt::NoPen);
    p.setBrush(Housing);
    p.drawRoundedRect(QRectF(x - 40, top, 80, 3 * step + 10), 14, 14);
    const QPointF red(x, top + 40);
    const QPointF yellow(x, top + 40 + step);
    const QPointF green(x, top + 40 + 2 * step);
    lamp(p, red, r, SignalRed, s.red);
    lamp(p, yellow, r, Amber, s.yellow);
    lamp(p, green, r, QColor(0x2E, 0xB8, 0x4A), s.green, s.greenShape);
    if (s.contourArrows) {
        contourArrows(p, red, r);
        contourArrows(p, yellow, r);
    }
    if (s.leftSection) {
        p.setBrush(Housing);
        p.drawRoundedRect(QRectF(x - 120, green.y() - 38, 76, 76), 14, 14);
        lamp(p, QPointF(x - 82, green.y()), r, QColor(0x2E, 0xB8, 0x4A), s.leftArrow,
             Shape::ArrowLeft);
    }
    if (s.rightSection) {
        p.setBrush(Housing);
        p.drawRoundedRect(QRectF(x + 44, green.y() - 38, 76, 76), 14, 14);
        lamp(p, QPointF(x + 82, green.y()), r, QColor(0x2E, 0xB8, 0x4A), s.rightArrow,
             Shape::ArrowRight);
    }
}

void reversibleLight(QPainter &p, const LightState &s)
{
    // A gantry across the road; the lamp asked about hangs over your lane
    // (the right one), its neighbour shows a green arrow over the next lane.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x9A, 0x9E, 0xA3));
    p.drawRect(QRectF(0, 24, 620, 10));
    p.drawRect(QRectF(610, 24, 10, Height - 30));
    QColor color = SignalRed;
    if (s.reversible == Shape::ArrowDown)
        color = QColor(0x2E, 0xB8, 0x4A);
    else if (s.reversible == Shape::ArrowDiagonal)
        color = Amber;
    const QPointF ours(350, 86);
    const QPointF next(190, 86);
    for (const QPointF &centre : {ours, next}) {
        p.setPen(Qt::NoPen);
        p.setBrush(Housing);
        p.drawRoundedRect(QRectF(centre.x() - 48, 36, 96, 100), 12, 12);
        p.setBrush(QColor(0x15, 0x17, 0x1A));
        p.drawEllipse(centre, 42, 42);
    }
    arrowGlyph(p, ours, 56, s.reversible, color);
    arrowGlyph(p, next, 56, Shape::ArrowDown, QColor(0x2E, 0xB8, 0x4A));
}

void railwayLight(QPainter &p, const LightState &s)
{
    const double x = 560;
    post(p, x, 120);
    // No striped plate under the lamps: it would be taken for a barrier.
    p.setPen(Qt::NoPen);
    p.setBrush(Housing);
    p.drawRoundedRect(QRectF(x - 110, 20, 220, 74), 37, 37);
    lamp(p, QPointF(x - 72, 57), 26, SignalRed, s.red);
    lamp(p, QPointF(x + 72, 57), 26, SignalRed, s.red == Lamp::Flashing ? Lamp::Off : s.red);
    p.setBrush(Housing);
    p.drawRoundedRect(QRectF(x - 36, 130, 72, 72), 36, 36);
    lamp(p, QPointF(x, 166), 26, MoonWhite, s.green);
}

void pedestrianFigure(QPainter &p, QPointF feet, double h, const QColor &color, bool walking)
{
    p.setPen(QPen(color, h * 0.12, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(color);
    auto at = [&](double dx, double dy) { return feet + QPointF(dx * h, -dy * h); };
    p.drawEllipse(at(0, 0.9), h * 0.08, h * 0.08);
    p.drawLine(at(0, 0.74), at(0, 0.42));
    if (walking) {
        p.drawLine(at(0, 0.42), at(0.18, 0.02));
        p.drawLine(at(0, 0.42), at(-0.16, 0.02));
        p.drawLine(at(0, 0.7), at(0.2, 0.46));
        p.drawLine(at(0, 0.7), at(-0.18, 0.48));
    } else {
        p.drawLine(at(-0.05, 0.42), at(-0.05, 0.02));
        p.drawLine(at(0.05, 0.42), at(0.05, 0.02));
        p.drawLine(at(-0.06, 0.7), at(-0.1, 0.4));
        p.drawLine(at(0.06, 0.7), at(0.1, 0.4));
    }
}

void pedestrianLight(QPainter &p, const LightState &s)
{
    const double x = 560;
    post(p, x, 200);
    p.setPen(Qt::NoPen);
    p.setBrush(Housing);
    p.drawRoundedRect(QRectF(x - 44, 16, 88, 184), 12, 12);
    p.setBrush(QColor(0x15, 0x17, 0x1A));
    p.drawRect(QRectF(x - 34, 26, 68, 76));
    p.drawRect(QRectF(x - 34, 114, 68, 76));
    pedestrianFigure(p, QPointF(x, 96), 64, s.red != Lamp::Off ? SignalRed : dimmed(SignalRed),
                     false);
    pedestrianFigure(p, QPointF(x, 184), 64,
                     s.green != Lamp::Off ? QColor(0x2E, 0xB8, 0x4A) : dimmed(Green), true);
}

// The place the light governs, from the driver's seat: a junction in town
// with its stop line and pedestrian crossing, or a railway crossing in the
// country, with the traffic the question names.
QImage background(const LightState &state)
{
    using Kind = StreetScene::Kind;
    StreetScene scene;
    StreetScene::Item item;
    const auto add = [&](Kind kind, double across, double ahead) {
        item.kind = kind;
        item.across = across;
        item.ahead = ahead;
        scene.items << item;
    };
    if (state.kind == LightState::Kind::Railway) {
        scene.centre = StreetScene::Line::Solid;
        add(Kind::StopLine, 0, 9);
        add(Kind::Rails, 0, 13);
    } else {
        add(Kind::Houses, 0, 20);
        if (state.kind == LightState::Kind::Reversible) {
            scene.lanesRight = scene.lanesLeft = 2;
            add(Kind::SideRoad, 0, 30);
        } else if (state.kind == LightState::Kind::Pedestrian) {
            add(Kind::Crossing, 0, 14);
        } else {
            add(Kind::StopLine, 0, 10);
            add(Kind::Crossing, 0, 11.5);
            add(Kind::SideRoad, 0, 16.5);
        }
    }
    scene.items << state.traffic;
    return scene.render();
}

} // namespace

QImage TrafficLightScene::picture(const LightState &state)
{
    QImage image = background(state);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    switch (state.kind) {
    case LightState::Kind::Vehicle:
        vehicleLight(p, state);
        break;
    case LightState::Kind::Reversible:
        reversibleLight(p, state);
        break;
    case LightState::Kind::Railway:
        railwayLight(p, state);
        break;
    case LightState::Kind::Pedestrian:
        pedestrianLight(p, state);
        break;
    }
    return image;
}
