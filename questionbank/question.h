#pragma once

#include <QImage>
#include <QString>

#include <array>
#include <optional>

// One parsed question. answerTexts is indexed 1..5; slot 0 is unused. Slots
// above answerCount keep whatever an earlier question left there, because the
// same Question is filled again for every question shown.
struct Question
{
    int correctVariant = 0;
    QString questionText;
    std::array<QString, 6> answerTexts;
    int answerCount = 0;
    QString commentText;
    std::optional<QImage> picture;
};
