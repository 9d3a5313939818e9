// Feeds arbitrary bytes to the progress record, as the first 16176 bytes of
// "stat.dat" followed by a tail. Reading and writing must not crash, the
// record must survive a round trip, and a save must reproduce the tail byte
// for byte (runs of zeros included, which the save skips as holes).
#include "statisticsfile.h"
#include "statrecord.h"

#include <QBuffer>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QByteArray recordBytes = bytes.left(StatRecord::Size);
    recordBytes.append(QByteArray(StatRecord::Size - recordBytes.size(), '\0'));
    const QByteArray tail = bytes.mid(StatRecord::Size);

    const StatRecord record = StatRecord::fromBytes(recordBytes);
    if (!(StatRecord::fromBytes(record.toBytes()) == record))
        std::abort();
    for (int ticket = 1; ticket <= 40; ++ticket)
        (void)record.ticketStatus(ticket);
    (void)record.questionStats(40, 20);

    QBuffer source;
    source.setData(tail);
    source.open(QIODevice::ReadOnly);
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    if (!StatisticsFile::writeRecordAndTail(out, record.toBytes(), &source))
        std::abort();
    if (out.data() != record.toBytes() + tail)
        std::abort();
    return 0;
}
