// Feeds arbitrary bytes to the ticket JSON reader (as one ticket file of a
// folder) and to the archive reader (as a downloaded archive). Any crash,
// over-read or hang is a bug: a damaged ticket must end in problems naming
// it, and a damaged archive in a refusal.
#include "archivesource.h"
#include "ticketjsonreader.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));

    // Every picture path the ticket names is said to exist, so that the
    // path checks run too.
    const QMap<QString, QByteArray> files{{QStringLiteral("Билет 1.json"), bytes}};
    (void)readJsonTickets(files, {}, [](const QString &) { return TicketSource::FileKind::File; });

    ArchiveSource archive(bytes, QStringLiteral("fuzz.zip"));
    if (archive.open()) {
        for (const QString &category : archive.categories())
            (void)readJsonTickets(archive, category);
        QHash<QString, QByteArray> contents;
        QHash<QString, QString> errors;
        (void)archive.readFiles({QStringLiteral("images/A_B/a.jpg")}, &contents, &errors);
    }
    return 0;
}
