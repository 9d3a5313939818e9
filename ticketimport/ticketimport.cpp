#include "ticketimport.h"

#include "databasewriter.h"
#include "importcheck.h"
#include "pairwriter.h"
#include "pictureimport.h"
#include "questionindexentry.h"
#include "referencefile.h"
#include "referencereader.h"
#include "ticketjsonreader.h"
#include "ticketsource.h"
#include "topicsfile.h"
#include "windows1251text.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QThread>
#include <QtConcurrent>

#include <filesystem>

namespace TicketImport {

namespace {

using QuestionBankLayout::TicketCount;

bool cancelled(const std::atomic<bool> *cancel)
{
    return cancel && cancel->load();
}

Result refused(const QString &english, const QString &russian)
{
    Result result;
    result.status = Result::Status::Refused;
    result.problems << english;
    result.russianReason = russian;
    return result;
}

Result cancelledResult()
{
    Result result;
    result.status = Result::Status::Cancelled;
    return result;
}

// Whether two paths name the same file, hard links included.
bool sameFile(const QString &a, const QString &b)
{
    std::error_code error;
    return std::filesystem::equivalent(std::filesystem::path(a.toStdU16String()),
                                       std::filesystem::path(b.toStdU16String()), error);
}

// The output must not overwrite what the import reads: not a file of the
// source folder (nor anywhere inside it), not the archive itself.
std::optional<Result> outputRefusal(const Request &request, const QString &topicsPath)
{
    const QFileInfo source(request.source);
    for (const QString &output :
         {request.outputPath, topicsPath, ReferenceFile::pathFor(request.outputPath)}) {
        const QFileInfo target(output);
        const QString folder = QFileInfo(target.absolutePath()).canonicalFilePath();
        const QString where =
            folder.isEmpty() ? target.absoluteFilePath() : folder + u'/' + target.fileName();
        if (source.isDir()) {
            const QString root = source.canonicalFilePath();
            if (where == root || where.startsWith(root + u'/')) {
                return refused(
                    QStringLiteral(
                        "%1 is inside the source folder %2; write the database elsewhere")
                        .arg(output, request.source),
                    QStringLiteral("Базу нельзя записать в папку с билетами «%1»: выберите "
                                   "другое место.")
                        .arg(request.source));
            }
        } else if (sameFile(output, request.source) || where == source.canonicalFilePath()) {
            return refused(QStringLiteral("%1 is the source archive itself").arg(output),
                           QStringLiteral("Базу нельзя записать на место архива с билетами."));
        }
    }
    return std::nullopt;
}

struct PictureJob
{
    QString path;
    QByteArray bytes;
    PictureImport::Result result;
};

// The database's text block of a question; a fault goes to `problems`.
QByteArray textBlock(const JsonTicketQuestion &question, Windows1251Text &text,
                     QStringList &problems)
{
    const QString where =
        QStringLiteral("ticket %1, question %2").arg(question.ticket).arg(question.number);
    QStringList lines{QString::number(question.correct), question.question};
    for (const QString &answer : question.answers)
        lines << answer + QStringLiteral(" *");
    // A line without "*" ends the variants; the comment follows it.
    lines << QString() << question.comment;
    QByteArray block;
    for (const QString &line : std::as_const(lines)) {
        // A control character would end or split the block when the
        // program reads it (a NUL ends it): the text would not be what the
        // tickets say.
        const auto control = std::find_if(line.cbegin(), line.cend(),
                                          [](QChar c) { return c.unicode() < 0x20 && c != u'\t'; });
        if (control != line.cend()) {
            problems << where + QStringLiteral(": control character U+%1 in the text")
                                    .arg(QString::number(control->unicode(), 16)
                                             .rightJustified(4, u'0')
                                             .toUpper());
            return block;
        }
        const std::optional<QByteArray> encoded = text.encode(line);
        if (!encoded) {
            problems << where + QStringLiteral(": character %1 has no Windows-1251 equivalent")
                                    .arg(text.unmappable());
            return block;
        }
        block += *encoded + "\r\n";
    }
    if (block.size() > QuestionBankLayout::MaxBlockSize) {
        problems << where + QStringLiteral(": %1 bytes of text, at most %2 fit")
                                .arg(block.size())
                                .arg(QuestionBankLayout::MaxBlockSize);
    }
    return block;
}

} // namespace

QString defaultTitle(const QString &category)
{
    return category == u"C_D" ? QStringLiteral("Экзаменационные билеты ПДД. Категории C, D")
                              : QStringLiteral("Экзаменационные билеты ПДД. Категории A, B");
}

QStringList categoriesIn(const QString &source, QString *englishFault, QString *russianFault)
{
    const std::unique_ptr<TicketSource> reader = TicketSource::forPath(source);
    if (!reader->open()) {
        if (englishFault)
            *englishFault = reader->fault().english();
        if (russianFault)
            *russianFault = reader->fault().russian();
        return {};
    }
    return reader->categories();
}

Result run(const Request &request, const ProgressHandler &onProgress,
           const std::atomic<bool> *cancel)
{
    const auto report = [&](Stage stage, int done, int total) {
        if (onProgress)
            onProgress(Progress{stage, done, total});
    };
    const QString topicsPath = TopicsFile::pathFor(request.outputPath);
    if (request.title.size() > MaxTitleLength) {
        return refused(QStringLiteral("the title has %1 characters; at most %2 fit")
                           .arg(request.title.size())
                           .arg(MaxTitleLength),
                       QStringLiteral("Название длиннее %1 знаков.").arg(MaxTitleLength));
    }
    if (std::optional<Result> refusal = outputRefusal(request, topicsPath))
        return *refusal;

    report(Stage::Reading, 0, 0);
    const std::unique_ptr<TicketSource> source = TicketSource::forPath(request.source);
    if (!source->open(cancel)) {
        if (source->fault().kind == TicketSource::Fault::Kind::Cancelled)
            return cancelledResult();
        return refused(source->fault().english(), source->fault().russian());
    }
    if (cancelled(cancel))
        return cancelledResult();

    Result result;
    if (!source->categories().contains(request.category)) {
        result.problems << QStringLiteral(
                               "%1: no tickets of category %2 (\"questions/%2/tickets/\")")
                               .arg(request.source, request.category);
        return result;
    }
    const JsonTicketFolder folder = readJsonTickets(*source, request.category, [&](int tickets) {
        report(Stage::Tickets, tickets, TicketCount);
    });
    result.problems = folder.problems;
    result.summary.picturesFoundFromImages = folder.picturesFoundFromImages;
    if (cancelled(cancel))
        return cancelledResult();

    // Texts, converted to the database's code page line by line.
    Windows1251Text text;
    QList<QByteArray> blocks;
    for (const JsonTicketQuestion &question : folder.questions)
        blocks << textBlock(question, text, result.problems);
    const std::optional<QByteArray> titleBytes = text.encode(request.title);
    if (!titleBytes) {
        result.problems << QStringLiteral("title: character %1 has no Windows-1251 equivalent")
                               .arg(text.unmappable());
    }
    result.summary.replacementCount = text.replacementCount();
    result.summary.replacements = text.replacements();

    // Pictures: each file once, however many questions show it, read from
    // the source, then decoded and encoded on every core.
    QList<PictureJob> jobs;
    QHash<QString, qsizetype> jobOf;
    for (const JsonTicketQuestion &question : folder.questions) {
        if (!question.picturePath.isEmpty() && !jobOf.contains(question.picturePath)) {
            jobOf.insert(question.picturePath, jobs.size());
            jobs.append(PictureJob{question.picturePath, {}, {}});
        }
    }
    const int pictureTotal = int(jobs.size());
    report(Stage::Pictures, 0, pictureTotal);
    QStringList paths;
    for (const PictureJob &job : std::as_const(jobs))
        paths << job.path;
    QHash<QString, QByteArray> contents;
    QHash<QString, QString> readErrors;
    if (!source->readFiles(paths, &contents, &readErrors, {}, cancel)) {
        if (source->fault().kind == TicketSource::Fault::Kind::Cancelled)
            return cancelledResult();
        return refused(source->fault().english(), source->fault().russian());
    }
    for (PictureJob &job : jobs) {
        job.bytes = contents.take(job.path);
        if (readErrors.contains(job.path))
            job.result.error = readErrors.value(job.path);
    }
    QFuture<void> work = QtConcurrent::map(jobs, [cancel](PictureJob &job) {
        if (!job.result.error.isEmpty() || cancelled(cancel))
            return;
        job.result = PictureImport::import(job.bytes);
        job.bytes.clear();
    });
    while (!work.isFinished()) {
        report(Stage::Pictures, work.progressValue(), pictureTotal);
        if (cancelled(cancel))
            work.cancel();
        QThread::msleep(50);
    }
    if (cancelled(cancel))
        return cancelledResult();
    report(Stage::Pictures, pictureTotal, pictureTotal);

    for (const PictureJob &job : std::as_const(jobs)) {
        switch (job.result.outcome) {
        case PictureImport::Outcome::Kept:
            ++result.summary.kept;
            break;
        case PictureImport::Outcome::Reencoded:
            ++result.summary.reencoded;
            break;
        case PictureImport::Outcome::Scaled:
            ++result.summary.scaled;
            break;
        case PictureImport::Outcome::Failed:
            break;
        }
    }
    result.summary.pictures = pictureTotal;
    for (const JsonTicketQuestion &question : folder.questions) {
        if (question.picturePath.isEmpty())
            continue;
        const PictureJob &job = jobs.at(jobOf.value(question.picturePath));
        if (job.result.outcome == PictureImport::Outcome::Failed) {
            result.problems << QStringLiteral("ticket %1, question %2: picture %3: %4")
                                   .arg(question.ticket)
                                   .arg(question.number)
                                   .arg(job.path, job.result.error);
        }
    }
    if (!result.problems.isEmpty()) {
        result.status = Result::Status::Problems;
        return result;
    }

    // The reference beside the tickets; its faults leave parts of it out
    // but do not stop the import.
    const ReferenceReader::Outcome reference = ReferenceReader::read(*source, cancel);
    if (reference.cancelled || cancelled(cancel))
        return cancelledResult();
    result.summary.referenceProblems = reference.problems;
    result.summary.signs = reference.reference.entryCount(ReferenceKind::Sign);
    result.summary.markings = reference.reference.entryCount(ReferenceKind::Marking);
    result.summary.penalties = int(reference.reference.penalties.size());
    const QByteArray referenceJson =
        reference.reference.isEmpty() ? QByteArray() : ReferenceFile::toJson(reference.reference);

    // The database and its topics in memory, checked as `dbv check` checks
    // them, before anything is written.
    report(Stage::Checking, 0, 0);
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
    const QByteArray database = writer.toBytes();
    const QList<Topic> topics = TopicsFile::fromQuestionTopics(topicNames);
    const QByteArray topicsJson = topics.isEmpty() ? QByteArray() : TopicsFile::toJson(topics);
    result.problems = ImportCheck::problems(database, topicsJson);
    if (!result.problems.isEmpty()) {
        result.status = Result::Status::Problems;
        return result;
    }
    if (cancelled(cancel))
        return cancelledResult();

    // Past this point the import is no longer cancelled: the pair is put in
    // place at once, or not at all.
    report(Stage::Writing, 0, 0);
    QString error;
    if (!PairWriter::writeAll({{request.outputPath, database},
                               {topicsPath, topicsJson},
                               {ReferenceFile::pathFor(request.outputPath), referenceJson}},
                              &error)) {
        return refused(QStringLiteral("cannot write %1").arg(error),
                       QStringLiteral("Не удалось записать базу: %1").arg(error));
    }
    result.status = Result::Status::Written;
    result.summary.topics = int(topics.size());
    result.summary.bytes = database.size();
    return result;
}

} // namespace TicketImport
