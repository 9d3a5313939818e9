#include "generators.h"

#include "controllerscene.h"
#include "questionbuilder.h"

namespace {

using Facing = ControllerScene::Facing;
using Arms = ControllerScene::Arms;

struct ControllerQuestion
{
    Facing facing;
    Arms arms;
    QString text;
    QStringList variants;
    int correct;
    QString comment;
};

// What each side of the controller allows, as п. 6.10 sets it out: arms
// out or lowered open the way from his sides (straight on and right), his
// right arm forward opens every way from his left side and only the right
// turn from his chest; whatever is not opened is closed.
const QString ArmsOutRule = QStringLiteral(
    "П. 6.10: когда руки регулировщика вытянуты в стороны или опущены, со стороны его левого и "
    "правого бока безрельсовым транспортным средствам разрешено движение прямо и направо, "
    "трамваю — только прямо; со стороны груди и спины движение запрещено.");
const QString ArmForwardRule = QStringLiteral(
    "П. 6.10: когда правая рука регулировщика вытянута вперёд, со стороны его левого бока "
    "безрельсовым транспортным средствам разрешено движение во всех направлениях, со стороны "
    "груди — только направо, а со стороны правого бока и спины движение запрещено.");

QList<ControllerQuestion> table()
{
    const QString where = QStringLiteral("Куда вам разрешено двигаться при таком сигнале "
                                         "регулировщика?");
    return {
        {Facing::LeftSide,
         Arms::Sides,
         where,
         {"Только прямо.", "Прямо и направо.", "Во всех направлениях.",
          "Никуда: движение запрещено."},
         2,
         ArmsOutRule + QStringLiteral(" Вы видите его левый бок, поэтому можете ехать прямо "
                                      "или направо, но не налево.")},
        {Facing::RightSide,
         Arms::Sides,
         "Разрешено ли вам повернуть направо при таком сигнале регулировщика?",
         {"Разрешено.", "Запрещено.", "Разрешено только после полной остановки."},
         1,
         ArmsOutRule + QStringLiteral(" Вы видите его правый бок: направо ехать можно, "
                                      "уступив пешеходам, которые переходят дорогу за его "
                                      "спиной или перед грудью (п. 13.1).")},
        {Facing::Chest,
         Arms::Sides,
         "Как вам следует поступить при таком сигнале регулировщика?",
         {"Проехать перекрёсток прямо.", "Повернуть направо, уступив дорогу пешеходам.",
          "Остановиться перед стоп-линией."},
         3,
         ArmsOutRule + QStringLiteral(" Регулировщик стоит к вам грудью, значит, движение "
                                      "для вас запрещено: остановитесь перед стоп-линией "
                                      "(п. 6.13).")},
        {Facing::Back,
         Arms::Sides,
         "Что означает для вас такой сигнал регулировщика?",
         {"Движение разрешено только прямо.", "Движение разрешено прямо и направо.",
          "Движение запрещено."},
         3,
         ArmsOutRule + QStringLiteral(" Регулировщик стоит к вам спиной: ехать нельзя ни в "
                                      "одном направлении.")},
        {Facing::LeftSide,
         Arms::Down,
         "Разрешено ли вам проехать перекрёсток прямо при таком сигнале регулировщика?",
         {"Разрешено.", "Запрещено.", "Разрешено только трамваю."},
         1,
         QStringLiteral("Опущенные руки значат то же, что руки, вытянутые в стороны. ") +
             ArmsOutRule},
        {Facing::LeftSide,
         Arms::RightForward,
         where,
         {"Только налево.", "Прямо и налево.", "Во всех направлениях, включая разворот.",
          "Никуда: движение запрещено."},
         3,
         ArmForwardRule + QStringLiteral(" Вы видите его левый бок: можно ехать прямо, "
                                         "направо, налево и развернуться.")},
        {Facing::Chest,
         Arms::RightForward,
         where,
         {"Только направо.", "Прямо и направо.", "Во всех направлениях.",
          "Никуда: движение запрещено."},
         1,
         ArmForwardRule + QStringLiteral(" Регулировщик стоит к вам грудью, поэтому вам "
                                         "разрешён только поворот направо.")},
        {Facing::RightSide,
         Arms::RightForward,
         "Вы намерены повернуть направо. Как вам следует поступить при таком сигнале "
         "регулировщика?",
         {"Повернуть направо, уступив дорогу пешеходам.", "Ждать разрешающего сигнала.",
          "Повернуть направо без остановки."},
         2,
         ArmForwardRule + QStringLiteral(" Вы видите его правый бок: движение для вас "
                                         "запрещено в любом направлении, в том числе "
                                         "направо.")},
        {Facing::Back,
         Arms::RightForward,
         "Разрешено ли вам повернуть направо при таком сигнале регулировщика?",
         {"Разрешено.", "Разрешено, если нет пешеходов.", "Запрещено."},
         3,
         ArmForwardRule + QStringLiteral(" Регулировщик стоит к вам спиной, а со стороны "
                                         "спины движение запрещено.")},
        {Facing::LeftSide,
         Arms::RightForward,
         "Разрешён ли вам разворот при таком сигнале регулировщика?",
         {"Разрешён.", "Запрещён.", "Разрешён только трамваю."},
         1,
         ArmForwardRule + QStringLiteral(" Со стороны левого бока «во всех направлениях» "
                                         "включает и разворот, если его не запрещают знаки "
                                         "или разметка.")},
    };
}

} // namespace

QList<DemoQuestion> Generators::controllerQuestions()
{
    QList<DemoQuestion> result;
    for (const ControllerQuestion &item : table()) {
        DemoQuestion question =
            QuestionBuilder::ordered(item.text, item.variants, item.correct, item.comment);
        QuestionBuilder::finish(question, ControllerScene::picture(item.facing, item.arms),
                                QStringLiteral("регулировщик"), TopicRank::TrafficLights);
        question.origin = QStringLiteral("регулировщик");
        result << question;
    }
    return result;
}
