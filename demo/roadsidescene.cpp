#include "roadsidescene.h"

#include "picturestyle.h"
#include "signpainter.h"

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

QImage signOnRoad(const QStringList &signs)
{
    QImage image = canvas();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    paintLandscape(p);

    const double postX = 612;
    const double gap = 8;
    double total = 0;
    QList<double> heights;
    for (const QString &number : signs) {
        double height = signs.size() == 1 ? 140 : 100;
        height = std::min(height, 170 / SignPainter::aspect(number));
        heights << height;
        total += height + gap;
    }
    double top = std::max(10.0, 100 - total / 2);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x9A, 0x9E, 0xA3));
    p.drawRect(QRectF(postX - 4, top + 20, 8, Height - top - 30));
    p.setBrush(QColor(0x6E, 0x9B, 0x67));
    p.drawEllipse(QPointF(postX, Height - 10), 26, 6);
    for (int i = 0; i < signs.size(); ++i) {
        SignPainter::paint(p, signs.at(i), QPointF(postX, top + heights.at(i) / 2), heights.at(i));
        top += heights.at(i) + gap;
    }
    return image;
}

QImage numberedSigns(const QStringList &signs)
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
        p.drawText(QRectF(centre.x() - 17, 223, 34, 34), Qt::AlignCenter, QString::number(i + 1));
    }
    return image;
}

} // namespace RoadsideScene
