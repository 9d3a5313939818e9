#pragma once

#include "demoquestion.h"

#include <QList>
#include <QStringList>

// What keeps a laid-out demo from teaching by habit rather than by rule:
// one rule is asked once however many road users could act it out, a ticket
// never teaches one rule twice, and no answer position is the safe guess.
// The measures are those of `dbv lint`, so the demo passes it by design.
namespace TicketBalance {

// The questions without those that teach the rule of an earlier one with
// the same answer (the same scene for another vehicle or junction shape).
// Each one dropped is reported.
QList<DemoQuestion> withoutRuleRepeats(const QList<DemoQuestion> &questions, const QString &what,
                                       QStringList &report);

// How often a ticket gives an answer away: one question's correct variant
// written in another's text, or two questions teaching one rule.
int giveaways(const QList<DemoQuestion> &ticket);

// Exchanges questions between tickets, a picture question for a picture
// question, until no ticket gives an answer away (as far as an exchange can
// do it).
void separateGiveaways(QList<QList<DemoQuestion>> &tickets);

// Moves correct variants of questions whose variants may come in any order
// so that each position is keyed about as often as the others allow. Kept
// in place: numbers in ascending order, picture numbers («Знак 1»), and
// variants that refer to each other («Только А», «А и Б», «Все»,
// «Никому»).
void balanceKeys(QList<QList<DemoQuestion>> &tickets);

} // namespace TicketBalance
