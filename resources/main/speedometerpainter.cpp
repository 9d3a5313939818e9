#include "speedometerpainter.h"

#include "artpalette.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <numbers>

namespace SpeedometerPainter {

double needleAngle(double value)
{
    return 225.0 - value * 2.7;
}

namespace {

QPointF polar(QPointF centre, double radius, double degrees)
{
    const double rad = degrees * std::numbers::pi / 180.0;
    return centre + QPointF(radius * std::cos(rad), -radius * std::sin(rad));
}

QFont artFont(int pixels, bool bold)
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

} // namespace

QImage draw(int k, qreal scale)
{
    using namespace ArtPalette;
    QImage image(QSize(Width, Height) * scale, QImage::Format_RGB32);
    image.setDevicePixelRatio(scale);
    image.fill(DeepBlue);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    // Heading.
    p.setPen(White);
    p.setFont(artFont(11, true));
    p.drawText(QRect(0, 6, Width, 40), Qt::AlignHCenter | Qt::AlignTop,
               QStringLiteral("РАЗРЕШЁННАЯ\nМАКСИМАЛЬНАЯ\nСКОРОСТЬ"));

    // Dial: a speed-limit sign with a scale.
    const QPointF centre(Width / 2.0, 114.0);
    const double outer = 60.0;
    p.setPen(Qt::NoPen);
    p.setBrush(SignalRed);
    p.drawEllipse(centre, outer, outer);
    p.setBrush(White);
    p.drawEllipse(centre, outer - 8, outer - 8);

    // Scale: a green, amber and red arc under the ticks.
    const double arcRadius = outer - 13;
    const QRectF arcRect(centre.x() - arcRadius, centre.y() - arcRadius, 2 * arcRadius,
                         2 * arcRadius);
    const struct
    {
        double from, to;
        QColor colour;
    } bands[] = {{0, 40, SignalRed}, {40, 75, Amber}, {75, 100, Green}};
    for (const auto &band : bands) {
        p.setPen(QPen(band.colour, 4, Qt::SolidLine, Qt::FlatCap));
        const double start = needleAngle(band.from);
        const double span = needleAngle(band.to) - start;
        p.drawArc(arcRect, int(std::lround(start * 16)), int(std::lround(span * 16)));
    }

    for (int value = 0; value <= 100; value += 5) {
        const bool major = value % 20 == 0;
        const double angle = needleAngle(value);
        p.setPen(QPen(RoadGrey, major ? 2.0 : 1.0));
        p.drawLine(polar(centre, outer - 16, angle),
                   polar(centre, outer - (major ? 24 : 20), angle));
        if (major) {
            p.setPen(RoadGrey);
            p.setFont(artFont(9, true));
            const QPointF at = polar(centre, outer - 32, angle);
            p.drawText(QRectF(at.x() - 12, at.y() - 6, 24, 12), Qt::AlignCenter,
                       QString::number(value));
        }
    }

    // Needle.
    const double value = 5.0 * (k - 1);
    const double angle = needleAngle(value);
    QPainterPath needle;
    needle.moveTo(polar(centre, outer - 14, angle));
    needle.lineTo(polar(centre, 5, angle + 90));
    needle.lineTo(polar(centre, 10, angle + 180));
    needle.lineTo(polar(centre, 5, angle - 90));
    needle.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(DeepBlue);
    p.drawPath(needle);
    p.setBrush(Amber);
    p.drawEllipse(centre, 5, 5);

    // Unit under the dial.
    p.setPen(White);
    p.setFont(artFont(12, true));
    p.drawText(QRect(0, 180, Width, 22), Qt::AlignCenter, QStringLiteral("км/ч"));
    return image;
}

} // namespace SpeedometerPainter
