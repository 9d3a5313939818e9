#pragma once

#include "priorityrules.h"
#include "vehiclepainter.h"

#include <QColor>
#include <QImage>
#include <QList>

// A four-way intersection seen from above, with the vehicles of a priority
// question waiting at its approaches and arrows showing where each goes.
struct IntersectionVehicle
{
    PriorityRules::Mover mover;
    VehiclePainter::Type type;
    QColor color;
};

namespace IntersectionScene {
QImage picture(const QList<IntersectionVehicle> &vehicles, PriorityRules::Roads roads);
}
