#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// How the lint compares Russian texts: case and "ё" folded, punctuation
// dropped, words cut to a short stem so that "автомобиль" and "автомобиле"
// match. Crude next to a real stemmer, but the checks only need "the same
// words, give or take an ending", and a word list or morphology library
// would be a large dependency for that.
namespace LintText {

// A variant line without its "*" marker, trimmed, without a final period.
QString bareVariant(const QString &line);
// Lower-case words (letters and digits) in order.
QStringList words(const QString &text);
// Stems of the words that carry meaning: numbers, and words of at least four
// letters cut to their first five.
QStringList stems(const QString &text);
// The numbers by which the variants of a numeric question are ordered: the
// first number of each variant, when every variant has one and the words
// before it are the same in all ("60 км/ч", "Ближе 5 м", "На 300 м").
// Nothing for a question whose variants are not such numbers.
std::optional<QList<double>> numericKeys(const QStringList &variants);
// Jaccard similarity of two stem lists taken as sets: 0 nothing shared,
// 1 the same words.
double similarity(const QStringList &a, const QStringList &b);
// Whether `answer` (a correct variant), three or more meaningful words long,
// is written out in `text`, word after word: a question that gives another
// question's answer away.
bool givesAway(const QString &answer, const QString &text);
// Whether two questions ask the same thing: the stems of their texts and
// correct variants overlap at least `threshold` (the pictures are compared
// by the caller).
bool nearDuplicate(const QString &textA, const QString &answerA, const QString &textB,
                   const QString &answerB, double threshold);
// The comment after a leading "N. " question number, which the exam window
// expects because it prints "Комментарий к вопросу №" before the comment.
QString commentBody(const QString &comment);
// The stems of a text with the names of road users folded into one word, so
// that "уступить автобусу" and "уступить мотоциклу" read as the same rule.
// Numbers are dropped: a sign's or paragraph's number is not its rule.
QStringList ruleStems(const QString &text);
// Whether a comment cites a paragraph of the rules: «п. 13.9», «пп. 8.1–8.2».
bool citesParagraph(const QString &comment);
// The paragraph numbers a comment cites, in order ("13.9", "2.1.1").
QStringList citedParagraphs(const QString &comment);
// Whether a variant is a yes/no answer that permits or forbids: «Да»,
// «Можно», «Разрешено» are +1; «Нет», «Нельзя», «Запрещено» are -1; 0
// otherwise.
int verdictOf(const QString &variant);

} // namespace LintText
