#include "scenekit.h"

#include "questionbuilder.h"

namespace SceneKit {

Item thing(Kind kind, double across, double ahead, const QColor &color)
{
    Item item;
    item.kind = kind;
    item.across = across;
    item.ahead = ahead;
    item.color = color;
    return item;
}

Item oncoming(Kind kind, double across, double ahead, const QColor &color)
{
    Item item = thing(kind, across, ahead, color);
    item.oncoming = true;
    return item;
}

Item sign(const QString &numbers, double across, double ahead, double scale)
{
    Item item = thing(Kind::Sign, across, ahead);
    item.sign = numbers;
    item.scale = scale;
    return item;
}

Item light(Kind kind, const QString &state, double across, double ahead, double scale)
{
    Item item = thing(kind, across, ahead);
    item.light = state;
    item.scale = scale;
    return item;
}

Item controller(const QString &arms, double across, double ahead)
{
    Item item = thing(Kind::Controller, across, ahead);
    item.light = arms;
    return item;
}

StreetScene street(bool town, StreetScene::Line centre)
{
    StreetScene scene;
    scene.centre = centre;
    if (town)
        scene.items << thing(Kind::Houses, 0, 0);
    return scene;
}

DemoQuestion question(const StreetScene &scene, const QString &text, const QStringList &variants,
                      int correct, const QString &comment, int topicRank)
{
    DemoQuestion result = QuestionBuilder::ordered(text, variants, correct, comment);
    QuestionBuilder::finish(result, scene.render(), QStringLiteral("сцены"), topicRank);
    result.origin = QStringLiteral("сцена %1: %2").arg(DriverView, text.left(40));
    return result;
}

} // namespace SceneKit
