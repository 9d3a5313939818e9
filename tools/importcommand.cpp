#include "commandline.h"
#include "commands.h"
#include "console.h"
#include "questionindexentry.h"
#include "referencefile.h"
#include "ticketimport.h"
#include "topicsfile.h"

#include <QElapsedTimer>
#include <QFileInfo>

namespace {

// One line of progress: a bar over both stages, then what is done.
class ImportProgress
{
public:
    ImportProgress(Console &console, bool enabled) : m_console(console), m_enabled(enabled)
    {
        m_clock.start();
    }

    void show(const TicketImport::Progress &progress)
    {
        using TicketImport::Stage;
        if (progress.stage == Stage::Tickets)
            m_tickets = progress.done;
        if (progress.stage == Stage::Pictures) {
            m_tickets = QuestionBankLayout::TicketCount;
            m_pictures = progress.done;
            m_pictureTotal = progress.total;
        }
        if (!m_enabled || progress.stage > Stage::Pictures)
            return;
        constexpr int Width = 30;
        const int total = QuestionBankLayout::TicketCount + qMax(m_pictureTotal, 0);
        const int filled = int((m_tickets + m_pictures) / double(total) * Width);
        m_console.progress(QStringLiteral("[%1%2] tickets %3/%4, pictures %5/%6, %7 s")
                               .arg(QString(filled, u'#'), QString(Width - filled, u'-'))
                               .arg(m_tickets)
                               .arg(QuestionBankLayout::TicketCount)
                               .arg(m_pictures)
                               .arg(m_pictureTotal)
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
    int m_tickets = 0;
    int m_pictures = 0;
    int m_pictureTotal = -1;
};

} // namespace

int runImport(const QStringList &arguments, Console &console)
{
    QCommandLineParser parser;
    const QCommandLineOption categoryOption(QStringLiteral("category"),
                                            QStringLiteral("A_B or C_D"), QStringLiteral("CAT"),
                                            QStringLiteral("A_B"));
    const QCommandLineOption titleOption(QStringLiteral("title"), QStringLiteral("title"),
                                         QStringLiteral("TEXT"));
    const QCommandLineOption quietOption(QStringLiteral("quiet"));
    parser.addOptions({categoryOption, titleOption, quietOption});
    const int stop = parseCommandLine(parser, QStringLiteral("import"), arguments, 2, 2, console);
    if (stop >= 0)
        return stop;
    TicketImport::Request request;
    request.source = parser.positionalArguments().at(0);
    request.outputPath = parser.positionalArguments().at(1);
    request.category = parser.value(categoryOption);
    if (request.category != u"A_B" && request.category != u"C_D") {
        console.report(QStringLiteral("dbv import: --category must be A_B or C_D, not '%1'")
                           .arg(request.category));
        return DbvExit::UsageOrIoError;
    }
    request.title = parser.isSet(titleOption) ? parser.value(titleOption).trimmed()
                                              : TicketImport::defaultTitle(request.category);

    ImportProgress progress(console, console.isTerminal() && !parser.isSet(quietOption));
    const TicketImport::Result result = TicketImport::run(
        request, [&](const TicketImport::Progress &step) { progress.show(step); });
    progress.finish();

    using Status = TicketImport::Result::Status;
    switch (result.status) {
    case Status::Refused:
    case Status::Cancelled:
        for (const QString &problem : result.problems)
            console.report(QStringLiteral("dbv import: %1").arg(problem));
        return DbvExit::UsageOrIoError;
    case Status::Problems:
        for (const QString &problem : result.problems)
            console.report(problem);
        console.report(QStringLiteral("%1 problem%2; %3 not written")
                           .arg(result.problems.size())
                           .arg(result.problems.size() == 1 ? "" : "s")
                           .arg(request.outputPath));
        return DbvExit::ProblemsFound;
    case Status::Written:
        break;
    }

    const TicketImport::Summary &summary = result.summary;
    console.print(
        QStringLiteral("%1: %2 questions, %3 pictures (%4 kept, %5 re-encoded, %6 scaled)")
            .arg(request.outputPath)
            .arg(QuestionBankLayout::QuestionCount)
            .arg(summary.pictures)
            .arg(summary.kept)
            .arg(summary.reencoded)
            .arg(summary.scaled));
    if (summary.picturesFoundFromImages > 0) {
        console.print(QStringLiteral("%1 picture paths did not exist as written and were found "
                                     "from their \"images/\" part")
                          .arg(summary.picturesFoundFromImages));
    }
    console.print(QStringLiteral("%1 characters mapped to Windows-1251 equivalents")
                      .arg(summary.replacementCount));
    for (auto it = summary.replacements.cbegin(); it != summary.replacements.cend(); ++it)
        console.print(QStringLiteral("  %1: %2").arg(it.key()).arg(it.value()));
    if (summary.topics > 0) {
        console.print(QStringLiteral("%1: %2 topics")
                          .arg(TopicsFile::pathFor(request.outputPath))
                          .arg(summary.topics));
    }
    for (const QString &problem : summary.referenceProblems)
        console.report(QStringLiteral("reference: %1").arg(problem));
    if (summary.signs + summary.markings + summary.penalties > 0) {
        console.print(QStringLiteral("%1: %2 signs, %3 markings, %4 penalties")
                          .arg(ReferenceFile::pathFor(request.outputPath))
                          .arg(summary.signs)
                          .arg(summary.markings)
                          .arg(summary.penalties));
    }
    console.print(QStringLiteral("%1 bytes, %2 s")
                      .arg(summary.bytes)
                      .arg(progress.elapsed() / 1000.0, 0, 'f', 2));
    return DbvExit::Success;
}
