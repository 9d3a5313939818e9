#pragma once

#include "demoquestion.h"
#include "demorandom.h"

#include <QImage>

// Small helpers shared by the question generators.
namespace QuestionBuilder {

// A question whose variants are the correct answer and `wrong` ones, in an
// order drawn from `random` (the correct one lands anywhere).
DemoQuestion shuffled(const QString &text, const QString &correct, const QStringList &wrong,
                      const QString &comment, DemoRandom &random);
// A question whose variants keep the given order.
DemoQuestion ordered(const QString &text, const QStringList &variants, int correct,
                     const QString &comment);
// How many wrong variants to offer: mostly two (three variants), sometimes
// one or three, as in printed tickets; never more than `available`.
int wrongCount(DemoRandom &random, int available);

// Attaches a picture and the bookkeeping fields.
void finish(DemoQuestion &question, const QImage &picture, const QString &group, int topicRank);

} // namespace QuestionBuilder
