#pragma once

#include "markingscene.h"

#include <QList>
#include <QString>

#include <optional>

// What the demo's reference says about each sign and marking it draws, and
// about those its comments name without drawing them: the name, a short
// description in our own words, and for a marking the road sketch that
// shows it. Both tables are in the order of the numbers.
struct SignText
{
    QString number;
    QString title;
    QString description;
    // A sign drawn as this one mirrored left to right (5.19.2 as 5.19.1).
    QString mirrorOf = {};
};

struct MarkingText
{
    QString number;
    QString title;
    QString description;
    std::optional<MarkingLayout> layout; // none: described, not drawn
};

namespace ReferenceTexts {

const QList<SignText> &signs();
const QList<MarkingText> &markings();

// The group a sign number belongs to, as the rules group them: "1.22" ->
// "Предупреждающие знаки"; empty for a number outside the eight groups.
QString signGroup(const QString &number);
inline const QString HorizontalMarkings = QStringLiteral("Горизонтальная разметка");

} // namespace ReferenceTexts
