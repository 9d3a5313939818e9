#include "bundledpictures.h"

#include <QFile>
#include <QGuiApplication>
#include <QImageReader>

namespace BundledPictures {

QImage png(const QString &resource)
{
    // With the format named and detection off, the reader goes straight to
    // the PNG handler built into Qt Gui instead of probing every plugin.
    QImageReader reader(resource, QByteArrayLiteral("png"));
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

QPixmap pixmap(const QString &resource)
{
    return QPixmap::fromImage(png(resource));
}

QIcon icon(const QString &resource)
{
    QIcon icon;
    icon.addPixmap(pixmap(resource));
    if (qApp && qApp->devicePixelRatio() > 1.0) {
        QString sharp = resource;
        sharp.insert(sharp.lastIndexOf(u'.'), QStringLiteral("@2x"));
        if (QFile::exists(sharp))
            icon.addPixmap(pixmap(sharp));
    }
    return icon;
}

} // namespace BundledPictures
