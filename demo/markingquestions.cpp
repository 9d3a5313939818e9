#include "generators.h"

#include "markingscene.h"
#include "questionbuilder.h"

namespace {

using Centre = MarkingLayout::Centre;

struct MarkingQuestion
{
    MarkingLayout layout;
    QString text;
    QStringList variants;
    int correct;
    QString comment;
};

MarkingLayout centreLine(Centre centre, int lanesEachWay = 1)
{
    MarkingLayout layout;
    layout.centre = centre;
    layout.oncomingLanes = lanesEachWay;
    layout.ourLanes = lanesEachWay;
    layout.carLane = lanesEachWay - 1;
    return layout;
}

QList<MarkingQuestion> table()
{
    MarkingLayout returning = centreLine(Centre::BrokenOnOurSide);
    returning.carInOncomingLane = true;
    MarkingLayout yellowSolid = centreLine(Centre::Broken);
    yellowSolid.yellowSolidEdge = true;
    MarkingLayout yellowBroken = centreLine(Centre::Broken);
    yellowBroken.yellowBrokenEdge = true;
    MarkingLayout zigzag = centreLine(Centre::Broken);
    zigzag.zigzag = true;
    MarkingLayout zebra = centreLine(Centre::Broken);
    zebra.zebra = true;
    MarkingLayout giveWay = centreLine(Centre::Solid);
    giveWay.giveWayLine = true;
    giveWay.giveWayTriangle = true;
    MarkingLayout edge = centreLine(Centre::Broken);
    edge.edgeLine = true;
    // Lane arrows (1.18) are asked about in driver's-seat scenes, where
    // they read as they do on the road.
    MarkingLayout acceleration = centreLine(Centre::Solid);
    acceleration.ourLanes = 2;
    acceleration.wideBroken = true;
    acceleration.carLane = 0;

    return {
        {centreLine(Centre::Solid),
         "Разрешено ли вам выехать на полосу встречного движения, пересекая эту линию разметки?",
         {"Разрешено, если нет встречных транспортных средств.", "Запрещено."},
         2,
         "Линия 1.1 разделяет потоки противоположных направлений, и пересекать её запрещается."},
        {centreLine(Centre::DoubleSolid, 2),
         "Разрешено ли вам развернуться, пересекая эту разметку?",
         {"Разрешено.", "Разрешено, если разворот не помешает встречным транспортным средствам.",
          "Запрещено."},
         3,
         "Двойную сплошную линию 1.3 пересекать запрещается, в том числе для разворота."},
        {centreLine(Centre::Broken),
         "Разрешено ли пересекать такую линию разметки?",
         {"Разрешено с любой стороны.", "Разрешено только для обгона.", "Запрещено."},
         1,
         "Прерывистую линию 1.5 разрешается пересекать с любой стороны."},
        {centreLine(Centre::BrokenOnOurSide),
         "Разрешено ли вам начать обгон, пересекая эту разметку?",
         {"Разрешено.", "Запрещено."},
         1,
         "Линию 1.11 разрешается пересекать со стороны прерывистой линии; с вашей стороны "
         "прерывистая, поэтому обгон начать можно, если он безопасен."},
        {centreLine(Centre::SolidOnOurSide),
         "Разрешено ли вам начать обгон, пересекая эту разметку?",
         {"Разрешено, если обгон будет безопасен.", "Запрещено."},
         2,
         "Со стороны сплошной линии разметку 1.11 пересекать можно только при завершении обгона "
         "или объезда, а начинать обгон через неё запрещено."},
        {returning,
         "Вы обогнали грузовой автомобиль. Разрешено ли вам вернуться на свою полосу, пересекая "
         "эту разметку?",
         {"Разрешено.", "Запрещено.",
          "Разрешено только после того, как сплошная линия "
          "закончится."},
         1,
         "Со стороны сплошной линии разметку 1.11 разрешается пересекать при завершении обгона "
         "или объезда."},
        {yellowSolid,
         "Что запрещает сплошная жёлтая линия у края проезжей части?",
         {"Только стоянку.", "Остановку и стоянку.", "Движение по этой полосе."},
         2,
         "Линия 1.4 обозначает места, где запрещена остановка, а значит и стоянка."},
        {yellowBroken,
         "Что запрещает прерывистая жёлтая линия у края проезжей части?",
         {"Только стоянку.", "Остановку и стоянку.", "Только остановку грузовых автомобилей."},
         1,
         "Линия 1.10 обозначает места, где запрещена стоянка; остановка там разрешена."},
        {zigzag,
         "Что обозначает жёлтая зигзагообразная линия у края проезжей части?",
         {"Место стоянки легковых автомобилей.",
          "Место остановки маршрутных транспортных средств или стоянки такси.",
          "Участок, где запрещён обгон."},
         2,
         "Разметка 1.17 обозначает места остановок маршрутных транспортных средств и стоянки "
         "такси."},
        {zebra,
         "Разрешён ли обгон на таком участке дороги?",
         {"Разрешён, если на переходе нет пешеходов.",
          "Разрешён только тихоходных "
          "транспортных средств.",
          "Запрещён."},
         3,
         "Разметка 1.14.1 обозначает пешеходный переход, а на пешеходных переходах обгон "
         "запрещён."},
        {giveWay,
         "Что обозначает поперечная линия из треугольников перед перекрёстком?",
         {"Место, где нужно остановиться в любом случае.",
          "Место, где при необходимости нужно остановиться, уступая дорогу транспортным "
          "средствам на пересекаемой дороге.",
          "Начало искусственной неровности."},
         2,
         "Разметка 1.13 обозначает место, где водитель при необходимости останавливается, "
         "уступая дорогу транспортным средствам на пересекаемой дороге; треугольник 1.20 "
         "предупреждает о ней."},
        {edge,
         "Разрешено ли пересечь сплошную линию у края проезжей части, чтобы остановиться на "
         "обочине, где остановка не запрещена?",
         {"Разрешено.", "Запрещено.", "Разрешено только при вынужденной остановке."},
         1,
         "Линию 1.2, обозначающую край проезжей части, разрешается пересекать для остановки на "
         "обочине там, где остановка разрешена."},
        {acceleration,
         "Что обозначает широкая прерывистая линия справа от основной полосы?",
         {"Край проезжей части.",
          "Границу между полосой разгона или торможения и основной "
          "полосой.",
          "Полосу для маршрутных транспортных средств."},
         2,
         "Разметка 1.8 обозначает границу между полосой разгона или торможения и основной полосой "
         "проезжей части."},
        {centreLine(Centre::ReversibleDouble, 2),
         "Что обозначает двойная прерывистая линия?",
         {"Границы полос, на которых осуществляется реверсивное регулирование.",
          "Край проезжей части.", "Полосу, по которой движение запрещено."},
         1,
         "Двойная прерывистая линия 1.9 обозначает границы полос, на которых осуществляется "
         "реверсивное регулирование."},
    };
}

} // namespace

QList<DemoQuestion> Generators::markingQuestions()
{
    QList<DemoQuestion> result;
    for (const MarkingQuestion &item : table()) {
        DemoQuestion question =
            QuestionBuilder::ordered(item.text, item.variants, item.correct, item.comment);
        QuestionBuilder::finish(question, MarkingScene::picture(item.layout),
                                QStringLiteral("разметка"), TopicRank::Markings);
        result << question;
    }
    return result;
}
