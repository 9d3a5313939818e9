#pragma once

#include <QImage>
#include <QPainter>
#include <QString>
#include <QStringList>

// Pictures of signs: a sign in its place on a road seen from the driver's
// seat, and a numbered row of signs for "which of these signs" questions.
namespace RoadsideScene {

// The empty country road in perspective (sky, trees, grass, road), the
// background of the sign and traffic-light pictures.
void paintLandscape(QPainter &painter);
// The road from the driver's seat with `signs` (top to bottom) on one post
// at the right-hand edge, in the setting the sign belongs to (a crossing
// under 5.19.1, a junction under 2.4, a town or a country road), with other
// traffic around.
QImage signOnRoad(const QStringList &signs);
// The signs side by side on a plain ground, numbered 1, 2, 3... below.
QImage numberedSigns(const QStringList &signs);

} // namespace RoadsideScene
