#pragma once

#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QString>

// The PNG pictures bundled in the program's resources, read through Qt's own
// PNG reader. Reading them as QIcon(path) or QPixmap(path) does would make
// Qt load and ask every image-format plugin installed (WebP, TIFF, MNG, …)
// whether it knows the file, at the program's start and for nothing: our
// pictures are all PNG (and JPEG through our own codec).
namespace BundledPictures {

// The picture; a null image when it is missing or damaged. "name@2x.png"
// comes with a device pixel ratio of 2, as Qt's readers give it.
QImage png(const QString &resource);
QPixmap pixmap(const QString &resource);
// An icon of the picture and, on a screen with more than one device pixel
// per logical pixel, of its "@2x" twin when there is one: what QIcon(path)
// holds, decoded now instead of on first paint.
QIcon icon(const QString &resource);

} // namespace BundledPictures
