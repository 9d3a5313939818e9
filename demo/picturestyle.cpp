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
    // Our flat drawings fit at a high quality; a picture too busy to fit
    // even at a low quality is softened (halved and enlarged again) until it
    // does, so that no picture can break the database's block limit.
    QImage current = image;
    QByteArray jpeg;
    for (int softening = 0; softening < 4; ++softening) {
        for (int quality = 85; quality >= 10; quality -= 5) {
            jpeg = JpegCodec::encode(current, quality);
            if (jpeg.size() <= MaxJpegBytes)
                return jpeg;
        }
        current =
            current.scaled(current.size() / 2, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                .scaled(image.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    return jpeg;
}

} // namespace PictureStyle
