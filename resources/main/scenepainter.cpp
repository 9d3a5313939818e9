#include "scenepainter.h"

#include "artpalette.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace ScenePainter {

using namespace ArtPalette;

namespace {

QFont artFont(int pixels, bool bold)
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

void roundSign(QPainter &p, QPointF centre, double radius, const QColor &inner)
{
    p.setPen(Qt::NoPen);
    p.setBrush(SignalRed);
    p.drawEllipse(centre, radius, radius);
    p.setBrush(inner);
    p.drawEllipse(centre, radius * 0.72, radius * 0.72);
}

void post(QPainter &p, double x, double top, double bottom)
{
    p.setPen(QPen(RoadGrey, 3.0));
    p.drawLine(QPointF(x, top), QPointF(x, bottom));
}

} // namespace

QImage banner(qreal scale)
{
    // Drawn in logical pixels on an image of `scale` times as many device
    // pixels, so a HiDPI screen gets a sharp picture, not a blown-up one.
    QImage image(QSize(588, 209) * scale, QImage::Format_RGB32);
    image.setDevicePixelRatio(scale);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    // A pale sky: the congratulation drawn over the middle of the banner
    // (64..497 x 72..113) must stay readable, so nothing busy goes there.
    p.fillRect(QRect(0, 0, 588, 209), DeepBlue.lighter(185));
    p.setPen(Qt::NoPen);
    p.setBrush(Green);
    QPainterPath hills;
    hills.moveTo(0, 140);
    hills.cubicTo(120, 122, 220, 134, 300, 132);
    hills.cubicTo(400, 130, 480, 118, 588, 134);
    hills.lineTo(588, 209);
    hills.lineTo(0, 209);
    hills.closeSubpath();
    p.drawPath(hills);
    p.setBrush(White);
    p.drawRect(QRectF(0, 178, 588, 31)); // light band for the launch label

    // The road from the horizon to the front.
    QPainterPath road;
    road.moveTo(432, 128);
    road.lineTo(450, 128);
    road.lineTo(588, 196);
    road.lineTo(588, 205);
    road.lineTo(290, 205);
    road.closeSubpath();
    p.setBrush(RoadGrey);
    p.drawPath(road);
    p.setBrush(White);
    for (int i = 0; i < 5; ++i) {
        const double t0 = 0.08 + i * 0.2;
        const double t1 = t0 + 0.1;
        const auto at = [](double t, double half) {
            return QPointF(441 + (478 - 441) * t + half, 128 + (205 - 128) * t);
        };
        p.drawPolygon(QPolygonF{at(t0, -0.6 - t0 * 2), at(t0, 0.6 + t0 * 2), at(t1, 0.6 + t1 * 2),
                                at(t1, -0.6 - t1 * 2)});
    }
    p.setBrush(SignalRed);
    p.drawRect(QRectF(0, 205, 588, 4));

    // Road signs along the way: a speed limit by the road, a warning and a
    // give-way on the verge at the left.
    post(p, 540, 80, 178);
    roundSign(p, QPointF(540, 70), 24, White);
    p.setPen(DeepBlue);
    p.setFont(artFont(20, true));
    p.drawText(QRectF(516, 58, 48, 24), Qt::AlignCenter, QStringLiteral("60"));

    post(p, 52, 150, 178);
    p.setPen(Qt::NoPen);
    p.setBrush(SignalRed);
    p.drawPolygon(QPolygonF{{52, 116}, {74, 154}, {30, 154}});
    p.setBrush(Amber);
    p.drawPolygon(QPolygonF{{52, 124}, {67, 150}, {37, 150}});
    p.setBrush(DeepBlue);
    p.drawRect(QRectF(50, 131, 4, 10));
    p.drawEllipse(QPointF(52, 145), 2.2, 2.2);

    post(p, 112, 150, 178);
    p.setPen(Qt::NoPen);
    p.setBrush(SignalRed);
    p.drawPolygon(QPolygonF{{91, 120}, {133, 120}, {112, 156}});
    p.setBrush(White);
    p.drawPolygon(QPolygonF{{99, 125}, {125, 125}, {112, 147}});

    // The program's name.
    p.setPen(DeepBlue);
    p.setFont(artFont(42, true));
    p.drawText(QRect(24, 4, 300, 52), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Зелтрак"));
    p.setPen(Amber.darker(115));
    p.drawText(QRect(208, 4, 130, 52), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("ПДД"));
    p.setPen(RoadGrey);
    p.setFont(artFont(13, false));
    p.drawText(QRect(27, 52, 340, 16), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("тренажёр по правилам дорожного движения"));
    return image;
}

QRect startButton()
{
    return QRect(88, 256, 121, 33);
}

QImage splash(qreal scale)
{
    QImage image(QSize(300, 300) * scale, QImage::Format_RGB32);
    image.setDevicePixelRatio(scale);
    image.fill(White);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    // Header band with the greeting.
    p.fillRect(QRect(0, 0, 300, 92), DeepBlue);
    p.fillRect(QRect(0, 92, 300, 4), Amber);
    roundSign(p, QPointF(256, 46), 26, White);
    p.setPen(Qt::NoPen);
    p.setBrush(Green);
    QPainterPath check;
    p.setPen(QPen(Green, 5.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    check.moveTo(246, 47);
    check.lineTo(253, 54);
    check.lineTo(266, 38);
    p.drawPath(check);

    p.setPen(White);
    p.setFont(artFont(24, true));
    p.drawText(QRect(16, 12, 220, 34), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Здравствуйте!"));
    p.setFont(artFont(13, false));
    p.drawText(QRect(16, 46, 220, 40), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
               QStringLiteral("Добро пожаловать в «Зелтрак ПДД» — тренажёр по билетам ПДД."));

    // Invitation and addresses.
    p.setPen(RoadGrey);
    p.setFont(artFont(13, false));
    p.drawText(QRect(16, 106, 268, 70), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
               QStringLiteral("Нам важно Ваше мнение! Присылайте замечания, отзывы и "
                              "предложения — вместе мы сделаем программу лучше."));
    p.setPen(DeepBlue);
    p.setFont(artFont(13, true));
    p.drawText(QRect(16, 178, 268, 18), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("www.zeltrak.example.org"));
    p.drawText(QRect(16, 196, 268, 18), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("otzyv@zeltrak.example.org"));
    p.setPen(RoadGrey);
    p.setFont(artFont(11, false));
    p.drawText(QRect(16, 222, 268, 16), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Авторы: команда «Зелтрак»"));

    // The start button.
    const QRectF button = QRectF(startButton()).adjusted(0.5, 0.5, -0.5, -0.5);
    p.setPen(QPen(Green.darker(130), 1.0));
    p.setBrush(Green);
    p.drawRoundedRect(button, 7, 7);
    p.setPen(White);
    p.setFont(artFont(15, true));
    p.drawText(button, Qt::AlignCenter, QStringLiteral("Начать ▶"));

    // Frame.
    p.setPen(QPen(DeepBlue, 2.0));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(1, 1, 298, 298));
    return image;
}

} // namespace ScenePainter
