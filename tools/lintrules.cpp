#include "lintrules.h"

#include "ruleparagraphs.h"

#include "linttext.h"

#include <QHash>
#include <QMap>
#include <QSet>

#include <algorithm>
#include <numeric>

using namespace LintText;

namespace {

QString where(const LintQuestion &q)
{
    return QStringLiteral("%1/%2").arg(q.ticket).arg((q.number - 1) % 20 + 1);
}

QString correctVariant(const LintQuestion &q)
{
    return q.correct >= 1 && q.correct <= q.variants.size() ? q.variants.at(q.correct - 1)
                                                            : QString();
}

using LintRules::StemSet;

StemSet signatureOf(const LintQuestion &q)
{
    return LintRules::ruleStemSet(q.text, q.comment);
}

using LintRules::ruleOverlap;

int root(QList<int> &parent, int i)
{
    while (parent[i] != i)
        i = parent[i] = parent[parent[i]];
    return i;
}

} // namespace

namespace LintRules {

QStringList ruleSignature(const QString &text, const QString &comment)
{
    return ruleStems(text) + ruleStems(commentBody(comment));
}

QString answerPattern(const QString &correct)
{
    QStringList pattern;
    // ruleStems drops short words and numbers; the answer keeps them, so
    // that "90 км/ч" and "110 км/ч" are different answers.
    for (const QString &word : words(bareVariant(correct))) {
        const QStringList stem = ruleStems(word);
        pattern << (stem == QStringList{QStringLiteral("#")} ? QStringLiteral("#") : word);
    }
    return pattern.join(u' ');
}

void checkKey(const LintQuestion &q, LintReport &report)
{
    LintSummary &s = report.summary;
    if (q.variants.size() < 2 || q.correct < 1 || q.correct > q.variants.size())
        return;
    if (s.keyedAt.size() < q.variants.size())
        s.keyedAt.resize(q.variants.size());
    ++s.keyedAt[q.correct - 1];
    ++s.keyedBase;

    bool permits = false;
    bool forbids = false;
    for (const QString &variant : q.variants) {
        const int verdict = verdictOf(bareVariant(variant));
        permits = permits || verdict > 0;
        forbids = forbids || verdict < 0;
    }
    if (!permits || !forbids)
        return;
    ++s.yesNo;
    s.prohibitiveKeyed += verdictOf(bareVariant(correctVariant(q))) < 0 ? 1 : 0;
}

// Every paragraph a comment cites is one the rules have. Numbers in a
// comment on the list of faults or the Basic Provisions belong to those
// documents, which number their items on their own.
static void checkParagraphsExist(const LintQuestion &q, const QString &body, LintReport &report)
{
    if (body.contains(QStringLiteral("Перечн")) ||
        body.contains(QStringLiteral("Основных положений")))
        return;
    QStringList unknown;
    for (const QString &number : citedParagraphs(body)) {
        if (!RuleParagraphs::exists(number))
            unknown << number;
    }
    if (unknown.isEmpty())
        return;
    ++report.summary.unknownParagraphs;
    report.findings << LintFinding{
        q.number, QStringLiteral("paragraph"),
        QStringLiteral("the rules have no paragraph %1").arg(unknown.join(QStringLiteral(", ")))};
}

void checkCommentTeaches(const LintQuestion &q, LintReport &report)
{
    const QString body = commentBody(q.comment);
    if (citesParagraph(body)) {
        ++report.summary.citing;
        checkParagraphsExist(q, body, report);
        return;
    }
    // Without a paragraph, a short comment whose words the question and its
    // answer already hold (but for one) tells the learner nothing new.
    const QStringList own = stems(body);
    if (words(body).size() > 14)
        return;
    const QStringList known = stems(q.text) + stems(bareVariant(correctVariant(q)));
    int fresh = 0;
    for (const QString &stem : StemSet(own.cbegin(), own.cend()))
        fresh += !stem.at(0).isDigit() && !known.contains(stem) ? 1 : 0;
    if (fresh > 1)
        return;
    ++report.summary.restating;
    report.findings << LintFinding{q.number, QStringLiteral("restating"),
                                   QStringLiteral("the comment only restates the answer and "
                                                  "cites no paragraph")};
}

void checkRuleGroups(const QList<LintQuestion> &qs, const LintLimits &limits, LintReport &report)
{
    QList<StemSet> signature;
    QStringList pattern;
    for (const LintQuestion &q : qs) {
        signature << signatureOf(q);
        pattern << answerPattern(correctVariant(q));
    }
    QList<int> parent(qs.size());
    std::iota(parent.begin(), parent.end(), 0);
    for (int i = 0; i < qs.size(); ++i) {
        if (signature[i].size() < MinRuleStems)
            continue;
        for (int j = i + 1; j < qs.size(); ++j) {
            if (signature[j].size() >= MinRuleStems && pattern[i] == pattern[j] &&
                ruleOverlap(signature[i], signature[j]) >= limits.ruleSimilarity)
                parent[root(parent, j)] = root(parent, i);
        }
    }
    QMap<int, QList<int>> groups;
    for (int i = 0; i < qs.size(); ++i)
        groups[root(parent, i)] << i;
    for (const QList<int> &group : std::as_const(groups)) {
        if (group.size() < 2)
            continue;
        QList<int> numbers;
        for (int i : group)
            numbers << qs[i].number;
        report.ruleGroups << numbers;
        ++report.summary.ruleGroups;
        report.summary.ruleCopies += int(group.size()) - 1;
        for (int k = 1; k < group.size(); ++k) {
            report.findings << LintFinding{
                qs[group[k]].number, QStringLiteral("rule"),
                QStringLiteral("the same rule with the same answer as %1")
                    .arg(where(qs[group[0]]))};
        }
    }
}

void checkTicketRules(const QList<LintQuestion> &qs, const LintLimits &limits, LintReport &report)
{
    QMap<int, QList<int>> tickets;
    for (int i = 0; i < qs.size(); ++i)
        tickets[qs[i].ticket] << i;
    QHash<int, StemSet> signature;
    for (int i = 0; i < qs.size(); ++i)
        signature.insert(i, signatureOf(qs[i]));
    for (const QList<int> &ticket : std::as_const(tickets)) {
        for (int a = 0; a < ticket.size(); ++a) {
            for (int b = a + 1; b < ticket.size(); ++b) {
                const int i = ticket[a];
                const int j = ticket[b];
                if (signature[i].size() < MinRuleStems || signature[j].size() < MinRuleStems ||
                    ruleOverlap(signature[i], signature[j]) < limits.ticketRuleSimilarity)
                    continue;
                ++report.summary.ticketRuleRepeats;
                report.findings << LintFinding{
                    qs[j].number, QStringLiteral("ticket-rule"),
                    QStringLiteral("teaches the rule of %1 in the same ticket").arg(where(qs[i]))};
            }
        }
    }
}

} // namespace LintRules

int LintSummary::topKeyPosition() const
{
    const auto top = std::max_element(keyedAt.cbegin(), keyedAt.cend());
    return top == keyedAt.cend() ? 0 : int(top - keyedAt.cbegin()) + 1;
}

double LintSummary::topKeyShare() const
{
    const int position = topKeyPosition();
    return position && keyedBase ? double(keyedAt.at(position - 1)) / keyedBase : 0;
}

LintRules::StemSet LintRules::ruleStemSet(const QString &text, const QString &comment)
{
    const QStringList list = ruleSignature(text, comment);
    return StemSet(list.cbegin(), list.cend());
}

double LintRules::ruleOverlap(const StemSet &a, const StemSet &b)
{
    if (a.isEmpty() && b.isEmpty())
        return 1;
    const qsizetype shared = StemSet(a).intersect(b).size();
    return double(shared) / double(a.size() + b.size() - shared);
}
