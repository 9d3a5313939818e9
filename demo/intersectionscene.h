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
// `missingArm` (1..3) leaves that arm out: a T-junction; -1 draws all four.
QImage picture(const QList<IntersectionVehicle> &vehicles, PriorityRules::Roads roads,
               int missingArm = -1);
// Where the arrow of each vehicle ends, in picture coordinates: every
// vehicle's arrow has a head of its own.
QList<QPointF> arrowTips(const QList<IntersectionVehicle> &vehicles);
} // namespace IntersectionScene
