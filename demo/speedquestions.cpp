#include "generators.h"

#include "questionbuilder.h"
#include "roadsidescene.h"

namespace {

// Where you drive, shown by the sign beside the road.
struct Road
{
    QString sign;
    QString where; // how the question names the road
    QString rule;  // the rule, for comments
    bool settlement;
    bool motorway;
    bool residential;
};

struct Vehicle
{
    QString instrumental; // "на легковом автомобиле"
    QString rule;         // how its limit is stated in comments
    int outside;          // limit on ordinary roads outside settlements
    int motorway;         // limit on motorways; 0: not asked
    bool towing;
};

int limit(const Road &road, const Vehicle &vehicle)
{
    if (road.residential)
        return 20;
    int value = road.motorway ? vehicle.motorway : vehicle.outside;
    if (road.settlement)
        value = 60;
    if (vehicle.towing)
        value = std::min(value, 50);
    return value;
}

QString limitComment(const Road &road, const Vehicle &vehicle, int value)
{
    if (road.residential)
        return QStringLiteral("%1 скорость не должна превышать 20 км/ч.").arg(road.rule);
    if (vehicle.towing)
        return QStringLiteral("При буксировке механического транспортного средства скорость не "
                              "должна превышать 50 км/ч%1.")
            .arg(road.settlement ? QStringLiteral(", хотя в населённом пункте разрешено 60 км/ч")
                                 : QString());
    if (road.settlement)
        return QStringLiteral("%1 скорость не должна превышать 60 км/ч.").arg(road.rule);
    return QStringLiteral("%1 %2 — не более %3 км/ч.").arg(road.rule, vehicle.rule).arg(value);
}

} // namespace

QList<DemoQuestion> Generators::speedQuestions()
{
    const QList<Road> roads = {
        {"5.23.1", "за этим знаком", "В населённых пунктах", true, false, false},
        {"5.24.1", "за этим знаком", "Вне населённых пунктов на дорогах, кроме автомагистралей,",
         false, false, false},
        {"5.1", "по этой дороге", "На автомагистралях", false, true, false},
        {"5.25", "за этим знаком",
         "В населённом пункте, обозначенном синим знаком 5.25, скорость ограничивается как вне "
         "населённых пунктов:",
         false, false, false},
        {"5.21", "за этим знаком", "В жилой зоне", false, false, true},
    };
    const QList<Vehicle> vehicles = {
        {"на легковом автомобиле", "для легковых автомобилей", 90, 110, false},
        {"на мотоцикле", "для мотоциклов", 90, 90, false},
        {"на грузовом автомобиле с разрешённой максимальной массой 3,5 т",
         "для грузовых автомобилей с разрешённой максимальной массой не более 3,5 т", 90, 110,
         false},
        {"на грузовом автомобиле с разрешённой максимальной массой 12 т",
         "для грузовых автомобилей с разрешённой максимальной массой более 3,5 т", 70, 90, false},
        {"на легковом автомобиле с прицепом", "для легковых автомобилей с прицепом", 70, 90, false},
        {"на легковом автомобиле, буксируя неисправный автомобиль на гибкой сцепке", "", 50, 0,
         true},
    };
    const QList<int> scale = {20, 40, 50, 60, 70, 80, 90, 100, 110, 130};

    QList<DemoQuestion> result;
    DemoRandom random(0x5BEED);
    for (const Road &road : roads) {
        const QImage picture = RoadsideScene::signOnRoad({road.sign});
        for (const Vehicle &vehicle : vehicles) {
            if (road.motorway && vehicle.motorway == 0)
                continue;
            // In a residential zone the limit is the same for everyone: two
            // vehicles are enough.
            if (road.residential && vehicle.outside != 90)
                continue;
            const int value = limit(road, vehicle);
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
                    .arg(road.where, vehicle.instrumental),
                variants, at - first + 1, limitComment(road, vehicle, value));
            QuestionBuilder::finish(question, picture, QStringLiteral("скорость"),
                                    TopicRank::Speed);
            result << question;
        }
    }
    return result;
}
