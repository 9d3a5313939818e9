#pragma once

#include <QColor>
#include <QPainter>
#include <QPointF>

// Vehicles seen from above, for road and intersection sketches.
namespace VehiclePainter {

enum class Type
{
    Car,
    Truck,
    Bus,
    Motorcycle,
    Tram
};

// Length along the heading, in pixels, at the standard scale.
double length(Type type);

// Draws a vehicle centred on `centre`, its front pointing at `headingDegrees`
// (0 = right, 90 = down, as on screen).
void paint(QPainter &painter, Type type, const QPointF &centre, double headingDegrees,
           const QColor &color);

} // namespace VehiclePainter
