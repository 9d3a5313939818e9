#include "commandline.h"
#include "commands.h"
#include "console.h"
#include "databasewriter.h"
#include "sourcereader.h"

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
    if (!reader.problems().isEmpty()) {
        for (const SourceProblem &problem : reader.problems())
            console.report(problem.toString());
        console.report(QStringLiteral("%1 problem%2; %3 not written")
                           .arg(reader.problems().size())
                           .arg(reader.problems().size() == 1 ? "" : "s")
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
