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
           similarity = limits.duplicateSimilarity;
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
    for (const QString &line : report.exceeded)
        console.report(QStringLiteral("dbv lint: limit exceeded: %1").arg(line));
    return report.exceeded.isEmpty() ? DbvExit::Success : DbvExit::ProblemsFound;
}
