#pragma once

#include <QImage>
#include <QString>

#include <array>
#include <optional>

// One parsed question. AnswerTexts is indexed 1..5; slot 0 is unused. Slots
// above AnswerCount keep whatever an earlier question left there, because the
// same Question is filled again for every question shown.
struct Question
{
    int CorrectVariant = 0;
    QString QuestionText;
    std::array<QString, 6> AnswerTexts;
    int AnswerCount = 0;
    QString CommentText;
    std::optional<QImage> Picture;
};
