#include "commandline.h"
#include "commands.h"
#include "console.h"
#include "databasewriter.h"
#include "sourcereader.h"
#include "topicsbeside.h"

#include <QDir>

#include <QFileInfo>

int runBuild(const QStringList &arguments, Console &console)
{
    QCommandLineParser parser;
    const int stop = parseCommandLine(parser, QStringLiteral("build"), arguments, 2, 2, console);
    if (stop >= 0)
        return stop;
    const QString sourceFolder = parser.positionalArguments().at(0);
    const QString outPath = parser.positionalArguments().at(1);

    if (!QFileInfo(sourceFolder).isDir()) {
        console.report(QStringLiteral("dbv build: %1 is not a folder").arg(sourceFolder));
        return DbvExit::UsageOrIoError;
    }

    SourceReader reader(sourceFolder);
    const DatabaseSource source = reader.read();
    // The optional topics.json of the source goes beside the database.
    QList<Topic> topics;
    QStringList topicProblems;
    const QString topicsSource = QDir(sourceFolder).filePath(QStringLiteral("topics.json"));
    if (QFileInfo::exists(topicsSource)) {
        if (const auto read = TopicsFile::read(topicsSource, &topicProblems))
            topics = *read;
    }
    const qsizetype problemCount = reader.problems().size() + topicProblems.size();
    if (problemCount > 0) {
        for (const SourceProblem &problem : reader.problems())
            console.report(problem.toString());
        for (const QString &problem : std::as_const(topicProblems))
            console.report(QStringLiteral("%1: %2").arg(topicsSource, problem));
        console.report(QStringLiteral("%1 problem%2; %3 not written")
                           .arg(problemCount)
                           .arg(problemCount == 1 ? "" : "s")
                           .arg(outPath));
        return DbvExit::ProblemsFound;
    }

    DatabaseWriter writer;
    writer.setTitle(source.title);
    int withPictures = 0;
    for (int a = 1; a <= QuestionBankLayout::QuestionCount; ++a) {
        const SourceQuestion &question = source.questions[size_t(a - 1)];
        writer.setQuestion(a, question.textBlock(), question.picture);
        if (!question.picture.isEmpty())
            ++withPictures;
    }
    QString error;
    if (!TopicsBeside::store(outPath, topics, &error)) {
        console.report(QStringLiteral("dbv build: cannot write %1: %2")
                           .arg(TopicsFile::pathFor(outPath), error));
        return DbvExit::UsageOrIoError;
    }
    if (!writer.writeFile(outPath, &error)) {
        console.report(QStringLiteral("dbv build: cannot write %1: %2").arg(outPath, error));
        return DbvExit::UsageOrIoError;
    }
    console.print(QStringLiteral("%1: %2 questions, %3 with pictures, %4 bytes")
                      .arg(outPath)
                      .arg(QuestionBankLayout::QuestionCount)
                      .arg(withPictures)
                      .arg(QFileInfo(outPath).size()));
    return DbvExit::Success;
}
