#include "generators.h"

#include "questionbuilder.h"
#include "roadsidescene.h"
#include "scenekit.h"
#include "speedrules.h"

using SpeedRules::Road;
using SpeedRules::Vehicle;

namespace {

// Where you drive, shown by the sign beside the road.
struct RoadScene
{
    QString sign;
    Road road;
    QString rule; // the rule, for comments
};

struct VehicleName
{
    Vehicle vehicle;
    QString instrumental; // "на легковом автомобиле"
    QString rule;         // how its limit is stated in comments
};

QString limitComment(const RoadScene &road, const VehicleName &vehicle, int value)
{
    if (road.road == Road::Residential)
        return QStringLiteral("%1 скорость не должна превышать 20 км/ч (п. 10.2).").arg(road.rule);
    if (vehicle.vehicle == Vehicle::TowingCar)
        return QStringLiteral("При буксировке механического транспортного средства скорость не "
                              "должна превышать 50 км/ч%1.")
            .arg(road.road == Road::Settlement
                     ? QStringLiteral(", хотя в населённом пункте разрешено 60 км/ч")
                     : QString());
    if (road.road == Road::Settlement)
        return QStringLiteral("%1 скорость не должна превышать 60 км/ч (п. 10.2).").arg(road.rule);
    return QStringLiteral("%1 %2 — не более %3 км/ч (п. 10.3).")
        .arg(road.rule, vehicle.rule)
        .arg(value);
}

} // namespace

QList<DemoQuestion> Generators::speedQuestions()
{
    const QList<RoadScene> roads = {
        {"5.23.1", Road::Settlement, "В населённых пунктах"},
        {"5.24.1", Road::Outside, "Вне населённых пунктов на дорогах, кроме автомагистралей,"},
        {"5.1", Road::Motorway, "На автомагистралях"},
        {"5.25", Road::Outside,
         "В населённом пункте, обозначенном синим знаком 5.25, скорость ограничивается как вне "
         "населённых пунктов:"},
        {"5.21", Road::Residential, "В жилой зоне"},
    };
    const QList<VehicleName> vehicles = {
        {Vehicle::Car, "на легковом автомобиле", "для легковых автомобилей"},
        {Vehicle::Motorcycle, "на мотоцикле", "для мотоциклов"},
        {Vehicle::LightTruck, "на грузовом автомобиле с разрешённой максимальной массой 3,5 т",
         "для грузовых автомобилей с разрешённой максимальной массой не более 3,5 т"},
        {Vehicle::HeavyTruck, "на грузовом автомобиле с разрешённой максимальной массой 12 т",
         "для грузовых автомобилей с разрешённой максимальной массой более 3,5 т"},
        {Vehicle::CarWithTrailer, "на легковом автомобиле с прицепом",
         "для легковых автомобилей с прицепом"},
        {Vehicle::TowingCar,
         "на легковом автомобиле, буксируя неисправный автомобиль на гибкой сцепке", ""},
    };
    const QList<int> scale = {20, 40, 50, 60, 70, 80, 90, 100, 110, 130};
    // One question per sign and vehicle a category A or B driver meets, so
    // that no two questions differ by the vehicle alone; a sign is asked
    // twice only where the second vehicle has a limit of its own.
    const QList<QPair<QString, Vehicle>> asked = {
        {"5.23.1", Vehicle::Car},        {"5.23.1", Vehicle::TowingCar},
        {"5.24.1", Vehicle::Motorcycle}, {"5.24.1", Vehicle::CarWithTrailer},
        {"5.1", Vehicle::Car},           {"5.1", Vehicle::CarWithTrailer},
        {"5.25", Vehicle::Car},          {"5.21", Vehicle::Motorcycle},
    };

    QList<DemoQuestion> result;
    DemoRandom random(0x5BEED);
    for (const RoadScene &road : roads) {
        const QImage picture = RoadsideScene::signOnRoad({road.sign});
        for (const VehicleName &vehicle : vehicles) {
            const int value = SpeedRules::limit(vehicle.vehicle, road.road);
            if (value == 0 || !asked.contains(qMakePair(road.sign, vehicle.vehicle)))
                continue;
            // Variants: the right limit among its neighbours on the scale,
            // in ascending order like a speedometer.
            const int at = static_cast<int>(scale.indexOf(value));
            const int count = 3 + (random.bounded(3) == 0 ? 1 : 0);
            int first =
                std::clamp(at - random.bounded(count), 0, static_cast<int>(scale.size()) - count);
            QStringList variants;
            for (int i = 0; i < count; ++i)
                variants << QStringLiteral("%1 км/ч.").arg(scale.at(first + i));
            DemoQuestion question = QuestionBuilder::ordered(
                QStringLiteral("С какой наибольшей скоростью вы можете двигаться %1 %2?")
                    .arg(road.road == Road::Motorway ? QStringLiteral("по этой дороге")
                                                     : QStringLiteral("за этим знаком"),
                         vehicle.instrumental),
                variants, at - first + 1, limitComment(road, vehicle, value));
            QuestionBuilder::finish(question, picture, QStringLiteral("скорость"),
                                    TopicRank::Speed);
            question.origin = QStringLiteral("скорость, %1").arg(SceneKit::DriverView);
            result << question;
        }
    }
    return result;
}
