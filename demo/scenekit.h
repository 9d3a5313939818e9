#pragma once

#include "demoquestion.h"
#include "streetscene.h"

// Shorthands for the driver's-seat questions: the things of a scene and the
// finished question.
namespace SceneKit {

using Item = StreetScene::Item;
using Kind = StreetScene::Kind;

// Marks a question's origin as a scene from the driver's seat.
inline const QString DriverView = QStringLiteral("с места водителя");

inline const QColor Blue(0x2F, 0x6D, 0xB5);
inline const QColor Silver(0xB8, 0xBE, 0xC6);
inline const QColor Cherry(0x9C, 0x27, 0x3A);
inline const QColor Olive(0x6B, 0x7F, 0x3A);
inline const QColor Sand(0xD8, 0xC3, 0x8E);

Item thing(Kind kind, double across, double ahead, const QColor &color = Blue);
Item oncoming(Kind kind, double across, double ahead, const QColor &color = Silver);
// Signs (numbers separated by spaces, top to bottom) on one post.
Item sign(const QString &numbers, double across, double ahead, double scale = 1.7);
Item light(Kind kind, const QString &state, double across, double ahead, double scale = 1.4);
Item controller(const QString &arms, double across, double ahead);

// A town street or a country road with one lane each way.
StreetScene street(bool town, StreetScene::Line centre = StreetScene::Line::Broken);

DemoQuestion question(const StreetScene &scene, const QString &text, const QStringList &variants,
                      int correct, const QString &comment, int topicRank);

} // namespace SceneKit
