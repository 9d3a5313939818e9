#include "demoquestion.h"

#include <array>
#include <utility>

int TopicRank::fromTopicName(const QString &name)
{
    // Checked in this order: "железнодорожные переезды" must not be taken for
    // pedestrian crossings, "остановка и стоянка" not for stops of buses.
    static const std::array<std::pair<const char16_t *, int>, 36> keys = {{
        {u"переезд", Railway},
        {u"железнодорож", Railway},
        {u"магистрал", Motorways},
        {u"жил", Residential},
        {u"буксир", Towing},
        {u"перевоз", Carriage},
        {u"учебн", Carriage},
        {u"мотоцикл", Motorcycles},
        {u"неисправн", Malfunctions},
        {u"регистрационн", Malfunctions},
        {u"опознавательн", Malfunctions},
        {u"помощ", FirstAid},
        {u"медицин", FirstAid},
        {u"безопасн", SafeDriving},
        {u"аварийн", Lights},
        {u"фар", Lights},
        {u"световы", Lights},
        {u"светофор", TrafficLights},
        {u"регулировщ", TrafficLights},
        {u"остановка и стоянка", Stopping},
        {u"стоянк", Stopping},
        {u"перекр", Intersections},
        {u"пешеход", Crossings},
        {u"маршрутн", Crossings},
        {u"остановк", Crossings},
        {u"обгон", Overtaking},
        {u"скорост", Speed},
        {u"манёвр", Manoeuvres},
        {u"маневр", Manoeuvres},
        {u"расположен", Manoeuvres},
        {u"сигнал", Signals},
        {u"обязанност", DriverDuties},
        {u"общ", General},
        {u"термин", General},
        {u"понят", General},
        {u"знак", Signs},
    }};
    const QString lower = name.toLower();
    for (const auto &[key, rank] : keys) {
        if (lower.contains(QString::fromUtf16(key)))
            return rank;
    }
    return Unknown;
}
