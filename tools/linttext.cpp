#include "linttext.h"

#include <QRegularExpression>
#include <QSet>

#include <algorithm>

namespace LintText {

QString bareVariant(const QString &line)
{
    QString result = line;
    result.remove(u'*');
    result = result.trimmed();
    if (result.endsWith(u'.'))
        result.chop(1);
    return result;
}

QStringList words(const QString &text)
{
    QStringList result;
    QString current;
    const QString lower = text.toLower().replace(u'ё', u'е');
    for (const QChar c : lower) {
        if (c.isLetterOrNumber()) {
            current += c;
        } else if (!current.isEmpty()) {
            result << current;
            current.clear();
        }
    }
    if (!current.isEmpty())
        result << current;
    return result;
}

QStringList stems(const QString &text)
{
    QStringList result;
    for (const QString &word : words(text)) {
        if (word.at(0).isDigit())
            result << word;
        else if (word.size() >= 4)
            result << word.left(5);
    }
    return result;
}

std::optional<QList<double>> numericKeys(const QStringList &variants)
{
    static const QRegularExpression number(QStringLiteral("\\d+(?:[.,]\\d+)?"));
    QList<double> keys;
    QString prefix;
    for (int i = 0; i < variants.size(); ++i) {
        const QString variant = bareVariant(variants.at(i));
        const QRegularExpressionMatch match = number.match(variant);
        if (!match.hasMatch())
            return std::nullopt;
        const QString before = variant.left(match.capturedStart()).toLower();
        if (i > 0 && before != prefix)
            return std::nullopt;
        prefix = before;
        keys << match.captured().replace(u',', u'.').toDouble();
    }
    if (keys.isEmpty())
        return std::nullopt;
    return keys;
}

double similarity(const QStringList &a, const QStringList &b)
{
    const QSet<QString> left(a.cbegin(), a.cend());
    const QSet<QString> right(b.cbegin(), b.cend());
    if (left.isEmpty() && right.isEmpty())
        return 1;
    const qsizetype shared = QSet<QString>(left).intersect(right).size();
    return double(shared) / double(left.size() + right.size() - shared);
}

bool givesAway(const QString &answer, const QString &text)
{
    // Two words ("уступить дорогу", "проезжая часть") recur in too many
    // questions to give anything away; three rarely do by chance.
    const QStringList wanted = stems(bareVariant(answer));
    if (wanted.size() < 3)
        return false;
    const QStringList words = stems(text);
    return std::search(words.cbegin(), words.cend(), wanted.cbegin(), wanted.cend()) !=
           words.cend();
}

bool nearDuplicate(const QString &textA, const QString &answerA, const QString &textB,
                   const QString &answerB, double threshold)
{
    return similarity(stems(textA) + stems(bareVariant(answerA)),
                      stems(textB) + stems(bareVariant(answerB))) >= threshold;
}

QString commentBody(const QString &comment)
{
    static const QRegularExpression prefix(QStringLiteral("^\\d+\\.\\s+"));
    QString result = comment;
    return result.remove(prefix);
}

QStringList ruleStems(const QString &text)
{
    // Who takes part changes the picture, not the rule.
    static const QStringList roadUsers = {"легко", "грузо", "автоб", "мотоц", "трамв", "велос",
                                          "мопед", "тролл", "автом", "транс", "средс"};
    QStringList result;
    for (const QString &stem : stems(text)) {
        if (stem.at(0).isDigit())
            continue;
        result << (roadUsers.contains(stem) ? QStringLiteral("#") : stem);
    }
    return result;
}

QStringList citedParagraphs(const QString &comment)
{
    // «п. 13.9», «пп. 8.1 и 8.2», «пункт 2.1.1»: the first number after the
    // abbreviation, and the ones joined to it by "и", commas or a dash.
    static const QRegularExpression cite(
        QStringLiteral("(?:\\bпп?\\.|\\bпункт\\w*)\\s*(\\d+(?:\\.\\d+)+(?:\\s*(?:,|и|–|—|-)\\s*\\d+"
                       "(?:\\.\\d+)+)*)"),
        QRegularExpression::UseUnicodePropertiesOption | QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression number(QStringLiteral("\\d+(?:\\.\\d+)+"));
    QStringList result;
    for (auto it = cite.globalMatch(comment); it.hasNext();) {
        const QString numbers = it.next().captured(1);
        for (auto n = number.globalMatch(numbers); n.hasNext();)
            result << n.next().captured();
    }
    return result;
}

bool citesParagraph(const QString &comment)
{
    return !citedParagraphs(comment).isEmpty();
}

int verdictOf(const QString &variant)
{
    const QStringList first = words(variant).mid(0, 2);
    if (first.isEmpty())
        return 0;
    const QString &w = first.first();
    if (w == u"нет" || w == u"нельзя" || w.startsWith(QStringLiteral("запрещ")) ||
        (w == u"не" && first.size() > 1 &&
         (first.at(1).startsWith(QStringLiteral("разреш")) || first.at(1) == u"можно")))
        return -1;
    if (w == u"да" || w == u"можно" || w.startsWith(QStringLiteral("разреш")))
        return 1;
    return 0;
}

} // namespace LintText
