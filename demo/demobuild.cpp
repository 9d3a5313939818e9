#include "demobuild.h"

#include "generators.h"
#include "poolreader.h"
#include "ticketassembler.h"
#include "ticketfolderwriter.h"

bool DemoBuild::run(const QString &poolFolder, const QString &outputFolder, QStringList &messages)
{
    const PoolReader::Result pool = PoolReader::readFolder(poolFolder);
    messages << pool.errors;
    if (!pool.errors.isEmpty()) {
        messages << QStringLiteral("ошибок в пуле: %1").arg(pool.errors.size());
        return false;
    }
    const TicketAssembler::Result layout =
        TicketAssembler::assemble(pool.questions, Generators::all());
    messages << layout.report;
    if (!layout.ok()) {
        messages << layout.error;
        return false;
    }
    int pictures = 0;
    for (const auto &ticket : layout.tickets) {
        for (const DemoQuestion &question : ticket)
            pictures += question.jpeg.isEmpty() ? 0 : 1;
    }
    messages << QStringLiteral("всего %1 вопросов, с рисунками %2")
                    .arg(TicketAssembler::QuestionCount)
                    .arg(pictures);
    QString error;
    if (!TicketFolderWriter::write(outputFolder, Title, layout.tickets, &error)) {
        messages << error;
        return false;
    }
    return true;
}
