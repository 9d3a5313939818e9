#include "commandline.h"
#include "commands.h"
#include "console.h"
#include "questionbankerror.h"
#include "questiondatabase.h"
#include "questionreport.h"
#include "topicsbeside.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace QuestionBankLayout;

namespace {

// Question a as the program parses it, or its rejection.
QJsonObject questionJson(QuestionDatabase &database, int a, Console &console, bool &rejected)
{
    QJsonObject json{{"number", a}, {"ticket", ticketOf(a)}, {"question", questionOf(a)}};
    Question question;
    try {
        database.readQuestion(a, question);
    } catch (const QuestionBankError &error) {
        json.insert("error", error.message());
        console.report(questionPrefix(a) + rejectionReason(a, error));
        rejected = true;
        return json;
    }
    QJsonArray variants;
    for (int v = 1; v <= question.answerCount; ++v)
        variants.append(question.answerTexts[size_t(v)]);
    json.insert("correct", question.correctVariant);
    json.insert("text", question.questionText);
    json.insert("variants", variants);
    json.insert("comment", question.commentText);
    if (question.picture) {
        const QuestionIndexEntry &entry = database.entry(a);
        json.insert("picture", QJsonObject{{"offset", entry.pictureOffset},
                                           {"length", entry.pictureLength},
                                           {"width", question.picture->width()},
                                           {"height", question.picture->height()}});
    } else {
        json.insert("picture", QJsonValue::Null);
    }
    return json;
}

} // namespace

int runDump(const QStringList &arguments, Console &console)
{
    QCommandLineParser parser;
    const QCommandLineOption only(QStringLiteral("question"),
                                  QStringLiteral("Only question N (1..800)."), QStringLiteral("N"));
    parser.addOption(only);
    const int stop = parseCommandLine(parser, QStringLiteral("dump"), arguments, 1, 1, console);
    if (stop >= 0)
        return stop;

    int first = 1;
    int last = QuestionCount;
    if (parser.isSet(only)) {
        bool ok = false;
        const int n = parser.value(only).toInt(&ok);
        if (!ok || n < 1 || n > QuestionCount) {
            console.report(QStringLiteral("dbv dump: --question must be 1..800, not '%1'")
                               .arg(parser.value(only)));
            return DbvExit::UsageOrIoError;
        }
        first = last = n;
    }

    QuestionDatabase database;
    QString title;
    try {
        title = database.openDatabase(parser.positionalArguments().at(0));
    } catch (const QuestionBankError &error) {
        console.report(QStringLiteral("dbv dump: %1").arg(error.message()));
        return DbvExit::UsageOrIoError;
    }

    // Each question's topics, when the database has a sound topics file.
    QStringList topicProblems;
    const std::optional<QList<Topic>> topics =
        TopicsBeside::load(parser.positionalArguments().at(0), &topicProblems);
    for (const QString &problem : std::as_const(topicProblems)) {
        console.report(QStringLiteral("%1: %2 (topics left out)")
                           .arg(TopicsFile::pathFor(parser.positionalArguments().at(0)), problem));
    }

    bool rejected = false;
    QJsonArray questions;
    for (int a = first; a <= last; ++a) {
        QJsonObject question = questionJson(database, a, console, rejected);
        if (topics && !topics->isEmpty())
            question.insert("topics", QJsonArray::fromStringList(TopicsFile::topicsOf(*topics, a)));
        questions.append(question);
    }
    const QJsonObject root{{"title", title}, {"questions", questions}};
    console.write(QJsonDocument(root).toJson(QJsonDocument::Indented));
    return rejected ? DbvExit::ProblemsFound : DbvExit::Success;
}
