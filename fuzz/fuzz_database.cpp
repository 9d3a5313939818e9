// Feeds arbitrary bytes to the database reader (as a whole file), to the
// text-block parser and to the JPEG decoder. Any crash, over-read or hang is a
// bug: damaged input must end in a QuestionBankError for the affected
// question only, and no picture may take long to decode or refuse.
#include "jpegcodec.h"
#include "questionbankerror.h"
#include "questiondatabase.h"
#include "textblock.h"

#include <QBuffer>

#include <turbojpeg.h>

#include <algorithm>
#include <array>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <utility>
#include <vector>

namespace {
// A picture is shown while the learner waits: one that takes longer than this
// to decode or to be refused is a finding. A progressive picture with
// hundreds of scans over millions of pixels takes several seconds. Counted
// in processor time: on a busy machine the wall clock measured the other
// programs (a 9 ms picture took over a second while builds ran).
constexpr double JpegTimeLimitMs = 1000;

// Pictures the codec accepts but this harness does not decode. A picture of
// 4000 × 4000 points costs 0.25–0.8 s to decode in this build, and mutations
// of such a header keep it: the fuzzer then spent nearly all its time filling
// large images with the grey of a cut stream. libjpeg-turbo's own fuzz
// targets skip pictures over 1 M pixels for the same reason. The header is
// still read, a picture over the codec's own limit is still handed to it (its
// refusal costs nothing), and one below this cap takes every path a large
// one does.
constexpr qint64 DecodedPixelCap = 1024 * 1024;

bool decodingCostsTooMuch(QByteArrayView jpeg)
{
    // One handle for the whole run: creating one per picture cost more than
    // reading most headers.
    static tjhandle handle = tjInitDecompress();
    int width = 0, height = 0, subsampling = 0, colorspace = 0;
    if (!handle || jpeg.isEmpty() ||
        tjDecompressHeader3(handle, reinterpret_cast<const unsigned char *>(jpeg.data()),
                            static_cast<unsigned long>(jpeg.size()), &width, &height, &subsampling,
                            &colorspace) != 0)
        return false;
    const qint64 pixels = qint64(width) * height;
    return pixels > DecodedPixelCap && pixels <= JpegCodec::MaxPixels;
}

double decodingMs(QByteArrayView jpeg)
{
    const std::clock_t start = std::clock();
    (void)JpegCodec::decodeChecked(jpeg);
    return 1000.0 * double(std::clock() - start) / CLOCKS_PER_SEC;
}

void decodeWithinTimeLimit(QByteArrayView jpeg)
{
    if (decodingCostsTooMuch(jpeg))
        return;
    // The processor time of the whole process: on a loaded machine a
    // picture that decodes in 24 ms was once charged 1091 ms. A picture over
    // the limit is decoded again and counts by the lower of the two; a
    // picture that is truly slow is slow both times.
    double elapsedMs = decodingMs(jpeg);
    if (elapsedMs > JpegTimeLimitMs)
        elapsedMs = std::min(elapsedMs, decodingMs(jpeg));
    if (elapsedMs > JpegTimeLimitMs) {
        std::fprintf(stderr, "JPEG decoder took %.0f ms of processor time (limit %.0f ms)\n",
                     elapsedMs, JpegTimeLimitMs);
        std::abort();
    }
}

// How the reader must refuse an entry whose text block does not lie inside
// the file, before reading anything; 0 for a block it reads. Entries refused
// the same way take the same path and differ only in the numbers of the
// message, and each refusal is a thrown exception, which costs about 0.1 ms
// in this build: a mutated index of 800 distinct entries out of range cost
// 70–90 ms per input. Only the first entry of each kind is read.
int textRangeRefusal(const QuestionIndexEntry &e, qint64 fileSize)
{
    using QuestionBankLayout::MaxBlockSize;
    if (e.textLength < 0)
        return 1;
    if (e.textLength > MaxBlockSize)
        return 2;
    if (e.textOffset < 0)
        return 3;
    if (qint64(e.textOffset) + e.textLength > fileSize)
        return 4;
    return 0;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));

    decodeWithinTimeLimit(bytes);

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
    std::array<bool, 5> refusalSeen{};
    for (int a = 1; a <= qMax(1, provided); ++a) {
        const QuestionIndexEntry &e = db.entry(a);
        if (std::find(seen.cbegin(), seen.cend(), e) != seen.cend())
            continue;
        seen.push_back(e);
        const int refusal = textRangeRefusal(e, db.fileSize());
        if (refusal != 0 && std::exchange(refusalSeen[size_t(refusal)], true))
            continue;
        try {
            // The picture is checked as the reader would decode it; one the
            // harness does not decode leaves the text to be read on its own.
            const bool pictureInside = e.hasPicture() && e.pictureOffset > 0 &&
                                       e.pictureLength > 0 &&
                                       qint64(e.pictureOffset) + e.pictureLength <= qint64(size);
            if (pictureInside && decodingCostsTooMuch(QByteArrayView(bytes).sliced(
                                     e.pictureOffset, e.pictureLength))) {
                parseQuestion(db.readQuestionText(a), question, a);
                (void)db.readQuestionPictureBytes(a);
            } else {
                db.readQuestion(a, question);
            }
        } catch (const QuestionBankError &) {
        }
    }
    return 0;
}
