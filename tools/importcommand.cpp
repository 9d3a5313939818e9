#include "commandline.h"
#include "commands.h"
#include "console.h"
#include "databasewriter.h"
#include "pictureimport.h"
#include "questionindexentry.h"
#include "ticketjsonfolder.h"
#include "topicsbeside.h"
#include "windows1251text.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QThread>
#include <QtConcurrent>

namespace {

using QuestionBankLayout::QuestionCount;
using QuestionBankLayout::TicketCount;

constexpr int MaxTitleLength = 50;

QString defaultTitle(const QString &category)
{
    return category == u"C_D" ? QStringLiteral("Билеты ПДД. Категории C и D")
                              : QStringLiteral("Билеты ПДД. Категории A и B");
}

// One line of progress: a bar over both stages, then what is done.
class ImportProgress
{
public:
    ImportProgress(Console &console, bool enabled) : m_console(console), m_enabled(enabled)
    {
        m_clock.start();
    }

    void show(int tickets, int pictures, int pictureTotal)
    {
        if (!m_enabled)
            return;
        constexpr int Width = 30;
        const double done = (tickets + pictures) / double(TicketCount + qMax(pictureTotal, 0));
        const int filled = int(done * Width);
        m_console.progress(QStringLiteral("[%1%2] tickets %3/%4, pictures %5/%6, %7 s")
                               .arg(QString(filled, u'#'), QString(Width - filled, u'-'))
                               .arg(tickets)
                               .arg(TicketCount)
                               .arg(pictures)
                               .arg(pictureTotal)
                               .arg(m_clock.elapsed() / 1000.0, 0, 'f', 1));
    }

    void finish()
    {
        if (m_enabled)
            m_console.endProgress();
    }

    qint64 elapsed() const { return m_clock.elapsed(); }

private:
    Console &m_console;
    bool m_enabled;
    QElapsedTimer m_clock;
};

struct PictureJob
{
    QString path;
    PictureImport::Result result;
};

} // namespace

int runImport(const QStringList &arguments, Console &console)
{
    QCommandLineParser parser;
    const QCommandLineOption categoryOption(QStringLiteral("category"),
                                            QStringLiteral("A_B or C_D"),
                                            QStringLiteral("CAT"), QStringLiteral("A_B"));
    const QCommandLineOption titleOption(QStringLiteral("title"), QStringLiteral("title"),
                                         QStringLiteral("TEXT"));
    const QCommandLineOption quietOption(QStringLiteral("quiet"));
    parser.addOptions({categoryOption, titleOption, quietOption});
    const int stop = parseCommandLine(parser, QStringLiteral("import"), arguments, 2, 2, console);
    if (stop >= 0)
        return stop;
    const QString sourceFolder = parser.positionalArguments().at(0);
    const QString outPath = parser.positionalArguments().at(1);
    const QString category = parser.value(categoryOption);
    if (category != u"A_B" && category != u"C_D") {
        console.report(QStringLiteral("dbv import: --category must be A_B or C_D, not '%1'")
                           .arg(category));
        return DbvExit::UsageOrIoError;
    }
    const QString title = parser.isSet(titleOption) ? parser.value(titleOption).trimmed()
                                                    : defaultTitle(category);
    if (title.size() > MaxTitleLength) {
        console.report(QStringLiteral("dbv import: the title has %1 characters; at most %2 fit")
                           .arg(title.size())
                           .arg(MaxTitleLength));
        return DbvExit::UsageOrIoError;
    }
    if (!QFileInfo(sourceFolder).isDir()) {
        console.report(QStringLiteral("dbv import: %1 is not a folder").arg(sourceFolder));
        return DbvExit::UsageOrIoError;
    }

    ImportProgress progress(console, console.isTerminal() && !parser.isSet(quietOption));
    const JsonTicketFolder folder = readJsonTicketFolder(
        sourceFolder, category, [&](int tickets) { progress.show(tickets, 0, -1); });
    QStringList problems = folder.problems;

    // Texts, converted to the database's code page line by line.
    Windows1251Text text;
    QList<QByteArray> blocks;
    for (const JsonTicketQuestion &question : folder.questions) {
        const QString where =
            QStringLiteral("ticket %1, question %2").arg(question.ticket).arg(question.number);
        QStringList lines{QString::number(question.correct), question.question};
        for (const QString &answer : question.answers)
            lines << answer + QStringLiteral(" *");
        // A line without "*" ends the variants; the comment follows it.
        lines << QString() << question.comment;
        QByteArray block;
        for (const QString &line : lines) {
            const std::optional<QByteArray> encoded = text.encode(line);
            if (!encoded) {
                problems << where + QStringLiteral(": character %1 has no Windows-1251 equivalent")
                                        .arg(text.unmappable());
                break;
            }
            block += *encoded + "\r\n";
        }
        if (block.size() > QuestionBankLayout::MaxBlockSize) {
            problems << where + QStringLiteral(": %1 bytes of text, at most %2 fit")
                                    .arg(block.size())
                                    .arg(QuestionBankLayout::MaxBlockSize);
        }
        blocks << block;
    }
    const std::optional<QByteArray> titleBytes = text.encode(title);
    if (!titleBytes) {
        problems << QStringLiteral("title: character %1 has no Windows-1251 equivalent")
                        .arg(text.unmappable());
    }

    // Pictures: each file once, however many questions show it, decoded and
    // encoded on every core.
    QList<PictureJob> jobs;
    QHash<QString, qsizetype> jobOf;
    for (const JsonTicketQuestion &question : folder.questions) {
        if (!question.picturePath.isEmpty() && !jobOf.contains(question.picturePath)) {
            jobOf.insert(question.picturePath, jobs.size());
            jobs.append(PictureJob{question.picturePath, {}});
        }
    }
    QFuture<void> work = QtConcurrent::map(jobs, [](PictureJob &job) {
        QFile file(job.path);
        if (!file.open(QIODevice::ReadOnly)) {
            job.result.error = QStringLiteral("cannot read: %1").arg(file.errorString());
            return;
        }
        job.result = PictureImport::import(file.readAll());
    });
    while (!work.isFinished()) {
        progress.show(TicketCount, work.progressValue(), int(jobs.size()));
        QThread::msleep(100);
    }
    progress.show(TicketCount, int(jobs.size()), int(jobs.size()));
    progress.finish();

    int kept = 0, reencoded = 0, scaled = 0;
    for (const PictureJob &job : std::as_const(jobs)) {
        switch (job.result.outcome) {
        case PictureImport::Outcome::Kept: ++kept; break;
        case PictureImport::Outcome::Reencoded: ++reencoded; break;
        case PictureImport::Outcome::Scaled: ++scaled; break;
        case PictureImport::Outcome::Failed: break;
        }
    }
    for (const JsonTicketQuestion &question : folder.questions) {
        if (question.picturePath.isEmpty())
            continue;
        const PictureJob &job = jobs.at(jobOf.value(question.picturePath));
        if (job.result.outcome == PictureImport::Outcome::Failed) {
            problems << QStringLiteral("ticket %1, question %2: picture %3: %4")
                            .arg(question.ticket)
                            .arg(question.number)
                            .arg(QDir(sourceFolder).relativeFilePath(job.path), job.result.error);
        }
    }

    if (!problems.isEmpty()) {
        for (const QString &problem : std::as_const(problems))
            console.report(problem);
        console.report(QStringLiteral("%1 problem%2; %3 not written")
                           .arg(problems.size())
                           .arg(problems.size() == 1 ? "" : "s")
                           .arg(outPath));
        return DbvExit::ProblemsFound;
    }

    DatabaseWriter writer;
    writer.setTitleBytes(*titleBytes);
    QList<QStringList> topicNames;
    for (qsizetype i = 0; i < folder.questions.size(); ++i) {
        const JsonTicketQuestion &question = folder.questions.at(i);
        const int a = QuestionBankLayout::absoluteNumber(question.ticket, question.number);
        const QByteArray picture = question.picturePath.isEmpty()
                                       ? QByteArray()
                                       : jobs.at(jobOf.value(question.picturePath)).result.jpeg;
        writer.setQuestion(a, blocks.at(i), picture);
        topicNames << question.topics;
    }

    // The topics first: if they cannot be written, the database is not
    // replaced either.
    const QList<Topic> topics = TopicsFile::fromQuestionTopics(topicNames);
    const QString topicsPath = TopicsFile::pathFor(outPath);
    QString error;
    if (!TopicsBeside::store(outPath, topics, &error)) {
        console.report(QStringLiteral("dbv import: cannot write %1: %2").arg(topicsPath, error));
        return DbvExit::UsageOrIoError;
    }
    if (!writer.writeFile(outPath, &error)) {
        console.report(QStringLiteral("dbv import: cannot write %1: %2").arg(outPath, error));
        return DbvExit::UsageOrIoError;
    }

    console.print(QStringLiteral("%1: %2 questions, %3 pictures (%4 kept, %5 re-encoded, %6 scaled)")
                      .arg(outPath)
                      .arg(QuestionCount)
                      .arg(jobs.size())
                      .arg(kept)
                      .arg(reencoded)
                      .arg(scaled));
    if (folder.picturesFoundFromImages > 0) {
        console.print(QStringLiteral("%1 picture paths did not exist as written and were found "
                                     "from their \"images/\" part")
                          .arg(folder.picturesFoundFromImages));
    }
    console.print(QStringLiteral("%1 characters mapped to Windows-1251 equivalents")
                      .arg(text.replacementCount()));
    for (auto it = text.replacements().cbegin(); it != text.replacements().cend(); ++it)
        console.print(QStringLiteral("  %1: %2").arg(it.key()).arg(it.value()));
    if (!topics.isEmpty())
        console.print(QStringLiteral("%1: %2 topics").arg(topicsPath).arg(topics.size()));
    console.print(QStringLiteral("%1 bytes, %2 s")
                      .arg(QFileInfo(outPath).size())
                      .arg(progress.elapsed() / 1000.0, 0, 'f', 2));
    return DbvExit::Success;
}
