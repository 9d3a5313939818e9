#include "lintchecks.h"

#include "lintrules.h"
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

bool isNumeric(const LintQuestion &q)
{
    return numericKeys(q.variants).has_value();
}

// Union-find over question indexes, for the near-duplicate groups.
int root(QList<int> &parent, int i)
{
    while (parent[i] != i)
        i = parent[i] = parent[parent[i]];
    return i;
}

void checkDuplicates(const QList<LintQuestion> &qs, const LintLimits &limits, LintReport &report)
{
    QList<QStringList> signature;
    for (const LintQuestion &q : qs)
        signature << stems(q.text) + stems(bareVariant(correctVariant(q)));
    QList<int> parent(qs.size());
    std::iota(parent.begin(), parent.end(), 0);
    for (int i = 0; i < qs.size(); ++i) {
        for (int j = i + 1; j < qs.size(); ++j) {
            // A different picture makes a different question even under the
            // same words ("Как называется этот знак?").
            if (qs[i].pictureHash != qs[j].pictureHash || !qs[i].readError.isEmpty() ||
                !qs[j].readError.isEmpty())
                continue;
            const bool samePictureSameAnswer =
                qs[i].hasPicture() && words(bareVariant(correctVariant(qs[i]))) ==
                                          words(bareVariant(correctVariant(qs[j])));
            if (samePictureSameAnswer ||
                similarity(signature[i], signature[j]) >= limits.duplicateSimilarity)
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
        report.duplicateGroups << numbers;
        ++report.summary.duplicateGroups;
        report.summary.duplicateCopies += int(group.size()) - 1;
        for (int k = 1; k < group.size(); ++k) {
            report.findings << LintFinding{qs[group[k]].number, QStringLiteral("duplicate"),
                                           QStringLiteral("near duplicate of %1: %2")
                                               .arg(where(qs[group[0]]), qs[group[0]].text)};
        }
    }
}

void checkLongest(const LintQuestion &q, LintReport &report)
{
    if (q.hasPicture() || q.variants.size() < 3 || isNumeric(q))
        return;
    ++report.summary.longestBase;
    const qsizetype right = bareVariant(correctVariant(q)).size();
    qsizetype longestWrong = 0;
    for (int v = 0; v < q.variants.size(); ++v) {
        if (v + 1 != q.correct)
            longestWrong = std::max(longestWrong, bareVariant(q.variants.at(v)).size());
    }
    if (right <= longestWrong)
        return;
    ++report.summary.longestCorrect;
    if (right * 2 >= longestWrong * 3)
        report.findings << LintFinding{q.number, QStringLiteral("longest"),
                                       QStringLiteral("the correct variant is %1 characters, the "
                                                      "longest wrong one %2")
                                           .arg(right)
                                           .arg(longestWrong)};
}

void checkNumeric(const LintQuestion &q, LintReport &report)
{
    const std::optional<QList<double>> keys = numericKeys(q.variants);
    if (q.variants.size() < 2 || !keys)
        return;
    ++report.summary.numericQuestions;
    for (int v = 1; v < keys->size(); ++v) {
        if (keys->at(v) < keys->at(v - 1)) {
            ++report.summary.unorderedNumeric;
            report.findings << LintFinding{q.number, QStringLiteral("numeric"),
                                           QStringLiteral("numeric variants are not in "
                                                          "ascending order")};
            return;
        }
    }
}

// The correct variant shares two or more words with the question, and
// every wrong one at least two fewer: the learner can match words instead
// of knowing the rule.
void checkEcho(const LintQuestion &q, LintReport &report)
{
    if (q.variants.size() < 2 || isNumeric(q))
        return;
    const QStringList question = stems(q.text);
    const auto shared = [&](const QString &variant) {
        int count = 0;
        const QStringList own = stems(bareVariant(variant));
        for (const QString &stem : QSet<QString>(own.cbegin(), own.cend()))
            count += question.contains(stem) ? 1 : 0;
        return count;
    };
    const int right = shared(correctVariant(q));
    if (right < 2)
        return;
    for (int v = 0; v < q.variants.size(); ++v) {
        if (v + 1 != q.correct && shared(q.variants.at(v)) > right - 2)
            return;
    }
    ++report.summary.echoes;
    report.findings << LintFinding{q.number, QStringLiteral("echo"),
                                   QStringLiteral("the correct variant repeats %1 words of the "
                                                  "question, no wrong one does")
                                       .arg(right)};
}

void checkPictures(const QList<LintQuestion> &qs, const LintLimits &limits, LintReport &report)
{
    QHash<QByteArray, QList<int>> uses;
    for (const LintQuestion &q : qs) {
        if (q.hasPicture())
            uses[q.pictureHash] << q.number;
    }
    QList<QList<int>> overused;
    for (auto it = uses.cbegin(); it != uses.cend(); ++it) {
        report.summary.maxPictureUses =
            std::max(report.summary.maxPictureUses, int(it.value().size()));
        if (it.value().size() > limits.maxPictureUses)
            overused << it.value();
    }
    std::sort(overused.begin(), overused.end());
    report.summary.overusedPictures = int(overused.size());
    for (const QList<int> &numbers : std::as_const(overused)) {
        report.findings << LintFinding{
            numbers.first(), QStringLiteral("picture"),
            QStringLiteral("its picture is used by %1 questions").arg(numbers.size())};
    }
}

// The correct variant of one question, three or more meaningful words long,
// written out in the text of another question of the same ticket.
void checkLeaks(const QList<LintQuestion> &qs, LintReport &report)
{
    for (const LintQuestion &answered : qs) {
        for (const LintQuestion &other : qs) {
            if (other.ticket != answered.ticket || other.number == answered.number ||
                !givesAway(correctVariant(answered), other.text))
                continue;
            ++report.summary.leaks;
            report.findings << LintFinding{answered.number, QStringLiteral("leak"),
                                           QStringLiteral("its answer is written in the text of "
                                                          "%1")
                                               .arg(where(other))};
            break;
        }
    }
}

void checkMarkers(const LintQuestion &q, LintReport &report)
{
    for (int v = 0; v < q.variants.size(); ++v) {
        const QString &line = q.variants.at(v);
        if (line.endsWith(QStringLiteral(" *")) && line.count(u'*') == 1)
            continue;
        ++report.summary.markerProblems;
        report.findings << LintFinding{
            q.number, QStringLiteral("marker"),
            QStringLiteral("variant %1 does not end with \" *\"").arg(v + 1)};
        return;
    }
}

void checkComment(const LintQuestion &q, LintReport &report)
{
    const QString body = commentBody(q.comment).trimmed();
    QString problem;
    if (body.isEmpty())
        problem = QStringLiteral("the comment is empty");
    else if (!(body.at(0).isUpper() || body.at(0).isDigit() || body.at(0) == u'«'))
        problem = QStringLiteral("the comment does not start with a capital letter");
    if (problem.isEmpty())
        return;
    ++report.summary.commentProblems;
    report.findings << LintFinding{q.number, QStringLiteral("comment"), problem};
}

void checkLimit(LintReport &report, const QString &what, double value, double limit,
                bool percent = false)
{
    if (value <= limit + 1e-9)
        return;
    report.exceeded << (percent
                            ? QStringLiteral("%1: %2 %, limit %3 %")
                                  .arg(what)
                                  .arg(value * 100, 0, 'f', 1)
                                  .arg(limit * 100, 0, 'f', 1)
                            : QStringLiteral("%1: %2, limit %3").arg(what).arg(value).arg(limit));
}

} // namespace

LintReport lintQuestions(const QList<LintQuestion> &questions, const LintLimits &limits)
{
    LintReport report;
    LintSummary &s = report.summary;
    QList<LintQuestion> readable;
    for (const LintQuestion &q : questions) {
        ++s.questions;
        if (!q.readError.isEmpty()) {
            ++s.unreadable;
            report.findings << LintFinding{q.number, QStringLiteral("read"), q.readError};
            continue;
        }
        readable << q;
        s.withPictures += q.hasPicture() ? 1 : 0;
        checkLongest(q, report);
        checkNumeric(q, report);
        checkEcho(q, report);
        checkMarkers(q, report);
        checkComment(q, report);
        LintRules::checkKey(q, report);
        LintRules::checkCommentTeaches(q, report);
    }
    checkDuplicates(readable, limits, report);
    checkPictures(readable, limits, report);
    checkLeaks(readable, report);
    LintRules::checkRuleGroups(readable, limits, report);
    LintRules::checkTicketRules(readable, limits, report);
    std::stable_sort(
        report.findings.begin(), report.findings.end(),
        [](const LintFinding &a, const LintFinding &b) { return a.number < b.number; });

    checkLimit(report, QStringLiteral("unreadable questions"), s.unreadable, 0);
    checkLimit(report, QStringLiteral("near-duplicate copies"), s.duplicateCopies,
               limits.maxDuplicateCopies);
    checkLimit(report, QStringLiteral("correct variant the longest"), s.longestShare(),
               limits.maxLongestShare, true);
    checkLimit(report, QStringLiteral("numeric variants out of order"), s.unorderedNumeric,
               limits.maxUnorderedNumeric);
    checkLimit(report, QStringLiteral("correct variants echoing the question"), s.echoes,
               limits.maxEchoes);
    checkLimit(report, QStringLiteral("most uses of one picture"), s.maxPictureUses,
               limits.maxPictureUses);
    checkLimit(report, QStringLiteral("answers given away in the same ticket"), s.leaks,
               limits.maxLeaks);
    checkLimit(report, QStringLiteral("variants without \" *\" at the end"), s.markerProblems,
               limits.maxMarkerProblems);
    checkLimit(report, QStringLiteral("empty or lower-case comments"), s.commentProblems,
               limits.maxCommentProblems);
    checkLimit(report, QStringLiteral("groups of one rule with one answer"), s.ruleGroups,
               limits.maxRuleGroups);
    checkLimit(report, QStringLiteral("rules taught twice in a ticket"), s.ticketRuleRepeats,
               limits.maxTicketRuleRepeats);
    // A habit of the key shows only over many questions.
    if (s.keyedBase >= 100)
        checkLimit(report, QStringLiteral("questions keyed at variant %1").arg(s.topKeyPosition()),
                   s.topKeyShare(), limits.maxKeyShare, true);
    if (s.yesNo >= 30) {
        checkLimit(report, QStringLiteral("yes/no questions keyed \"forbidden\""),
                   s.prohibitiveShare(), limits.maxProhibitiveShare, true);
        checkLimit(report, QStringLiteral("yes/no questions keyed \"permitted\""),
                   1 - s.prohibitiveShare(), 1 - limits.minProhibitiveShare, true);
    }
    checkLimit(report, QStringLiteral("comments citing no paragraph"), 1 - s.citingShare(),
               1 - limits.minCitingShare, true);
    checkLimit(report, QStringLiteral("comments that only restate the answer"), s.restating,
               limits.maxRestatingComments);
    checkLimit(report, QStringLiteral("comments citing a paragraph that does not exist"),
               s.unknownParagraphs, limits.maxUnknownParagraphs);
    return report;
}
