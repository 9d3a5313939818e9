#include "demoquestion.h"

#include <array>
#include <utility>

int TopicRank::fromTopicName(const QString &name)
{
    // Checked in this order: "железнодорожные переезды" must not be taken for
    // pedestrian crossings, "остановка и стоянка" not for stops of buses.
    static const std::array<std::pair<const char16_t *, int>, 40> keys = {{
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
        {u"ответственн", Liability},
        {u"специальн", SpecialSignals},
        {u"разметк", Markings},
        {u"мобильност", General},
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

QString TopicRank::name(int rank)
{
    static const std::array<std::pair<int, const char16_t *>, 25> names = {{
        {General, u"Общие положения и термины"},
        {DriverDuties, u"Обязанности водителей"},
        {SpecialSignals, u"Применение специальных сигналов"},
        {Signs, u"Дорожные знаки"},
        {Markings, u"Дорожная разметка"},
        {TrafficLights, u"Сигналы светофора и регулировщика"},
        {Signals, u"Сигналы указателей поворота"},
        {Manoeuvres, u"Начало движения, маневрирование, расположение на проезжей части"},
        {Speed, u"Скорость движения"},
        {Overtaking, u"Обгон, опережение, встречный разъезд"},
        {Stopping, u"Остановка и стоянка"},
        {Intersections, u"Проезд перекрёстков"},
        {Crossings, u"Пешеходные переходы и остановки маршрутных транспортных средств"},
        {Railway, u"Движение через железнодорожные пути"},
        {Motorways, u"Движение по автомагистралям"},
        {Residential, u"Движение в жилых зонах"},
        {Lights, u"Внешние световые приборы и звуковые сигналы"},
        {Towing, u"Буксировка"},
        {Carriage, u"Перевозка людей и грузов, учебная езда"},
        {Motorcycles, u"Мотоциклы"},
        {Malfunctions, u"Техническое состояние, регистрационные и опознавательные знаки"},
        {SafeDriving, u"Безопасность движения и техника управления"},
        {FirstAid, u"Первая помощь"},
        {Liability, u"Ответственность водителя, страхование и оформление ДТП"},
        {Unknown, u"Прочие вопросы"},
    }};
    for (const auto &[key, text] : names) {
        if (key == rank)
            return QString::fromUtf16(text);
    }
    return QString::fromUtf16(u"Прочие вопросы");
}
