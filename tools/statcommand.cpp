#include "commandline.h"
#include "commands.h"
#include "console.h"
#include "questionindexentry.h"
#include "regularfile.h"
#include "statisticsfile.h"
#include "statrecord.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <array>

using namespace QuestionBankLayout;

namespace {

QString statusMeaning(int status)
{
    static const std::array<const char *, 5> meanings = {"not passed", "exam passed", "failed",
                                                         "training passed", "learning completed"};
    return status >= 0 && status < int(meanings.size())
               ? QString::fromLatin1(meanings[size_t(status)])
               : QString();
}

} // namespace

int runStat(const QStringList &arguments, Console &console)
{
    QCommandLineParser parser;
    const int stop = parseCommandLine(parser, QStringLiteral("stat"), arguments, 0, 1, console);
    if (stop >= 0)
        return stop;
    const QString path =
        parser.positionalArguments().value(0, QString::fromLatin1(StatisticsFile::FileName));

    // Read only: unlike the program's start-up, looking at the file must not
    // change it.
    // Opening a named pipe would wait for a writer forever.
    if (const QString refusal = RegularFile::refusalReason(path); !refusal.isEmpty()) {
        console.report(QStringLiteral("dbv stat: %1").arg(refusal));
        return DbvExit::UsageOrIoError;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        console.report(
            QStringLiteral("dbv stat: cannot open %1: %2").arg(path, file.errorString()));
        return DbvExit::UsageOrIoError;
    }
    const QByteArray bytes = file.read(StatRecord::Size);
    if (bytes.size() != StatRecord::Size) {
        console.report(QStringLiteral("%1: %2 bytes, shorter than one record (%3 bytes); the "
                                      "program refuses to start with it")
                           .arg(path)
                           .arg(bytes.size())
                           .arg(StatRecord::Size));
        return DbvExit::ProblemsFound;
    }
    const StatRecord record = StatRecord::fromBytes(bytes);

    int problems = 0;
    QJsonArray tickets;
    for (int t = 1; t <= TicketCount; ++t) {
        const int status = record.ticketStatus(t);
        const QString meaning = statusMeaning(status);
        if (meaning.isEmpty()) {
            console.report(QStringLiteral("%1: ticket %2 has the unknown status %3")
                               .arg(path)
                               .arg(t)
                               .arg(status));
            ++problems;
        }
        tickets.append(
            QJsonObject{{"ticket", t},
                        {"status", status},
                        {"meaning", meaning.isEmpty() ? QStringLiteral("unknown") : meaning}});
    }

    static const std::array<const char *, 3> modeNames = {"learning", "training", "exam"};
    QJsonArray questions;
    for (int a = 1; a <= QuestionCount; ++a) {
        const QuestionStats stats = record.questionStats(ticketOf(a), questionOf(a));
        QJsonObject json{{"number", a}, {"ticket", ticketOf(a)}, {"question", questionOf(a)}};
        for (size_t mode = 0; mode < modeNames.size(); ++mode) {
            if (stats.correct[mode] == 0 && stats.wrong[mode] == 0 && stats.seconds[mode] == 0)
                continue;
            if (stats.seconds[mode] < 0) {
                console.report(QStringLiteral("%1: question %2 has negative seconds (%3) in %4")
                                   .arg(path)
                                   .arg(a)
                                   .arg(stats.seconds[mode])
                                   .arg(modeNames[mode]));
                ++problems;
            }
            json.insert(modeNames[mode], QJsonObject{{"correct", stats.correct[mode]},
                                                     {"wrong", stats.wrong[mode]},
                                                     {"seconds", stats.seconds[mode]}});
        }
        if (json.size() > 3)
            questions.append(json);
    }

    const QJsonObject root{
        {"launchCount", record.launchCount()}, {"tickets", tickets}, {"questions", questions}};
    console.write(QJsonDocument(root).toJson(QJsonDocument::Indented));
    return problems == 0 ? DbvExit::Success : DbvExit::ProblemsFound;
}
