#include "pictureimport.h"

#include "jpegcodec.h"

#include <QBuffer>
#include <QImageReader>
#include <QPainter>

namespace PictureImport {

namespace {

// Below this quality JPEG artefacts start to blur the small print of signs,
// so a picture that does not fit even then is made smaller instead.
constexpr int LowestQuality = 50;
constexpr int HighestQuality = 95;
// Each step down keeps 90 % of the width and height.
constexpr double ScaleStep = 0.9;
constexpr int SmallestSide = 32;

bool isJpeg(const QByteArray &bytes)
{
    return bytes.startsWith("\xFF\xD8\xFF");
}

QImage onWhite(const QImage &image)
{
    if (!image.hasAlphaChannel())
        return image.convertToFormat(QImage::Format_RGB888);
    QImage flat(image.size(), QImage::Format_RGB888);
    flat.fill(Qt::white);
    QPainter painter(&flat);
    painter.drawImage(0, 0, image);
    painter.end();
    return flat;
}

// The highest quality in [LowestQuality, HighestQuality] whose encoding fits,
// by bisection: JPEG size grows with quality (we check the result, so a rare
// non-monotonic step costs at most a lower quality, never an oversized file).
std::optional<std::pair<QByteArray, int>> bestFit(const QImage &image, int maxBytes)
{
    // Most drawings fit at the highest quality: one encoding, no search.
    QByteArray highest = JpegCodec::encode(image, HighestQuality);
    if (highest.size() <= maxBytes)
        return std::pair{highest, HighestQuality};
    QByteArray lowest = JpegCodec::encode(image, LowestQuality);
    if (lowest.size() > maxBytes)
        return std::nullopt;
    std::pair<QByteArray, int> best{lowest, LowestQuality};
    int low = LowestQuality + 1;
    int high = HighestQuality - 1;
    while (low <= high) {
        const int middle = (low + high) / 2;
        QByteArray encoded = JpegCodec::encode(image, middle);
        if (encoded.size() <= maxBytes) {
            best = {std::move(encoded), middle};
            low = middle + 1;
        } else {
            high = middle - 1;
        }
    }
    return best;
}

} // namespace

QByteArray detectFormat(const QByteArray &bytes)
{
    if (isJpeg(bytes))
        return "jpeg";
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return QImageReader::imageFormat(&buffer);
}

Result import(const QByteArray &bytes, int maxBytes)
{
    Result result;
    QImage image;
    if (isJpeg(bytes)) {
        // Our own decoder, the one the program uses: a JPEG it cannot read
        // would fail in front of the learner.
        // A damaged stream that decodes only partly (a warning) is refused
        // too: the learner would see a picture with a grey band.
        const JpegCodec::Decoded checked = JpegCodec::decodeChecked(bytes);
        if (!checked.image || !checked.problem.isEmpty()) {
            result.error =
                QStringLiteral("a JPEG that does not decode cleanly (%1)").arg(checked.problem);
            return result;
        }
        const std::optional<QImage> &decoded = checked.image;
        result.size = decoded->size();
        if (bytes.size() <= maxBytes) {
            result.outcome = Outcome::Kept;
            result.jpeg = bytes;
            return result;
        }
        image = *decoded;
    } else {
        QBuffer buffer;
        buffer.setData(bytes);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer);
        reader.setDecideFormatFromContent(true);
        const QByteArray format = reader.format();
        if (format.isEmpty()) {
            result.error = QStringLiteral("not a picture in a format we can read");
            return result;
        }
        const QSize size = reader.size();
        if (size.isValid() && qint64(size.width()) * size.height() > JpegCodec::MaxPixels) {
            result.error = QStringLiteral("a %1 picture of %2 x %3 pixels, too large")
                               .arg(QString::fromLatin1(format))
                               .arg(size.width())
                               .arg(size.height());
            return result;
        }
        if (!reader.read(&image)) {
            result.error = QStringLiteral("a %1 picture that does not decode: %2")
                               .arg(QString::fromLatin1(format), reader.errorString());
            return result;
        }
        result.size = image.size();
    }

    const QImage original = onWhite(image);
    image = original;
    double scale = 1.0;
    result.outcome = Outcome::Reencoded;
    for (;;) {
        if (const auto fit = bestFit(image, maxBytes)) {
            result.jpeg = fit->first;
            result.quality = fit->second;
            result.size = image.size();
            return result;
        }
        // Each step scales the original, so the picture is resampled once.
        scale *= ScaleStep;
        const QSize smaller = (QSizeF(original.size()) * scale).toSize();
        if (smaller.width() < SmallestSide || smaller.height() < SmallestSide) {
            result.outcome = Outcome::Failed;
            result.error =
                QStringLiteral("does not fit into %1 bytes even when made small").arg(maxBytes);
            return result;
        }
        image = original.scaled(smaller, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        result.outcome = Outcome::Scaled;
    }
}

} // namespace PictureImport
