#pragma once

#include <QImage>
#include <QPainter>
#include <QString>
#include <QStringList>

// Pictures of signs: a sign beside a country road seen from the driver's
// seat, and a numbered row of signs for "which of these signs" questions.
namespace RoadsideScene {

// The empty country road in perspective (sky, trees, grass, road), the
// background of the sign and traffic-light pictures.
void paintLandscape(QPainter &painter);
// The road in perspective with `signs` (top to bottom) on one post on the
// right-hand side.
QImage signOnRoad(const QStringList &signs);
// The signs side by side on a plain ground, numbered 1, 2, 3... below.
QImage numberedSigns(const QStringList &signs);

} // namespace RoadsideScene
