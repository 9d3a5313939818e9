// Feeds arbitrary bytes to the database reader (as a whole file), to the
// text-block parser and to the JPEG decoder. Any crash, over-read or hang is a
// bug: damaged input must end in a QuestionBankError for the affected
// question only, and no picture may take long to decode or refuse.
#include "jpegcodec.h"
#include "questionbankerror.h"
#include "questiondatabase.h"
#include "textblock.h"

#include <QBuffer>

#include <algorithm>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

namespace {
// A picture is shown while the learner waits: one that takes longer than this
// to decode or to be refused is a finding. A progressive picture with
// hundreds of scans over millions of pixels takes several seconds. Counted
// in processor time: on a busy machine the wall clock measured the other
// programs (a 9 ms picture took over a second while builds ran).
constexpr double JpegTimeLimitMs = 1000;
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));

    const std::clock_t start = std::clock();
    (void)JpegCodec::decodeChecked(bytes);
    const double elapsedMs = 1000.0 * double(std::clock() - start) / CLOCKS_PER_SEC;
    if (elapsedMs > JpegTimeLimitMs) {
        std::fprintf(stderr, "JPEG decoder took %.0f ms of processor time (limit %.0f ms)\n",
                     elapsedMs, JpegTimeLimitMs);
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
    // Every distinct entry the input actually provides, and one it does not.
    // What the reader does with a question depends only on its index entry
    // (the number appears in messages alone), so an entry met before is not
    // read again: a mutated database repeats a few entries hundreds of times,
    // and reading each copy made every input cost hundreds of reads.
    const int provided = int(qMin<qint64>(800, (qint64(size) - 51) / 16));
    // A plain list searched in order: a few distinct entries is the rule, and
    // a tree's many branches would feed the fuzzer's coverage with noise.
    std::vector<QuestionIndexEntry> seen;
    for (int a = 1; a <= qMax(1, provided); ++a) {
        const QuestionIndexEntry &e = db.entry(a);
        if (std::find(seen.cbegin(), seen.cend(), e) != seen.cend())
            continue;
        seen.push_back(e);
        try {
            db.readQuestion(a, question);
        } catch (const QuestionBankError &) {
        }
    }
    return 0;
}
