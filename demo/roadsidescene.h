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
// Where a sign stands: in a town, outside one, or wherever the sign's own
// number puts it.
enum class Setting
{
    Either,
    Town,
    Country
};
// The setting a question's words name («в населённом пункте», «вне
// населённого пункта»), or Either.
Setting settingOf(const QString &text);
// The road from the driver's seat with `signs` (top to bottom) on one post
// at the right-hand edge, in the setting the sign belongs to (a crossing
// under 5.19.1, a junction under 2.4, a motorway with its dividing strip,
// a footpath, the end of the road at a one-way road, a town or a country
// road), with other traffic around.
QImage signOnRoad(const QStringList &signs, Setting setting = Setting::Either);
// The signs side by side on a plain ground, numbered 1, 2, 3... below.
QImage numberedSigns(const QStringList &signs);
// The same row lettered А, Б, В (up to four), for questions that ask which
// of the signs do something: «Только А», «А и Б», «Все».
QImage letteredSigns(const QStringList &signs);

} // namespace RoadsideScene
