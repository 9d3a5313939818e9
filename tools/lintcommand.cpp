#include "commandline.h"
#include "commands.h"
#include "console.h"
#include "lintchecks.h"
#include "questionreport.h"

namespace {

struct LimitOption
{
    QCommandLineOption option;
    double *value;
    bool percent;
};

} // namespace

int runLint(const QStringList &arguments, Console &console)
{
    LintLimits limits;
    double longestPercent = limits.maxLongestShare * 100;
    double duplicates = limits.maxDuplicateCopies, numeric = limits.maxUnorderedNumeric,
           echoes = limits.maxEchoes, uses = limits.maxPictureUses, leaks = limits.maxLeaks,
           markers = limits.maxMarkerProblems, comments = limits.maxCommentProblems,
           similarity = limits.duplicateSimilarity, ruleSimilarity = limits.ruleSimilarity,
           ruleGroups = limits.maxRuleGroups, ticketSimilarity = limits.ticketRuleSimilarity,
           ticketRepeats = limits.maxTicketRuleRepeats, keyShare = limits.maxKeyShare * 100,
           minProhibitive = limits.minProhibitiveShare * 100,
           maxProhibitive = limits.maxProhibitiveShare * 100,
           minCiting = limits.minCitingShare * 100, restating = limits.maxRestatingComments,
           unknownParagraphs = limits.maxUnknownParagraphs;
    const auto option = [](const char *name, double value) {
        return QCommandLineOption(QString::fromLatin1(name), QString(), QStringLiteral("N"),
                                  QString::number(value));
    };
    QList<LimitOption> options = {
        {option("similarity", similarity), &similarity, false},
        {option("max-duplicates", duplicates), &duplicates, false},
        {option("max-longest", longestPercent), &longestPercent, true},
        {option("max-unordered", numeric), &numeric, false},
        {option("max-echoes", echoes), &echoes, false},
        {option("max-picture-uses", uses), &uses, false},
        {option("max-leaks", leaks), &leaks, false},
        {option("max-markers", markers), &markers, false},
        {option("max-comments", comments), &comments, false},
        {option("rule-similarity", ruleSimilarity), &ruleSimilarity, false},
        {option("max-rule-groups", ruleGroups), &ruleGroups, false},
        {option("ticket-similarity", ticketSimilarity), &ticketSimilarity, false},
        {option("max-ticket-repeats", ticketRepeats), &ticketRepeats, false},
        {option("max-key-share", keyShare), &keyShare, true},
        {option("min-prohibitive", minProhibitive), &minProhibitive, true},
        {option("max-prohibitive", maxProhibitive), &maxProhibitive, true},
        {option("min-citing", minCiting), &minCiting, true},
        {option("max-restating", restating), &restating, false},
        {option("max-unknown-paragraphs", unknownParagraphs), &unknownParagraphs, false},
    };
    QCommandLineParser parser;
    for (const LimitOption &limit : options)
        parser.addOption(limit.option);
    const QCommandLineOption quiet(QStringLiteral("summary"));
    parser.addOption(quiet);
    const int stop = parseCommandLine(parser, QStringLiteral("lint"), arguments, 1, 1, console);
    if (stop >= 0)
        return stop;
    for (const LimitOption &limit : options) {
        bool ok = false;
        const double value = parser.value(limit.option).toDouble(&ok);
        if (!ok || value < 0) {
            console.report(QStringLiteral("dbv lint: --%1 needs a number, not '%2'")
                               .arg(limit.option.names().first(), parser.value(limit.option)));
            return DbvExit::UsageOrIoError;
        }
        *limit.value = value;
    }
    limits.duplicateSimilarity = similarity;
    limits.maxDuplicateCopies = int(duplicates);
    limits.maxLongestShare = longestPercent / 100;
    limits.maxUnorderedNumeric = int(numeric);
    limits.maxEchoes = int(echoes);
    limits.maxPictureUses = int(uses);
    limits.maxLeaks = int(leaks);
    limits.maxMarkerProblems = int(markers);
    limits.maxCommentProblems = int(comments);
    limits.ruleSimilarity = ruleSimilarity;
    limits.maxRuleGroups = int(ruleGroups);
    limits.ticketRuleSimilarity = ticketSimilarity;
    limits.maxTicketRuleRepeats = int(ticketRepeats);
    limits.maxKeyShare = keyShare / 100;
    limits.minProhibitiveShare = minProhibitive / 100;
    limits.maxProhibitiveShare = maxProhibitive / 100;
    limits.minCitingShare = minCiting / 100;
    limits.maxRestatingComments = int(restating);
    limits.maxUnknownParagraphs = int(unknownParagraphs);

    const QString path = parser.positionalArguments().at(0);
    QString error;
    const QList<LintQuestion> questions = loadLintQuestions(path, &error);
    if (!error.isEmpty()) {
        console.report(QStringLiteral("dbv lint: %1").arg(error));
        return DbvExit::UsageOrIoError;
    }
    const LintReport report = lintQuestions(questions, limits);
    if (!parser.isSet(quiet)) {
        for (const LintFinding &finding : report.findings)
            console.print(QStringLiteral("%1[%2] %3")
                              .arg(questionPrefix(finding.number), finding.check, finding.message));
    }
    const LintSummary &s = report.summary;
    console.print(QStringLiteral("questions: %1, with pictures: %2 (%3 %), unreadable: %4")
                      .arg(s.questions)
                      .arg(s.withPictures)
                      .arg(s.questions ? s.withPictures * 100.0 / s.questions : 0, 0, 'f', 1)
                      .arg(s.unreadable));
    console.print(QStringLiteral("near duplicates: %1 extra copies in %2 groups")
                      .arg(s.duplicateCopies)
                      .arg(s.duplicateGroups));
    console.print(QStringLiteral("correct variant the longest: %1 of %2 text questions (%3 %)")
                      .arg(s.longestCorrect)
                      .arg(s.longestBase)
                      .arg(s.longestShare() * 100, 0, 'f', 1));
    console.print(QStringLiteral("numeric variants out of order: %1 of %2")
                      .arg(s.unorderedNumeric)
                      .arg(s.numericQuestions));
    console.print(QStringLiteral("correct variants echoing the question: %1").arg(s.echoes));
    console.print(QStringLiteral("most uses of one picture: %1 (%2 pictures over the limit)")
                      .arg(s.maxPictureUses)
                      .arg(s.overusedPictures));
    console.print(QStringLiteral("answers given away in the same ticket: %1").arg(s.leaks));
    console.print(QStringLiteral("variants without \" *\" at the end: %1, empty or lower-case "
                                 "comments: %2")
                      .arg(s.markerProblems)
                      .arg(s.commentProblems));
    console.print(QStringLiteral("groups of one rule with one answer: %1 (%2 extra questions), "
                                 "rules taught twice in a ticket: %3")
                      .arg(s.ruleGroups)
                      .arg(s.ruleCopies)
                      .arg(s.ticketRuleRepeats));
    QStringList positions;
    for (int count : s.keyedAt)
        positions << QString::number(s.keyedBase ? count * 100.0 / s.keyedBase : 0, 'f', 1);
    console.print(QStringLiteral("keyed position 1..%1: %2 %")
                      .arg(s.keyedAt.size())
                      .arg(positions.join(QStringLiteral(" / "))));
    console.print(QStringLiteral("yes/no questions keyed \"forbidden\": %1 of %2 (%3 %)")
                      .arg(s.prohibitiveKeyed)
                      .arg(s.yesNo)
                      .arg(s.prohibitiveShare() * 100, 0, 'f', 1));
    console.print(QStringLiteral("comments citing a paragraph: %1 (%2 %), citing one the rules "
                                 "do not have: %3, only restating the answer: %4")
                      .arg(s.citing)
                      .arg(s.citingShare() * 100, 0, 'f', 1)
                      .arg(s.unknownParagraphs)
                      .arg(s.restating));
    for (const QString &line : report.exceeded)
        console.report(QStringLiteral("dbv lint: limit exceeded: %1").arg(line));
    return report.exceeded.isEmpty() ? DbvExit::Success : DbvExit::ProblemsFound;
}
