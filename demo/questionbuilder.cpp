#include "questionbuilder.h"

#include "picturestyle.h"

namespace QuestionBuilder {

DemoQuestion shuffled(const QString &text, const QString &correct, const QStringList &wrong,
                      const QString &comment, DemoRandom &random)
{
    DemoQuestion question;
    question.text = text;
    question.comment = comment;
    question.variants = wrong;
    const int position = random.bounded(static_cast<int>(wrong.size()) + 1);
    question.variants.insert(position, correct);
    question.correct = position + 1;
    return question;
}

DemoQuestion ordered(const QString &text, const QStringList &variants, int correct,
                     const QString &comment)
{
    DemoQuestion question;
    question.text = text;
    question.variants = variants;
    question.correct = correct;
    question.comment = comment;
    return question;
}

int wrongCount(DemoRandom &random, int available)
{
    const int roll = random.bounded(10);
    const int wanted = roll < 2 ? 1 : roll < 8 ? 2 : 3;
    return std::min(wanted, available);
}

void finish(DemoQuestion &question, const QImage &picture, const QString &group, int topicRank)
{
    question.jpeg = PictureStyle::encode(picture);
    question.group = group;
    question.origin = group;
    question.topicRank = topicRank;
}

} // namespace QuestionBuilder
