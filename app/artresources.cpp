#include "artresources.h"

#include "jpegcodec.h"

#include <QFile>
#include <QGuiApplication>

namespace ArtResources {

QString speedometer(int k)
{
    return QStringLiteral(":/main/speedometer%1.jpg").arg(k, 2, 10, QLatin1Char('0'));
}

QString banner()
{
    return QStringLiteral(":/main/banner.jpg");
}

QString splash()
{
    return QStringLiteral(":/main/splash.jpg");
}

QString statusIcon(int status)
{
    return QStringLiteral(":/main/status%1.png").arg(status);
}

QString glyph(const QString &name)
{
    return QStringLiteral(":/main/glyph_%1.png").arg(name);
}

QString aboutPicture()
{
    return QStringLiteral(":/main/about.png");
}

QString programIcon()
{
    return QStringLiteral(":/main/zeltrak.png");
}

QImage jpeg(const QString &resource, QSize fallback)
{
    // On a screen with more than one device pixel per logical pixel (a HiDPI
    // desktop or a large interface scale) the picture drawn at twice the
    // pixels, "name@2x", when there is one.
    if (qApp && qApp->devicePixelRatio() > 1.0) {
        QString sharp = resource;
        sharp.insert(sharp.lastIndexOf(u'.'), QStringLiteral("@2x"));
        QFile file(sharp);
        if (file.open(QIODevice::ReadOnly)) {
            if (auto image = JpegCodec::decode(file.readAll())) {
                image->setDevicePixelRatio(2.0);
                return *image;
            }
        }
    }
    QFile file(resource);
    if (file.open(QIODevice::ReadOnly)) {
        if (auto image = JpegCodec::decode(file.readAll()))
            return *image;
    }
    QImage placeholder(fallback, QImage::Format_RGB888);
    placeholder.fill(QColor(0x5A, 0x5F, 0x66));
    return placeholder;
}

} // namespace ArtResources
