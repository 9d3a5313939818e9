#include "commandline.h"
#include "commands.h"
#include "console.h"
#include "jpegcodec.h"
#include "questionbankerror.h"
#include "questiondatabase.h"
#include "questionreport.h"
#include "questionrules.h"
#include "sourcewriter.h"
#include "textblock.h"
#include "topicsbeside.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

using namespace QuestionBankLayout;

namespace {

// Reads question a into source form; throws QuestionBankError when the
// program could not read it either.
SourceQuestion extractQuestion(QuestionDatabase &database, int a, QStringList &problems)
{
    const QStringList lines = database.readQuestionText(a);
    Question parsed;
    parseQuestion(lines, parsed, a);

    SourceQuestion question;
    question.correct = parsed.correctVariant;
    question.text = parsed.questionText;
    for (int v = 1; v <= parsed.answerCount; ++v)
        question.variants << parsed.answerTexts[size_t(v)];
    question.endLine = lines.value(parsed.answerCount + 2);
    question.comment = parsed.commentText;
    question.picture = database.readQuestionPictureBytes(a);
    // A picture that does not decode is still written out, so that the
    // author can see it; building the source again reports it.
    if (!question.picture.isEmpty()) {
        const JpegCodec::Decoded decoded = JpegCodec::decodeChecked(question.picture);
        if (!decoded.image)
            problems << QStringLiteral("the picture is not a JPEG that can be decoded");
        else if (!decoded.problem.isEmpty())
            problems << decoded.problem;
    }
    problems << questionRuleProblems(parsed);
    return question;
}

} // namespace

int runExtract(const QStringList &arguments, Console &console)
{
    QCommandLineParser parser;
    const QCommandLineOption force(QStringLiteral("force"));
    parser.addOption(force);
    const int stop = parseCommandLine(parser, QStringLiteral("extract"), arguments, 2, 2, console);
    if (stop >= 0)
        return stop;
    const QString databasePath = parser.positionalArguments().at(0);
    const QString folder = parser.positionalArguments().at(1);

    const QFileInfo folderInfo(folder);
    if (folderInfo.exists() && !folderInfo.isDir()) {
        console.report(QStringLiteral("dbv extract: %1 is not a folder").arg(folder));
        return DbvExit::UsageOrIoError;
    }
    // An author's edited source must not be overwritten by accident.
    if (folderInfo.exists() && !parser.isSet(force) && !QDir(folder).isEmpty()) {
        console.report(QStringLiteral("dbv extract: %1 is not empty; use --force to write into it")
                           .arg(folder));
        return DbvExit::UsageOrIoError;
    }

    QuestionDatabase database;
    DatabaseSource source;
    try {
        source.title = database.openDatabase(databasePath);
    } catch (const QuestionBankError &error) {
        console.report(QStringLiteral("dbv extract: %1").arg(error.message()));
        return DbvExit::UsageOrIoError;
    }

    int problemCount = 0;
    // The title is one line of title.txt; the field itself may hold anything.
    if (source.title.contains(u'\n') || source.title.contains(u'\r') ||
        source.title.contains(QChar(0))) {
        console.report(QStringLiteral("%1: the title contains a line break or NUL; written with "
                                      "spaces instead")
                           .arg(databasePath));
        ++problemCount;
        for (const QChar c : {QChar(u'\n'), QChar(u'\r'), QChar(0)})
            source.title.replace(c, u' ');
    }
    for (int a = 1; a <= QuestionCount; ++a) {
        QStringList problems;
        try {
            source.questions[size_t(a - 1)] = extractQuestion(database, a, problems);
        } catch (const QuestionBankError &error) {
            const QString reason = rejectionReason(a, error);
            source.missingReasons[size_t(a - 1)] = reason;
            problems << reason;
        }
        for (const QString &problem : problems)
            console.report(questionPrefix(a) + problem);
        problemCount += int(problems.size());
    }

    QStringList topicProblems;
    const std::optional<QList<Topic>> topics = TopicsBeside::load(databasePath, &topicProblems);
    for (const QString &problem : std::as_const(topicProblems)) {
        console.report(QStringLiteral("%1: %2 (not extracted)")
                           .arg(TopicsFile::pathFor(databasePath), problem));
        ++problemCount;
    }

    SourceWriter writer(folder);
    if (!writer.write(source)) {
        console.report(QStringLiteral("dbv extract: %1").arg(writer.error()));
        return DbvExit::UsageOrIoError;
    }
    QString error;
    const QString topicsOut = QDir(folder).filePath(QStringLiteral("topics.json"));
    if (topics && !topics->isEmpty() && !TopicsFile::write(topicsOut, *topics, &error)) {
        console.report(QStringLiteral("dbv extract: cannot write %1: %2").arg(topicsOut, error));
        return DbvExit::UsageOrIoError;
    }
    console.print(
        QStringLiteral("%1: %2 tickets, %3 of %4 questions")
            .arg(folder)
            .arg(TicketCount)
            .arg(QuestionCount - std::count_if(source.missingReasons.cbegin(),
                                               source.missingReasons.cend(),
                                               [](const QString &r) { return !r.isEmpty(); }))
            .arg(QuestionCount));
    return problemCount == 0 ? DbvExit::Success : DbvExit::ProblemsFound;
}
