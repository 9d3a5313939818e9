#include "generators.h"

#include "questionbuilder.h"
#include "trafficlightscene.h"

namespace {

using Lamp = LightState::Lamp;
using Kind = StreetScene::Kind;

// The main lamps and the additional sections of one light: `main` is
// "red", "yellow" or "green"; each section is absent, dark or lit.
enum class Section
{
    None,
    Off,
    On
};

LightState light(const QString &main, Section right, Section left)
{
    LightState state;
    state.red = main == u"red" ? Lamp::On : Lamp::Off;
    state.yellow = main == u"yellow" ? Lamp::On : Lamp::Off;
    state.green = main == u"green" ? Lamp::On : Lamp::Off;
    state.rightSection = right != Section::None;
    state.rightArrow = right == Section::On ? Lamp::On : Lamp::Off;
    state.leftSection = left != Section::None;
    state.leftArrow = left == Section::On ? Lamp::On : Lamp::Off;
    return state;
}

StreetScene::Item at(Kind kind, double across, double ahead, bool oncoming = false)
{
    StreetScene::Item item;
    item.kind = kind;
    item.across = across;
    item.ahead = ahead;
    item.oncoming = oncoming;
    item.color = QColor(0x6B, 0x7F, 0x3A);
    return item;
}

struct SectionQuestion
{
    LightState state;
    QString text;
    QStringList variants;
    int correct;
    QString comment;
};

// The meaning of an additional section (п. 6.3) and what the driver who
// follows its arrow owes others (п. 13.5).
const QString SectionRule = QStringLiteral(
    "П. 6.3: зелёная стрелка в дополнительной секции разрешает движение в своём направлении, а "
    "выключенный сигнал дополнительной секции запрещает движение в направлении, которое она "
    "регулирует.");
const QString YieldRule = QStringLiteral(
    "Двигаясь по стрелке, включённой одновременно с жёлтым или красным сигналом, водитель "
    "уступает дорогу транспортным средствам, движущимся с других направлений (п. 13.5).");

QList<SectionQuestion> table()
{
    LightState greenRightOff = light("green", Section::Off, Section::None);
    LightState greenLeftOff = light("green", Section::None, Section::Off);
    greenLeftOff.traffic << at(Kind::Car, -1.75, 30, true);
    LightState redLeftOn = light("red", Section::None, Section::On);
    redLeftOn.traffic << at(Kind::Car, -1.75, 27, true);
    LightState yellowRightOn = light("yellow", Section::On, Section::None);
    LightState redBothOn = light("red", Section::On, Section::On);
    LightState redRightOff = light("red", Section::Off, Section::None);
    LightState greenRightOn = light("green", Section::On, Section::None);
    greenRightOn.traffic << at(Kind::Pedestrian, 5.6, 18) << at(Kind::Pedestrian, 6.6, 19.5);
    LightState redRightOnBusy = light("red", Section::On, Section::None);
    redRightOnBusy.traffic << at(Kind::Pedestrian, 5.8, 18.5);
    LightState yellowLeftOn = light("yellow", Section::None, Section::On);
    LightState greenBothOff = light("green", Section::Off, Section::Off);

    return {
        {greenRightOff,
         "Разрешено ли вам повернуть направо при таких сигналах светофора?",
         {"Разрешено.", "Разрешено, если на переходе нет пешеходов.", "Запрещено."},
         3,
         SectionRule + QStringLiteral(" Секция со стрелкой направо не горит, поэтому поворот "
                                      "направо запрещён, хотя основной сигнал зелёный.")},
        {greenRightOff,
         "Разрешено ли вам проехать перекрёсток прямо при таких сигналах?",
         {"Разрешено.", "Запрещено, пока не включится стрелка."},
         1,
         SectionRule + QStringLiteral(" Выключенная секция запрещает только поворот направо; "
                                      "прямо разрешает ехать зелёный основной сигнал.")},
        {greenLeftOff,
         "Разрешён ли вам поворот налево при таких сигналах светофора?",
         {"Разрешён, если уступить встречным.", "Разрешён.", "Запрещён."},
         3,
         SectionRule + QStringLiteral(" Секция со стрелкой налево выключена: поворот налево и "
                                      "разворот запрещены до её включения.")},
        {greenLeftOff,
         "В каких направлениях вам разрешено движение при таких сигналах светофора?",
         {"Во всех направлениях.", "Прямо и направо.", "Только прямо."},
         2,
         SectionRule + QStringLiteral(" Дополнительная секция регулирует только поворот "
                                      "налево; прямо и направо разрешает зелёный основной "
                                      "сигнал.")},
        {redLeftOn,
         "Разрешён ли вам разворот при таких сигналах светофора?",
         {"Разрешён, если его не запрещают знаки.", "Запрещён: горит красный.",
          "Разрешён только при отсутствии встречных."},
         1,
         QStringLiteral("П. 6.3: стрелка, разрешающая поворот налево, разрешает и разворот, "
                        "если он не запрещён дорожными знаками. ") +
             YieldRule},
        {redLeftOn,
         "Вы поворачиваете налево по стрелке дополнительной секции. Кому вы должны уступить "
         "дорогу?",
         {"Никому: стрелка даёт вам преимущество.", "Только встречному автомобилю.",
          "Транспорту с других направлений."},
         3,
         YieldRule + QStringLiteral(" Встречный автомобиль — одно из них.")},
        {yellowRightOn,
         "Можно ли повернуть направо, когда стрелка горит вместе с жёлтым сигналом?",
         {"Можно, уступив дорогу транспорту с других направлений.",
          "Нельзя: жёлтый сигнал запрещает любое движение через перекрёсток.",
          "Можно, и уступать никому не нужно: стрелка даёт преимущество."},
         1,
         SectionRule + QStringLiteral(" ") + YieldRule},
        {redBothOn,
         "В каких направлениях вам разрешено движение при таких сигналах светофора?",
         {"Только направо.", "Налево, направо и в обратном направлении.", "Во всех направлениях.",
          "Ни в каком: горит красный сигнал основного светофора."},
         2,
         SectionRule +
             QStringLiteral(" Горят обе стрелки: можно повернуть направо, налево и "
                            "развернуться, а прямо запрещает красный сигнал. ") +
             YieldRule},
        {redRightOff,
         "Можно ли при таких сигналах повернуть направо, уступив дорогу пешеходам?",
         {"Можно.", "Нельзя.", "Можно, если нет встречных."},
         2,
         SectionRule + QStringLiteral(" Горит красный, а секция со стрелкой направо выключена: "
                                      "повернуть направо нельзя.")},
        {greenRightOn,
         "Вы поворачиваете направо. Кому вы должны уступить дорогу при таких сигналах?",
         {"Никому: при зелёной стрелке преимущество у вас.",
          "Пешеходам, переходящим дорогу, на которую вы поворачиваете.",
          "Всем транспортным средствам, которые едут навстречу."},
         2,
         QStringLiteral("При повороте направо водитель уступает дорогу пешеходам и "
                        "велосипедистам, пересекающим проезжую часть, на которую он "
                        "поворачивает (п. 13.1), даже когда горят и основной сигнал, и "
                        "стрелка.")},
        {redRightOnBusy,
         "Вы поворачиваете направо по стрелке. Кому вы должны уступить дорогу при этом?",
         {"Никому: стрелка разрешает движение.",
          "Только пешеходам, которые переходят дорогу справа.",
          "Пешеходам и транспорту с других направлений."},
         3,
         QStringLiteral("Поворачивая, вы уступаете пешеходам на дороге, на которую "
                        "поворачиваете (п. 13.1). ") +
             YieldRule},
        {yellowLeftOn,
         "Разрешён ли вам поворот налево при таких сигналах светофора?",
         {"Разрешён, если уступить дорогу транспорту с других направлений.",
          "Запрещён, пока горит жёлтый сигнал основного светофора.",
          "Разрешён, и у вас преимущество перед всеми остальными."},
         1,
         SectionRule + QStringLiteral(" ") + YieldRule},
        {greenBothOff,
         "Куда вам разрешено ехать при таких сигналах светофора?",
         {"Прямо, направо и налево.", "Только прямо.", "Прямо и направо."},
         2,
         SectionRule + QStringLiteral(" Обе дополнительные секции выключены: повороты "
                                      "запрещены, зелёный основной сигнал разрешает ехать "
                                      "только прямо.")},
        {greenRightOn,
         "Разрешено ли вам повернуть направо при таких сигналах светофора?",
         {"Разрешено.", "Запрещено.", "Разрешено только после остановки у стоп-линии."},
         1,
         SectionRule + QStringLiteral(" Горят и зелёный основной сигнал, и стрелка направо: "
                                      "поворот разрешён, пешеходам на пересекаемой дороге "
                                      "нужно уступить (п. 13.1).")},
    };
}

} // namespace

QList<DemoQuestion> Generators::sectionQuestions()
{
    QList<DemoQuestion> result;
    for (const SectionQuestion &item : table()) {
        DemoQuestion question =
            QuestionBuilder::ordered(item.text, item.variants, item.correct, item.comment);
        QuestionBuilder::finish(question, TrafficLightScene::picture(item.state),
                                QStringLiteral("секции светофора"), TopicRank::TrafficLights);
        result << question;
    }
    return result;
}
