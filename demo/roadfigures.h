#pragma once

#include "streetscene.h"

#include <QPainter>
#include <QPolygonF>

#include <functional>

// The upright things of a driver's-seat scene, drawn in flat shapes at the
// size their distance gives: `foot` is where the thing touches the road,
// `px` the pixels per metre there.
namespace RoadFigures {

// A vehicle seen from behind, or from the front when it is oncoming.
void vehicle(QPainter &p, const StreetScene::Item &item, QPointF foot, double px);
// A pedestrian, a cyclist or a rider of an electric scooter crossing the
// view, or a traffic controller.
void person(QPainter &p, const StreetScene::Item &item, QPointF foot, double px);
// A traffic light or the two-lamp railway crossing light on its post.
void light(QPainter &p, const StreetScene::Item &item, QPointF foot, double px);
// A lane arrow (1.18) on the road, from its outline in metres: `at(across,
// ahead)` places a point of the arrow relative to its start.
QPolygonF laneArrow(const QString &shape, const std::function<QPointF(double, double)> &at);

} // namespace RoadFigures
