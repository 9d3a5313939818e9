#include "picturestyle.h"

#include "jpegcodec.h"

namespace PictureStyle {

QImage canvas(const QColor &background)
{
    QImage image(Width, Height, QImage::Format_RGB32);
    image.fill(background);
    return image;
}

QFont font(double pixelSize, bool bold)
{
    QFont result(QStringLiteral("DejaVu Sans"));
    result.setPixelSize(qRound(pixelSize));
    result.setBold(bold);
    result.setHintingPreference(QFont::PreferNoHinting);
    return result;
}

QByteArray encode(const QImage &image)
{
    QByteArray jpeg;
    for (int quality = 85; quality >= 40; quality -= 5) {
        jpeg = JpegCodec::encode(image, quality);
        if (jpeg.size() <= MaxJpegBytes)
            break;
    }
    return jpeg;
}

} // namespace PictureStyle
