#pragma once

#include "lintchecks.h"

#include <QSet>

// The checks that look past the words at what a question teaches and how
// it is keyed: one rule asked again for another road user, a rule taught
// twice in one ticket, habits of the key (always the second variant, always
// "forbidden"), and comments that explain nothing.
namespace LintRules {

// Per question: the keyed position, the yes/no verdict, the citation and
// the restating comment.
void checkKey(const LintQuestion &q, LintReport &report);
void checkCommentTeaches(const LintQuestion &q, LintReport &report);
// Over the whole database.
void checkRuleGroups(const QList<LintQuestion> &qs, const LintLimits &limits, LintReport &report);
void checkTicketRules(const QList<LintQuestion> &qs, const LintLimits &limits, LintReport &report);

// The signature by which two questions are compared for their rule: the
// rule stems of the text and the comment.
QStringList ruleSignature(const QString &text, const QString &comment);
// A rule signature as a set of stems, and how much two of them share
// (Jaccard: shared over all; two empty sets count as the same rule).
using StemSet = QSet<QString>;
StemSet ruleStemSet(const QString &text, const QString &comment);
double ruleOverlap(const StemSet &a, const StemSet &b);
// Fewer distinct stems than this say too little to name a rule ("Так.",
// "Комментарий к вопросу 5"); such questions are not compared.
inline constexpr int MinRuleStems = 6;
// The correct variant with road users folded: "только #".
QString answerPattern(const QString &correctVariant);

} // namespace LintRules
