#include "jpegcodec.h"

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

std::optional<QImage> decode(QByteArrayView jpeg)
{
    if (jpeg.isEmpty())
        return std::nullopt;
    TjHandle handle(tjInitDecompress());
    if (!handle)
        return std::nullopt;

    auto *data = reinterpret_cast<const unsigned char *>(jpeg.data());
    const auto size = static_cast<unsigned long>(jpeg.size());
    int width = 0, height = 0, subsampling = 0, colorspace = 0;
    if (tjDecompressHeader3(handle.get(), data, size, &width, &height, &subsampling, &colorspace) !=
        0)
        return std::nullopt;
    if (width <= 0 || height <= 0 || qint64(width) * height > MaxPixels)
        return std::nullopt;

    QImage image(width, height, QImage::Format_RGB888);
    if (image.isNull())
        return std::nullopt;
    if (tjDecompress2(handle.get(), data, size, image.bits(), width, int(image.bytesPerLine()),
                      height, TJPF_RGB, TJFLAG_ACCURATEDCT) != 0) {
        // A warning (for example a truncated but displayable stream) still
        // leaves a usable image; only real errors reject the picture.
        if (tjGetErrorCode(handle.get()) != TJERR_WARNING)
            return std::nullopt;
    }
    return image;
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
