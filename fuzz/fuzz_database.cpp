// Feeds arbitrary bytes to the database reader (as a whole file) and to the
// text-block parser. Any crash, over-read or hang is a bug: damaged input must
// end in a QuestionBankError for the affected question only.
#include "questionbankerror.h"
#include "questiondatabase.h"
#include "textblock.h"

#include <QBuffer>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));

    Question question;
    try {
        parseQuestion(splitTextBlock(bytes), question, 1);
    } catch (const QuestionBankError &) {
    }

    QuestionDatabase db;
    auto buffer = std::make_unique<QBuffer>();
    buffer->setData(bytes);
    db.openDevice(std::move(buffer));
    (void)db.title();
    // Every entry the input actually provides, and one it does not.
    const int provided = int(qMin<qint64>(800, (qint64(size) - 51) / 16));
    for (int a = 1; a <= qMax(1, provided); ++a) {
        try {
            db.readQuestion(a, question);
        } catch (const QuestionBankError &) {
        }
    }
    return 0;
}
