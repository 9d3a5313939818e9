#include "jpegcodec.h"

#include "jpegmarkers.h"

#include <turbojpeg.h>

#include <memory>

namespace {

struct TjHandleDeleter
{
    void operator()(void *handle) const { tjDestroy(static_cast<tjhandle>(handle)); }
};
using TjHandle = std::unique_ptr<void, TjHandleDeleter>;

} // namespace

namespace JpegCodec {

QRgb cmykToRgb(int c, int m, int y, int k, bool inverted)
{
    if (!inverted) {
        c = 255 - c;
        m = 255 - m;
        y = 255 - y;
        k = 255 - k;
    }
    // Now each value is the light a channel lets through (255: no ink).
    return qRgb(c * k / 255, m * k / 255, y * k / 255);
}

Decoded decodeChecked(QByteArrayView jpeg)
{
    const auto refused = [](const QString &why) { return Decoded{std::nullopt, why}; };
    const QString notJpeg = QStringLiteral("рисунок не является JPEG");
    if (jpeg.isEmpty())
        return refused(notJpeg);
    TjHandle handle(tjInitDecompress());
    if (!handle)
        return refused(notJpeg);

    auto *data = reinterpret_cast<const unsigned char *>(jpeg.data());
    const auto size = static_cast<unsigned long>(jpeg.size());
    int width = 0, height = 0, subsampling = 0, colorspace = 0;
    if (tjDecompressHeader3(handle.get(), data, size, &width, &height, &subsampling, &colorspace) !=
        0)
        return refused(notJpeg);
    if (width <= 0 || height <= 0 || qint64(width) * height > MaxPixels)
        return refused(
            QStringLiteral("рисунок слишком велик (%1 × %2 точек)").arg(width).arg(height));
    const JpegMarkers markers = readJpegMarkers(jpeg);
    if (markers.scanCount > MaxScans || qint64(width) * height * markers.scanCount > MaxPixelScans)
        return refused(QStringLiteral("рисунок слишком сложен для показа (%1 × %2 точек, "
                                      "%3 проходов)")
                           .arg(width)
                           .arg(height)
                           .arg(markers.scanCount));

    const bool cmyk = colorspace == TJCS_CMYK || colorspace == TJCS_YCCK;
    const int pixelFormat = cmyk ? TJPF_CMYK : TJPF_RGB;
    QImage image(width, height, cmyk ? QImage::Format_RGB32 : QImage::Format_RGB888);
    if (image.isNull())
        return refused(notJpeg);
    QString problem;
    // TurboJPEG's own scan limit backs up the count above.
    if (tjDecompress2(handle.get(), data, size, image.bits(), width, int(image.bytesPerLine()),
                      height, pixelFormat, TJFLAG_ACCURATEDCT | TJFLAG_LIMITSCANS) != 0) {
        // A warning (for example a truncated but displayable stream) still
        // leaves a usable image, but the picture is damaged all the same.
        if (tjGetErrorCode(handle.get()) != TJERR_WARNING)
            return refused(notJpeg);
        problem = QStringLiteral("рисунок повреждён: %1")
                      .arg(QString::fromLocal8Bit(tjGetErrorStr2(handle.get())));
    }
    if (cmyk) {
        // TurboJPEG hands over the stored CMYK values; the colours are ours
        // to make. The RGB32 buffer held four bytes per pixel: C, M, Y, K.
        for (int row = 0; row < height; ++row) {
            auto *line = reinterpret_cast<QRgb *>(image.scanLine(row));
            const auto *bytes = reinterpret_cast<const uchar *>(line);
            for (int x = 0; x < width; ++x) {
                const uchar *p = bytes + 4 * x;
                line[x] = cmykToRgb(p[0], p[1], p[2], p[3], markers.adobe);
            }
        }
        image = image.convertToFormat(QImage::Format_RGB888);
    }
    return Decoded{std::move(image), problem};
}

std::optional<QImage> decode(QByteArrayView jpeg)
{
    return decodeChecked(jpeg).image;
}

QByteArray encode(const QImage &image, int quality)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    TjHandle handle(tjInitCompress());
    if (!handle || rgb.isNull())
        return {};
    unsigned char *out = nullptr;
    unsigned long outSize = 0;
    const int rc = tjCompress2(handle.get(), rgb.constBits(), rgb.width(), int(rgb.bytesPerLine()),
                               rgb.height(), TJPF_RGB, &out, &outSize, TJSAMP_420, quality,
                               TJFLAG_ACCURATEDCT);
    QByteArray result;
    if (rc == 0)
        result = QByteArray(reinterpret_cast<const char *>(out), qsizetype(outSize));
    tjFree(out);
    return result;
}

} // namespace JpegCodec
