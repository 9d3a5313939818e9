#include "ticketbalance.h"

#include "lintrules.h"
#include "linttext.h"

#include <QRegularExpression>
#include <QSet>

#include <algorithm>

namespace {

// The same threshold as the lint's defaults.
constexpr double RuleSimilarity = 0.75;
constexpr double TicketRuleSimilarity = 0.6;

using LintRules::StemSet;

StemSet signatureOf(const DemoQuestion &question)
{
    // The comment as stored starts with its question number; the signature
    // ignores it either way.
    return LintRules::ruleStemSet(question.text, question.comment);
}

using LintRules::ruleOverlap;

QString correctOf(const DemoQuestion &question)
{
    return question.variants.at(question.correct - 1);
}

bool orderMatters(const DemoQuestion &question)
{
    static const QRegularExpression related(
        QStringLiteral("^(знак \\d|только|никому|все|оба|обе|ни )|перечисл|^\\w+ и \\w+$"),
        QRegularExpression::UseUnicodePropertiesOption);
    if (LintText::numericKeys(question.variants))
        return true;
    return std::any_of(
        question.variants.cbegin(), question.variants.cend(), [](const QString &variant) {
            return related.match(LintText::bareVariant(variant).toLower()).hasMatch();
        });
}

} // namespace

namespace TicketBalance {

QList<DemoQuestion> withoutRuleRepeats(const QList<DemoQuestion> &questions, const QString &what,
                                       QStringList &report)
{
    QList<DemoQuestion> result;
    QList<StemSet> signatures;
    QStringList patterns;
    int dropped = 0;
    for (const DemoQuestion &question : questions) {
        const StemSet signature = signatureOf(question);
        const QString pattern = LintRules::answerPattern(correctOf(question));
        qsizetype same = -1;
        for (qsizetype k = 0;
             k < result.size() && same < 0 && signature.size() >= LintRules::MinRuleStems; ++k) {
            if (patterns.at(k) == pattern && signatures.at(k).size() >= LintRules::MinRuleStems &&
                ruleOverlap(signatures.at(k), signature) >= RuleSimilarity)
                same = k;
        }
        if (same >= 0) {
            report << QStringLiteral("%1: то же правило с тем же ответом, что в %2, пропущено: %3")
                          .arg(question.origin, result.at(same).origin, question.text);
            ++dropped;
            continue;
        }
        result << question;
        signatures << signature;
        patterns << pattern;
    }
    if (dropped)
        report << QStringLiteral("%1: пропущено повторов правила: %2").arg(what).arg(dropped);
    return result;
}

int giveaways(const QList<DemoQuestion> &ticket)
{
    int count = 0;
    for (const DemoQuestion &answered : ticket) {
        for (const DemoQuestion &other : ticket) {
            if (&answered != &other && LintText::givesAway(correctOf(answered), other.text))
                ++count;
        }
    }
    QList<StemSet> signatures;
    for (const DemoQuestion &question : ticket)
        signatures << signatureOf(question);
    for (qsizetype i = 0; i < signatures.size(); ++i) {
        for (qsizetype j = i + 1; j < signatures.size(); ++j) {
            const bool comparable = signatures.at(i).size() >= LintRules::MinRuleStems &&
                                    signatures.at(j).size() >= LintRules::MinRuleStems;
            count += comparable &&
                             ruleOverlap(signatures.at(i), signatures.at(j)) >= TicketRuleSimilarity
                         ? 1
                         : 0;
        }
    }
    return count;
}

void separateGiveaways(QList<QList<DemoQuestion>> &tickets)
{
    // One exchange at a time, each taken when it lessens the ticket's
    // giveaways and adds none to the other ticket: a ticket with two
    // problems needs two exchanges.
    for (int t = 0; t < tickets.size(); ++t) {
        int problems = giveaways(tickets[t]);
        bool progress = true;
        while (problems > 0 && progress) {
            progress = false;
            for (int q = 0; q < tickets[t].size() && !progress; ++q) {
                for (int step = 1; step < tickets.size() && !progress; ++step) {
                    const int other = (t + step) % tickets.size();
                    const int otherProblems = giveaways(tickets[other]);
                    for (DemoQuestion &partner : tickets[other]) {
                        // A picture question changes places with a picture
                        // question, so that every ticket keeps its share.
                        if (partner.jpeg.isEmpty() != tickets[t][q].jpeg.isEmpty())
                            continue;
                        std::swap(tickets[t][q], partner);
                        const int after = giveaways(tickets[t]);
                        if (after < problems && giveaways(tickets[other]) <= otherProblems) {
                            problems = after;
                            progress = true;
                            break;
                        }
                        std::swap(tickets[t][q], partner);
                    }
                }
            }
        }
    }
}

void balanceKeys(QList<QList<DemoQuestion>> &tickets)
{
    QList<int> keyed(5, 0);
    QList<DemoQuestion *> free;
    for (QList<DemoQuestion> &ticket : tickets) {
        for (DemoQuestion &question : ticket) {
            if (orderMatters(question))
                ++keyed[question.correct - 1];
            else
                free << &question;
        }
    }
    // Fewest variants first: a two-variant question can only go to 1 or 2,
    // the longer ones then even out what is left.
    std::stable_sort(free.begin(), free.end(), [](const DemoQuestion *a, const DemoQuestion *b) {
        return a->variants.size() < b->variants.size();
    });
    for (DemoQuestion *question : std::as_const(free)) {
        const int count = static_cast<int>(question->variants.size());
        int target = 1;
        for (int p = 2; p <= count; ++p) {
            if (keyed[p - 1] < keyed[target - 1])
                target = p;
        }
        question->variants.swapItemsAt(question->correct - 1, target - 1);
        question->correct = target;
        ++keyed[target - 1];
    }
}

} // namespace TicketBalance
