#include "vehiclepainter.h"

#include "picturestyle.h"

using namespace PictureStyle;

namespace {

const QColor Glass{0x2B, 0x3A, 0x4C};

QColor darker(const QColor &color)
{
    return color.darker(125);
}

// All shapes below are drawn heading right (+x), centred on the origin.
void car(QPainter &p, const QColor &color)
{
    p.setBrush(color);
    p.drawRoundedRect(QRectF(-25, -12, 50, 24), 7, 7);
    p.setBrush(Glass);
    p.drawPolygon(QPolygonF{QPointF(7, -10), QPointF(14, -8), QPointF(14, 8), QPointF(7, 10)});
    p.drawPolygon(QPolygonF{QPointF(-14, -9), QPointF(-19, -7), QPointF(-19, 7), QPointF(-14, 9)});
    p.setBrush(darker(color));
    p.drawRoundedRect(QRectF(-13, -9, 19, 18), 3, 3);
    p.setBrush(QColor(0xFF, 0xF3, 0xC4));
    p.drawEllipse(QPointF(23, -8), 2, 2);
    p.drawEllipse(QPointF(23, 8), 2, 2);
}

void truck(QPainter &p, const QColor &color)
{
    p.setBrush(QColor(0xC8, 0xCC, 0xD2));
    p.drawRect(QRectF(-36, -14, 50, 28));
    p.setPen(QPen(QColor(0x9A, 0x9E, 0xA3), 1.5));
    p.drawLine(QPointF(-36, 0), QPointF(14, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawRoundedRect(QRectF(16, -13, 20, 26), 4, 4);
    p.setBrush(Glass);
    p.drawRect(QRectF(29, -11, 5, 22));
}

void bus(QPainter &p, const QColor &color)
{
    p.setBrush(color);
    p.drawRoundedRect(QRectF(-40, -14, 80, 28), 5, 5);
    p.setBrush(Glass);
    p.drawRect(QRectF(33, -12, 5, 24));
    p.setBrush(darker(color));
    p.drawRect(QRectF(-34, -8, 62, 16));
    p.setBrush(White);
    p.drawRect(QRectF(-20, -5, 10, 10));
    p.drawRect(QRectF(4, -5, 10, 10));
}

void motorcycle(QPainter &p, const QColor &color)
{
    // Drawn a third larger than to scale, so that it is not lost beside cars.
    p.scale(1.3, 1.3);
    p.setBrush(QColor(0x22, 0x22, 0x22));
    p.drawRoundedRect(QRectF(-18, -3, 36, 6), 3, 3);
    p.setBrush(color);
    p.drawRoundedRect(QRectF(-12, -6, 22, 12), 5, 5);
    p.setPen(QPen(QColor(0x22, 0x22, 0x22), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(11, -9), QPointF(11, 9));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xF5, 0xF5, 0xF5));
    p.drawEllipse(QPointF(-3, 0), 5.5, 5.5);
}

void tram(QPainter &p, const QColor &color)
{
    p.setBrush(color);
    p.drawRoundedRect(QRectF(-52, -15, 104, 30), 8, 8);
    p.setBrush(SignalRed);
    p.drawRect(QRectF(-44, -4, 88, 8));
    p.setBrush(darker(color));
    p.drawRect(QRectF(-2, -15, 4, 30));
    p.setBrush(Glass);
    p.drawRect(QRectF(44, -12, 5, 24));
}

} // namespace

namespace VehiclePainter {

double length(Type type)
{
    switch (type) {
    case Type::Car:
        return 50;
    case Type::Truck:
        return 72;
    case Type::Bus:
        return 80;
    case Type::Motorcycle:
        return 47;
    case Type::Tram:
        return 104;
    }
    return 50;
}

void paint(QPainter &painter, Type type, const QPointF &centre, double headingDegrees,
           const QColor &color)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(centre);
    painter.rotate(headingDegrees);
    painter.setPen(Qt::NoPen);
    // A soft shadow keeps light vehicles visible on grey asphalt.
    painter.setBrush(QColor(0, 0, 0, 40));
    const double half = length(type) / 2;
    const double halfWidth = type == Type::Motorcycle ? 9 : 14;
    painter.drawRoundedRect(QRectF(-half + 2, -halfWidth, 2 * half, 2 * halfWidth + 2), 6, 6);
    switch (type) {
    case Type::Car:
        car(painter, color);
        break;
    case Type::Truck:
        truck(painter, color);
        break;
    case Type::Bus:
        bus(painter, color);
        break;
    case Type::Motorcycle:
        motorcycle(painter, color);
        break;
    case Type::Tram:
        tram(painter, color);
        break;
    }
    painter.restore();
}

} // namespace VehiclePainter
