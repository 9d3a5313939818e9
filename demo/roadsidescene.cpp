#include "roadsidescene.h"

#include "picturestyle.h"
#include "signpainter.h"
#include "streetscene.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPolygonF>

using namespace PictureStyle;

namespace {

constexpr double Horizon = 120;
constexpr double VanishingX = 270;

// Point on the road at depth t (0 at the horizon, 1 at the bottom edge) and
// lateral position u (-1 left edge, +1 right edge).
QPointF roadPoint(double t, double u)
{
    const double halfWidth = 10 + t * 250;
    return QPointF(VanishingX + u * halfWidth, Horizon + t * (Height - Horizon));
}

} // namespace

void RoadsideScene::paintLandscape(QPainter &p)
{
    QLinearGradient sky(0, 0, 0, Horizon);
    sky.setColorAt(0, QColor(0xC4, 0xD9, 0xEE));
    sky.setColorAt(1, QColor(0xE6, 0xEF, 0xF8));
    p.fillRect(QRectF(0, 0, Width, Horizon), sky);
    p.fillRect(QRectF(0, Horizon, Width, Height - Horizon), Grass);
    // A row of distant trees on the horizon.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x8F, 0xB8, 0x8A));
    for (int i = 0; i < 24; ++i) {
        const double x = i * 31.0 + (i % 3) * 7;
        const double r = 9 + (i * 7 % 5);
        p.drawEllipse(QPointF(x, Horizon - r * 0.4), r * 1.3, r);
    }
    p.fillRect(QRectF(0, Horizon - 2, Width, Height - Horizon + 2), Grass);

    p.setBrush(QColor(0x7C, 0x81, 0x88));
    p.drawPolygon(QPolygonF{roadPoint(0, -1.15), roadPoint(0, 1.15), roadPoint(1, 1.15),
                            roadPoint(1, -1.15)});
    p.setBrush(RoadGrey);
    p.drawPolygon(QPolygonF{roadPoint(0, -1), roadPoint(0, 1), roadPoint(1, 1), roadPoint(1, -1)});
    // Edge lines and the broken centre line.
    p.setBrush(White);
    for (double u : {-0.94, 0.94})
        p.drawPolygon(QPolygonF{roadPoint(0, u - 0.01), roadPoint(0, u + 0.01),
                                roadPoint(1, u + 0.02), roadPoint(1, u - 0.02)});
    for (int i = 0; i < 8; ++i) {
        const double t0 = std::pow((i + 0.1) / 8.0, 1.6);
        const double t1 = std::pow((i + 0.55) / 8.0, 1.6);
        p.drawPolygon(QPolygonF{roadPoint(t0, -0.012), roadPoint(t0, 0.012), roadPoint(t1, 0.012),
                                roadPoint(t1, -0.012)});
    }
}

namespace RoadsideScene {

Setting settingOf(const QString &text)
{
    if (text.contains(QStringLiteral("вне населённого пункта")))
        return Setting::Country;
    if (text.contains(QStringLiteral("в населённом пункте")))
        return Setting::Town;
    return Setting::Either;
}

QImage signOnRoad(const QStringList &signs, Setting setting)
{
    using Kind = StreetScene::Kind;
    const auto starts = [&](std::initializer_list<const char *> prefixes) {
        return std::any_of(prefixes.begin(), prefixes.end(), [&](const char *prefix) {
            return signs.first().startsWith(QLatin1String(prefix));
        });
    };
    // The traffic around the sign varies from sign to sign but never from
    // run to run: it is drawn from the sign numbers, not from a clock.
    uint seed = 0;
    for (const QChar c : signs.join(u' '))
        seed = seed * 31 + c.unicode();
    StreetScene scene;
    const bool motorway = starts({"5.1", "5.2", "5.3"}) && signs.first().size() == 3;
    const bool footpath = starts({"4.5."});
    const bool oneWayAhead = starts({"5.7."});
    const bool town =
        setting == Setting::Town || (setting == Setting::Either && !motorway && !footpath &&
                                     (starts({"5.2", "5.19", "5.16", "5.17", "1.22", "3.2", "3.3",
                                              "6.4", "5.14", "5.15", "5.7."}) ||
                                      seed % 3 == 0));
    if (motorway) {
        scene.lanesRight = scene.lanesLeft = 2;
        scene.centre = StreetScene::Line::DoubleSolid;
        // A motorway's directions are kept apart by a dividing strip.
        scene.divided = signs.first() == u"5.1";
    }
    if (oneWayAhead)
        scene.endsAt = 26;
    // A one-way road: two lanes, all of them yours, and nobody coming towards you.
    const bool oneWay = starts({"5.5"});
    if (oneWay) {
        scene.lanesRight = 2;
        scene.lanesLeft = 0;
        scene.driverLane = 1;
        scene.centre = StreetScene::Line::None;
    }
    const double edge = scene.lanesRight * scene.laneWidth;
    StreetScene::Item item;
    if (town) {
        item.kind = Kind::Houses;
        scene.items << item;
    }
    if (starts({"5.19"})) {
        item.kind = Kind::Crossing;
        item.ahead = 13;
        scene.items << item;
    } else if (starts({"1.22"})) {
        item.kind = Kind::Crossing;
        item.ahead = 45;
        scene.items << item;
    } else if (starts({"1.3."})) {
        item.kind = Kind::Rails;
        item.ahead = 16;
        scene.items << item;
    } else if (footpath) {
        // The path leaves the road beside the sign, and only people walk on it.
        item.kind = Kind::Footpath;
        item.ahead = 9.5;
        scene.items << item;
        item.kind = Kind::Pedestrian;
        item.across = edge + 3;
        item.ahead = 10.7;
        scene.items << item;
    } else if (starts({"2.1", "2.4", "2.5", "4.1", "1.8", "5.15"})) {
        item.kind = Kind::SideRoad;
        item.ahead = 22;
        scene.items << item;
    }
    static const QColor colors[] = {QColor(0x2F, 0x6D, 0xB5), QColor(0xB8, 0xBE, 0xC6),
                                    QColor(0x9C, 0x27, 0x3A), QColor(0x6B, 0x7F, 0x3A),
                                    QColor(0xD8, 0xC3, 0x8E)};
    StreetScene::Item ahead;
    ahead.kind = seed % 7 == 0 ? Kind::Truck : Kind::Car;
    ahead.across = scene.laneCentre(0);
    ahead.ahead = oneWayAhead ? 19 : 30 + seed % 17;
    ahead.color = colors[seed % 5];
    scene.items << ahead;
    StreetScene::Item oncoming;
    oncoming.kind = seed % 5 == 0 ? Kind::Bus : seed % 4 == 0 ? Kind::Motorcycle : Kind::Car;
    oncoming.oncoming = true;
    oncoming.across = scene.laneCentre(0, true);
    oncoming.ahead = oneWayAhead ? 15 : 24 + (seed / 7) % 30;
    oncoming.color = colors[(seed / 5) % 5];
    if (!oneWay)
        scene.items << oncoming;
    if (town) {
        StreetScene::Item walker;
        walker.kind = Kind::Pedestrian;
        walker.across = -scene.lanesLeft * scene.laneWidth - 2.2;
        walker.ahead = 16 + seed % 9;
        walker.color = colors[(seed / 3) % 5];
        scene.items << walker;
    }
    // The sign on its post at the right edge, close enough to read: drawn
    // about three times its true size, the way a driver's eye picks it out.
    StreetScene::Item post;
    post.kind = Kind::Sign;
    post.sign = signs.join(u' ');
    post.across = edge + 1.3;
    post.ahead = 12;
    post.scale = signs.size() == 1 ? 3.0 : 3.3 / signs.size();
    scene.items << post;
    return scene.render();
}

QImage labelledSigns(const QStringList &signs, const QStringList &labels)
{
    QImage image = canvas(QColor(0xEE, 0xF2, 0xF6));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const double slot = double(Width) / signs.size();
    for (int i = 0; i < signs.size(); ++i) {
        const QString &number = signs.at(i);
        const double height = std::min(150.0, (slot - 30) / SignPainter::aspect(number));
        const QPointF centre(slot * (i + 0.5), 110);
        SignPainter::paint(p, number, centre, height);
        p.setPen(Qt::NoPen);
        p.setBrush(DeepBlue);
        p.drawEllipse(QPointF(centre.x(), 240), 17, 17);
        p.setPen(White);
        p.setFont(font(22));
        p.drawText(QRectF(centre.x() - 17, 223, 34, 34), Qt::AlignCenter, labels.at(i));
    }
    return image;
}

QImage numberedSigns(const QStringList &signs)
{
    QStringList labels;
    for (int i = 1; i <= signs.size(); ++i)
        labels << QString::number(i);
    return labelledSigns(signs, labels);
}

QImage letteredSigns(const QStringList &signs)
{
    static const QStringList letters = {QStringLiteral("А"), QStringLiteral("Б"),
                                        QStringLiteral("В"), QStringLiteral("Г")};
    return labelledSigns(signs, letters.mid(0, signs.size()));
}

} // namespace RoadsideScene
