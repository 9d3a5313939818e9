// Feeds arbitrary bytes to the database reader (as a whole file), to the
// text-block parser and to the JPEG decoder. Any crash, over-read or hang is a
// bug: damaged input must end in a QuestionBankError for the affected
// question only, and no picture may take long to decode or refuse.
#include "jpegcodec.h"
#include "questionbankerror.h"
#include "questiondatabase.h"
#include "textblock.h"

#include <QBuffer>
#include <QElapsedTimer>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {
// A picture is shown while the learner waits: one that takes longer than this
// to decode or to be refused is a finding. A progressive picture with
// hundreds of scans over millions of pixels takes several seconds.
constexpr qint64 JpegTimeLimitMs = 1000;
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));

    QElapsedTimer timer;
    timer.start();
    (void)JpegCodec::decodeChecked(bytes);
    if (timer.elapsed() > JpegTimeLimitMs) {
        std::fprintf(stderr, "JPEG decoder took %lld ms (limit %lld ms)\n",
                     static_cast<long long>(timer.elapsed()), JpegTimeLimitMs);
        std::abort();
    }

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
